#include "session/session.h"
#include "text/statetext.h"

#include <gtest/gtest.h>

// An input recorded at step k acts after k steps and before step k + 1, in file order.
TEST(SessionReplay, GivesEachInputAfterTheStepItWasRecordedAt) {
    using Kind = SessionInput::Kind;
    Recording replay;
    replay.scene = Scene{SceneKind::Column, 4};
    replay.inputs = {{0, Kind::Spawn, Vec2(300, 100)},
                     {5, Kind::Spawn, Vec2(640, 400)},
                     {5, Kind::Restart, Vec2()},
                     {5, Kind::Spawn, Vec2(700, 90)},
                     {9, Kind::Spawn, Vec2(640, 400)}};
    replay.lastStep = 9;

    Sandbox expected(replay.scene);
    expected.spawn(Vec2(300, 100));
    for (int s = 0; s < 5; ++s)
        expected.step();
    expected.spawn(Vec2(640, 400));
    expected.restart();
    expected.spawn(Vec2(700, 90));
    for (int s = 0; s < 4; ++s)
        expected.step();
    expected.spawn(Vec2(640, 400));
    for (int s = 0; s < 3; ++s)
        expected.step();

    Session played(replay.scene);
    played.play(replay);
    played.playTo(9);
    EXPECT_FALSE(played.replaying());
    played.playTo(12);
    EXPECT_EQ(stateText(played.sandbox().bodies()), stateText(expected.bodies()));
}
