#include "scenes/sandbox.h"

#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "physics/world.h"
#include "tests/math/exactfloat.h"

#include <gtest/gtest.h>

namespace {

::testing::AssertionResult sameBodies(const EntityArray &actual, const EntityArray &expected) {
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure()
               << actual.size() << " bodies, expected " << expected.size();
    for (int i = 0; i < actual.size(); ++i) {
        const ::testing::AssertionResult position =
            sameVec2(actual[i]->position, expected[i]->position);
        const ::testing::AssertionResult velocity =
            sameVec2(actual[i]->velocity, expected[i]->velocity);
        if (!position || !velocity)
            return ::testing::AssertionFailure()
                   << "body " << i << ": " << position.message() << " " << velocity.message();
    }
    return ::testing::AssertionSuccess();
}

const Scene grid{SceneKind::Grid, 300};

} // namespace

TEST(Sandbox, RestartRebuildsTheSceneExactlyAsAFreshStartWhateverCameBefore) {
    Sandbox played(grid);
    played.restart();
    for (int s = 0; s < 150; ++s)
        played.step();
    ASSERT_TRUE(played.spawn(Vec2(640, 600)));
    played.step();
    played.restart();
    EXPECT_EQ(played.sceneStep(), 0);
    EXPECT_EQ(played.totalSteps(), 151);
    EXPECT_EQ(played.physics().contacts.size(), 0);

    Sandbox fresh(grid);
    fresh.restart();
    EXPECT_TRUE(sameBodies(played.bodies(), fresh.bodies()));
    for (int s = 0; s < 200; ++s) {
        played.step();
        fresh.step();
    }
    EXPECT_TRUE(sameBodies(played.bodies(), fresh.bodies()));
}

TEST(Sandbox, SpawnAppendsADemoCircleUntilTheArrayIsFullThenRefusesWithoutLosingBodies) {
    Sandbox sandbox(Scene{SceneKind::Column, 0});
    sandbox.restart();
    ASSERT_EQ(sandbox.bodies().size(), 3);
    for (int i = 0; i < spawnRoom; ++i)
        ASSERT_TRUE(sandbox.spawn(Vec2(200.5f, 300.25f + i)));
    EXPECT_TRUE(sandbox.full());
    EXPECT_FALSE(sandbox.spawn(Vec2(1, 1)));
    EXPECT_EQ(sandbox.bodies().size(), 3 + spawnRoom);

    const BaseEntity *first = sandbox.bodies()[3];
    EXPECT_EQ(first->type(), BodyType::Circle);
    EXPECT_TRUE(sameVec2(first->position, Vec2(200.5f, 300.25f)));
    EXPECT_EQ(first->inverseMass, 50);
    EXPECT_TRUE(sameVec2(sandbox.bodies()[3 + spawnRoom - 1]->position,
                         Vec2(200.5f, 300.25f + spawnRoom - 1)));
}
