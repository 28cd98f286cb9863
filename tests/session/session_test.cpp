#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "session/session.h"

#include <gtest/gtest.h>

// The session, not the file, knows the array's size: spawns of a replay beyond its room are
// counted and change nothing.
TEST(Session, CountsTheReplaysSpawnsThatFindTheArrayFull) {
    Recording replay;
    replay.scene = Scene{SceneKind::Column, 0};
    for (int i = 0; i < spawnRoom + 7; ++i)
        replay.inputs.push_back({1, SessionInput::Kind::Spawn, Vec2(200, 300.0f + i)});
    replay.inputs.push_back({1, SessionInput::Kind::Restart, Vec2()});
    replay.inputs.push_back({1, SessionInput::Kind::Spawn, Vec2(200, 300)});
    replay.lastStep = 1;
    Session session(replay.scene);
    session.play(replay);
    session.playTo(1);
    EXPECT_EQ(session.refusedSpawns(), 7);
    EXPECT_EQ(session.sandbox().bodies().size(), 4);
}

// The circle under the point whose centre is nearest, ties to the higher index; never a wall.
TEST(Session, AGrabTakesTheNearestCircleUnderThePointAndPullsItAQuarterOfTheWay) {
    Session session(Scene{SceneKind::Column, 0});
    ASSERT_TRUE(session.spawn(Vec2(600, 900)));
    ASSERT_TRUE(session.spawn(Vec2(630, 900)));
    ASSERT_TRUE(session.spawn(Vec2(300, 2000)));
    const Sandbox &sandbox = session.sandbox();
    EXPECT_EQ(sandbox.bodyAt(Vec2(610, 905), BodyType::Circle), 3);
    EXPECT_EQ(sandbox.bodyAt(Vec2(615, 880), BodyType::Circle), 4);
    EXPECT_EQ(sandbox.bodyAt(Vec2(640, 57), BodyType::Circle), -1); // the floor
    EXPECT_FALSE(session.grab(2, Vec2(640, 57)));

    // Alone in the air, so only the pull and gravity act on it.
    const Vec2 target(1000.3f, 1234.7f);
    ASSERT_TRUE(session.grab(sandbox.bodyAt(Vec2(310, 1990), BodyType::Circle), Vec2(310, 1990)));
    EXPECT_EQ(session.heldCircle(), 5);
    ASSERT_TRUE(session.drag(target));
    const Vec2 start = sandbox.bodies()[5]->position;
    const Vec2 pull((target.x - start.x) * 0.25f, (target.y - start.y) * 0.25f);
    session.step();
    // The designed step moves the circle by the velocity the pull gave it, then adds gravity.
    EXPECT_EQ(sandbox.bodies()[5]->position.x, start.x + pull.x);
    EXPECT_EQ(sandbox.bodies()[5]->position.y, start.y + pull.y);
    EXPECT_EQ(sandbox.bodies()[5]->velocity.y, pull.y - 0.02f);
    // Let go: the circle keeps its speed, a throw.
    ASSERT_TRUE(session.release());
    session.step();
    EXPECT_EQ(sandbox.bodies()[5]->velocity.x, pull.x);
    EXPECT_EQ(session.heldCircle(), -1);
    EXPECT_FALSE(session.drag(target));
}
