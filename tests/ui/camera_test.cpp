#include "ui/camera.h"

#include "core/entityarray.h"
#include "physics/circle.h"
#include "scenes/scene.h"

#include <gtest/gtest.h>

#include <limits>  // std::numeric_limits
#include <ostream> // std::ostream
#include <vector>  // std::vector

namespace {

const WindowSize windowSize{1280, 720};

SceneView framed(const EntityArray &bodies) {
    Camera camera;
    camera.reset(windowSize);
    camera.frame(bodies);
    return camera.view();
}

void expectSameView(const SceneView &a, const SceneView &b) {
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.right, b.right);
    EXPECT_EQ(a.bottom, b.bottom);
    EXPECT_EQ(a.top, b.top);
}

struct FarCircle {
    const char *where;
    float x;
    float y;
};

void PrintTo(const FarCircle &circle, std::ostream *out) {
    *out << circle.where;
}

class CameraFraming : public ::testing::TestWithParam<FarCircle> {};

} // namespace

// Circles that spilled over the walls and fell, or flew far aside, would zoom the view out to
// dots: F leaves them out and frames the box and what stands in and above it.
TEST_P(CameraFraming, LeavesOutACircleThatFellAway) {
    EntityArray bodies(Scene().capacity());
    populateScene(bodies, Scene());
    const SceneView withoutIt = framed(bodies);
    ASSERT_TRUE(addDemoCircle(bodies, GetParam().x, GetParam().y));
    expectSameView(framed(bodies), withoutIt);
    deleteEntities(bodies);
}

INSTANTIATE_TEST_SUITE_P(
    FarAway, CameraFraming,
    ::testing::Values(FarCircle{"fallen", 640, -1e6f}, FarCircle{"wellBelowTheFloor", 1500, -600},
                      FarCircle{"farLeft", -5000, 300}, FarCircle{"farRight", 1e7f, 300},
                      FarCircle{"notFinite", std::numeric_limits<float>::quiet_NaN(), 300}),
    [](const ::testing::TestParamInfo<FarCircle> &info) { return info.param.where; });

TEST(CameraFraming, AGridOfAHundredThousandFitsWithinTheZoomLimit) {
    const Scene grid{SceneKind::Grid, maxSceneCircles, World::Solver::Stable};
    EntityArray bodies(grid.capacity());
    populateScene(bodies, grid);
    const SceneView view = framed(bodies);
    for (int i = 0; i < bodies.size(); ++i) {
        const Vec2 p = bodies[i]->position;
        ASSERT_TRUE(p.x >= view.left && p.x <= view.right && p.y >= view.bottom && p.y <= view.top)
            << "body " << i << " at (" << p.x << ", " << p.y << ")";
    }
    deleteEntities(bodies);
}
