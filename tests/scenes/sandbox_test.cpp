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

// A circle far from everything takes part in no contact: taking it out of the middle of the array
// must leave the others, their kept impulses and their run exactly as if it had never been
// dropped, though every body after it moves down one place.
TEST(Sandbox, RemovingACircleLeavesTheOthersAsIfItHadNeverBeen) {
    const Scene scene{SceneKind::Grid, 300, World::Solver::Stable};
    Sandbox with(scene);
    Sandbox without(scene);
    for (int s = 0; s < 200; ++s) {
        if (s == 20) {
            ASSERT_TRUE(with.spawn(Vec2(-100000, 100000)));
        }
        if (s == 40) {
            for (Sandbox *sandbox : {&with, &without}) {
                ASSERT_TRUE(sandbox->spawn(Vec2(640, 600)));
                ASSERT_TRUE(sandbox->spawn(Vec2(700, 660)));
            }
        }
        with.step();
        without.step();
    }
    EXPECT_FALSE(with.remove(2)); // the floor
    ASSERT_TRUE(with.remove(scene.bodyCount()));
    EXPECT_EQ(with.droppedCircles(), 2);
    const std::vector<PairImpulse> &kept = with.physics().warmStart();
    const std::vector<PairImpulse> &expected = without.physics().warmStart();
    ASSERT_EQ(kept.size(), expected.size());
    for (std::size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(kept[i].lower, expected[i].lower);
        EXPECT_EQ(kept[i].higher, expected[i].higher);
        EXPECT_TRUE(sameFloat(kept[i].impulse, expected[i].impulse));
    }
    for (int s = 0; s < 100; ++s) {
        with.step();
        without.step();
    }
    EXPECT_TRUE(sameBodies(with.bodies(), without.bodies()));
    with.clearDropped();
    EXPECT_EQ(with.bodies().size(), scene.bodyCount());
}
