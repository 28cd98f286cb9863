#include "ui/camera.h"

#include "core/entityarray.h"
#include "physics/shapes.h"

#include <algorithm> // std::min, std::max
#include <cmath>     // std::isfinite
#include <optional>  // std::optional

namespace {

// Bounds in scene units.
using Bounds = SceneView;

// Grows bounds to take in more, or starts them with it.
void include(std::optional<Bounds> &bounds, const Bounds &more) {
    if (!bounds) {
        bounds = more;
        return;
    }
    bounds->left = std::min(bounds->left, more.left);
    bounds->right = std::max(bounds->right, more.right);
    bounds->bottom = std::min(bounds->bottom, more.bottom);
    bounds->top = std::max(bounds->top, more.top);
}

// Nothing for a body whose position is not finite.
std::optional<Bounds> boundsOf(const BaseEntity &body) {
    if (!std::isfinite(body.position.x) || !std::isfinite(body.position.y))
        return std::nullopt;
    const BoundingBox box = boundingBox(body);
    return Bounds{box.lo[0], box.hi[0], box.lo[1], box.hi[1]};
}

// The bodies that never move (the walls), or nothing when there are none.
std::optional<Bounds> boxOf(const EntityArray &bodies) {
    std::optional<Bounds> box;
    for (int i = 0; i < bodies.size(); ++i) {
        const std::optional<Bounds> bounds = boundsOf(*bodies[i]);
        if (bodies[i]->isStatic && bounds)
            include(box, *bounds);
    }
    return box;
}

// In the box, above it or beside it within its own size: what has not fallen away.
bool near(const Bounds &bounds, const Bounds &box) {
    const double width = box.right - box.left;
    const double height = box.top - box.bottom;
    return bounds.right >= box.left - width && bounds.left <= box.right + width &&
           bounds.top >= box.bottom - height;
}

} // namespace

void Camera::reset(WindowSize sceneSize) {
    designed = sceneSize;
    current = SceneView{0, static_cast<double>(sceneSize.width), 0,
                        static_cast<double>(sceneSize.height)};
}

double Camera::scale() const {
    return designed.width / (current.right - current.left);
}

// In the designed view this is exactly the designed map, x * sceneWidth / windowWidth: adding
// the left edge, 0, changes no bit.
Camera::ScenePoint Camera::sceneAt(WindowPoint position, WindowSize windowSize) const {
    return ScenePoint{current.left + position.x * (current.right - current.left) / windowSize.width,
                      current.bottom + (windowSize.height - position.y) *
                                           (current.top - current.bottom) / windowSize.height};
}

Vec2 Camera::scenePoint(WindowPoint position, WindowSize windowSize) const {
    const ScenePoint point = sceneAt(position, windowSize);
    return Vec2(static_cast<float>(point.x), static_cast<float>(point.y));
}

void Camera::zoomAbout(WindowPoint position, WindowSize windowSize, double factor) {
    const ScenePoint point = sceneAt(position, windowSize);
    zoomAboutPoint(point.x, point.y, factor);
}

void Camera::zoomAboutCentre(double factor) {
    zoomAboutPoint((current.left + current.right) / 2, (current.bottom + current.top) / 2, factor);
}

void Camera::zoomAboutPoint(double x, double y, double factor) {
    const double wanted = std::clamp(scale() * factor, minScale, maxScale);
    const double shrink = scale() / wanted;
    current.left = x + (current.left - x) * shrink;
    current.right = x + (current.right - x) * shrink;
    current.bottom = y + (current.bottom - y) * shrink;
    current.top = y + (current.top - y) * shrink;
}

void Camera::pan(double widthShare, double heightShare) {
    const double dx = (current.right - current.left) * widthShare;
    const double dy = (current.top - current.bottom) * heightShare;
    current.left += dx;
    current.right += dx;
    current.bottom += dy;
    current.top += dy;
}

void Camera::drag(WindowPoint from, WindowPoint to, WindowSize windowSize) {
    pan((from.x - to.x) / windowSize.width, (to.y - from.y) / windowSize.height);
}

void Camera::frame(const EntityArray &bodies) {
    const std::optional<Bounds> box = boxOf(bodies);
    std::optional<Bounds> framed;
    for (int i = 0; i < bodies.size(); ++i) {
        const std::optional<Bounds> bounds = boundsOf(*bodies[i]);
        if (bounds && (!box || near(*bounds, *box)))
            include(framed, *bounds);
    }
    if (!framed)
        return;
    // A margin of a twentieth on every side, then the designed proportions, widening the
    // narrower side about the centre.
    const double margin =
        std::max(framed->right - framed->left, framed->top - framed->bottom) / 20 + 1;
    double width = framed->right - framed->left + 2 * margin;
    double height = framed->top - framed->bottom + 2 * margin;
    const double aspect = static_cast<double>(designed.width) / designed.height;
    if (width / height < aspect)
        width = height * aspect;
    else
        height = width / aspect;
    const double x = (framed->left + framed->right) / 2;
    const double y = (framed->bottom + framed->top) / 2;
    current = SceneView{x - width / 2, x + width / 2, y - height / 2, y + height / 2};
    // Within the zoom limits, about the framed centre.
    zoomAboutPoint(x, y, 1);
}
