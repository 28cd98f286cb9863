#include "render/viewbounds.h"

#include <gtest/gtest.h>

#include <limits> // std::numeric_limits

namespace {

// Column-major, as OpenGL hands matrices out.
struct Matrix {
    double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

// glOrtho(left, right, bottom, top, -1, 1).
Matrix ortho(double left, double right, double bottom, double top) {
    Matrix o;
    o.m[0] = 2 / (right - left);
    o.m[5] = 2 / (top - bottom);
    o.m[10] = -1;
    o.m[12] = -(right + left) / (right - left);
    o.m[13] = -(top + bottom) / (top - bottom);
    return o;
}

const Matrix identity;
const Matrix window = ortho(0, 1280, 0, 720);

} // namespace

TEST(ViewBounds, MissesOnlyCirclesWellOutsideTheView) {
    const std::optional<ViewBounds> view = viewBounds(identity.m, window.m);
    ASSERT_TRUE(view);
    for (const Vec2 centre : {Vec2(640, 360), Vec2(-29.99f, 360), Vec2(1309.99f, 700),
                              Vec2(100, -29.99f), Vec2(1300, 749.99f), Vec2(-29, -29)})
        EXPECT_FALSE(view->misses(centre, 30)) << centre.x << ", " << centre.y;
    for (const Vec2 centre : {Vec2(-100, 360), Vec2(1400, 360), Vec2(640, -100), Vec2(640, 820),
                              Vec2(215, 10200), Vec2(200, -1e9f)})
        EXPECT_TRUE(view->misses(centre, 30)) << centre.x << ", " << centre.y;
}

TEST(ViewBounds, NeverLeavesOutANonFiniteCircle) {
    const std::optional<ViewBounds> view = viewBounds(identity.m, window.m);
    ASSERT_TRUE(view);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(view->misses(Vec2(nan, 360), 30));
    EXPECT_FALSE(view->misses(Vec2(inf, -inf), 30));
    EXPECT_FALSE(view->misses(Vec2(-inf, 1e6f), 30));
    EXPECT_FALSE(view->misses(Vec2(-1e9f, 360), nan));
    EXPECT_FALSE(view->misses(Vec2(-1e9f, 360), inf));
}
