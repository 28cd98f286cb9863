#include "render/viewbounds.h"

#include <cmath> // std::fabs, std::isfinite

namespace {

// A share of the magnitudes involved that covers the float rounding of the vertices and of
// OpenGL's transform many times over.
constexpr double roundingShare = 0x1p-20;
// What the viewport's edge may be widened by, as a share of the view's size: far more than a
// pixel at any size OpenGL allows.
constexpr double edgeShare = 1.0 / 64;

// The interval that (scale * v + offset) / w maps into [-1, 1], widened.
bool visibleInterval(double scale, double offset, double w, double &low, double &high) {
    if (scale == 0 || !std::isfinite(scale) || !std::isfinite(offset))
        return false;
    const double a = (-w - offset) / scale;
    const double b = (w - offset) / scale;
    low = a < b ? a : b;
    high = a < b ? b : a;
    const double margin =
        (high - low) * edgeShare + (std::fabs(low) + std::fabs(high)) * roundingShare;
    low -= margin;
    high += margin;
    return std::isfinite(low) && std::isfinite(high);
}

// The farthest a circle's vertex can lie from its centre along an axis, rounding included.
double reach(float centre, double radius) {
    return radius + (std::fabs(static_cast<double>(centre)) + radius) * roundingShare;
}

} // namespace

bool ViewBounds::misses(Vec2 centre, float radius) const {
    // What OpenGL makes of an infinite or NaN vertex is not for this test to foresee.
    if (!std::isfinite(centre.x) || !std::isfinite(centre.y) || !std::isfinite(radius))
        return false;
    const double r = std::fabs(static_cast<double>(radius));
    const double x = centre.x;
    const double y = centre.y;
    const double rx = reach(centre.x, r);
    const double ry = reach(centre.y, r);
    return x + rx < left || x - rx > right || y + ry < bottom || y - ry > top;
}

std::optional<ViewBounds> viewBounds(const double (&projection)[16],
                                     const double (&modelView)[16]) {
    double m[16];
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += projection[4 * k + row] * modelView[4 * column + k];
            m[4 * column + row] = sum;
        }
    }
    // Clip x may depend on x alone, clip y on y alone, and w must be the same positive number
    // everywhere on z = 0.
    if (m[4] != 0 || m[1] != 0 || m[3] != 0 || m[7] != 0 || !(m[15] > 0))
        return std::nullopt;
    ViewBounds bounds{};
    if (!visibleInterval(m[0], m[12], m[15], bounds.left, bounds.right) ||
        !visibleInterval(m[5], m[13], m[15], bounds.bottom, bounds.top))
        return std::nullopt;
    return bounds;
}

std::optional<ViewBounds> viewBounds(const SceneView &view) {
    // glOrtho's matrix for the view, near -1 and far 1, column-major; the projection is the
    // identity.
    const double width = view.right - view.left;
    const double height = view.top - view.bottom;
    const double ortho[16] = {2 / width,
                              0,
                              0,
                              0,
                              0,
                              2 / height,
                              0,
                              0,
                              0,
                              0,
                              -1,
                              0,
                              -(view.right + view.left) / width,
                              -(view.top + view.bottom) / height,
                              0,
                              1};
    const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    return viewBounds(identity, ortho);
}
