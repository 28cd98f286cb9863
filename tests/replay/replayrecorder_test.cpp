#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "replay/replayfile.h"
#include "replay/replayrecorder.h"
#include "session/session.h"
#include "state/statefile.h"
#include "tests/support/temporaryfolder.h"
#include "text/statetext.h"

#include <gtest/gtest.h>

#include <fstream>  // std::ifstream
#include <iterator> // std::istreambuf_iterator
#include <optional> // std::optional
#include <sstream>  // std::istringstream
#include <string>   // std::string

namespace {

std::string contentsOf(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A session recorded into a file of a folder of its own.
class RecordedSession : public testing::Test {
protected:
    // Records session, of scene, from now on. Every line written is flushed at once, so the file
    // can be read while the recording is open.
    bool record(Session &session, const Scene &scene) {
        FileFault fault;
        if (!recorder.open(path, scene, fault)) {
            ADD_FAILURE() << fault.message();
            return false;
        }
        session.recordTo(&recorder);
        return true;
    }

    // Writes the end record from session and reads the whole file back.
    std::optional<Replay> finishAndRead(const Session &session) {
        recorder.finish(session.sandbox());
        FileFault fault;
        std::optional<Replay> replay = readReplayFile(path, EndRecord::Required, fault);
        EXPECT_TRUE(replay) << fault.message();
        return replay;
    }

    TemporaryFolder folder;
    const std::string path = folder.filePath("recorded");
    ReplayRecorder recorder;
};

} // namespace

// While a replay plays, the person's inputs change nothing and nothing of them is recorded; the
// replayed inputs are recorded as taken, and once the replay has ended the person is heard again.
TEST_F(RecordedSession, RefusesAndRecordsNoPersonsInputWhileAReplayPlays) {
    const Scene scene{SceneKind::Grid, 20};
    Recording replay;
    replay.scene = scene;
    replay.inputs = {{2, SessionInput::Kind::Spawn, Vec2(640, 400)}};
    replay.lastStep = 5;
    Session session(scene);
    ASSERT_TRUE(record(session, scene));
    session.play(replay);
    session.playTo(3);
    EXPECT_TRUE(session.replaying());
    EXPECT_FALSE(session.spawn(Vec2(300, 300)));
    EXPECT_FALSE(session.restart());
    EXPECT_EQ(session.sandbox().bodies().size(), scene.bodyCount() + 1);
    EXPECT_EQ(session.sandbox().sceneStep(), 3);

    session.playTo(5);
    EXPECT_FALSE(session.replaying());
    EXPECT_TRUE(session.spawn(Vec2(300, 300)));
    EXPECT_EQ(contentsOf(path), replayHeader(scene) + "2 spawn 0x1.4p+9 0x1.9p+8\n" +
                                    "5 spawn 0x1.2cp+8 0x1.2cp+8\n");
}

// Solver and scene switches, grabs, drags and releases are inputs like any other: recorded, read
// back and replayed to the same bits.
TEST_F(RecordedSession, SwitchesAndGrabsAreRecordedAndReplayExactly) {
    const Scene scene{SceneKind::Grid, 200, World::Solver::Stable};
    Session live(scene);
    ASSERT_TRUE(record(live, scene));
    live.playTo(40);
    ASSERT_TRUE(live.switchSolver(World::Solver::Designed));
    EXPECT_EQ(live.sandbox().sceneStep(), 0);
    live.playTo(70);
    ASSERT_TRUE(live.switchSolver(World::Solver::Stable));
    live.playTo(80);
    ASSERT_TRUE(
        live.grab(live.sandbox().bodyAt(live.sandbox().bodies()[10]->position, BodyType::Circle),
                  Vec2(640, 400)));
    for (int s = 0; s < 20; ++s) {
        live.drag(Vec2(640.0f + 10 * s, 400));
        live.drag(Vec2(645.0f + 10 * s, 410)); // only the last target before a step counts
        live.step();
    }
    ASSERT_TRUE(live.release());
    live.playTo(110);
    ASSERT_TRUE(live.switchScene(Scene{SceneKind::Column, 30, World::Solver::Stable}));
    EXPECT_EQ(live.heldCircle(), -1);
    live.playTo(150);

    const std::optional<Replay> replay = finishAndRead(live);
    ASSERT_TRUE(replay);
    Session replayed(replay->recording.scene);
    replayed.play(replay->recording);
    replayed.playTo(replay->end->step);
    EXPECT_EQ(replayed.sandbox().scene().solver, World::Solver::Stable);
    EXPECT_EQ(stateText(replayed.sandbox().bodies()), stateText(live.sandbox().bodies()));
    EXPECT_EQ(hashDigits(stateHash(replayed.sandbox().bodies())), hashDigits(replay->end->hash));
}

// Boxes dropped, a box grabbed by its corner and swung, a circle rolled: recorded, read back and
// replayed to the same bits, orientations and spins included, and going back lands on the very
// state the session had.
TEST_F(RecordedSession, BoxDropsAndGrabsOfBoxesReplayExactly) {
    const Scene scene{SceneKind::Mix, 40, World::Solver::Stable};
    Session live(scene);
    ASSERT_TRUE(record(live, scene));
    live.playTo(30);
    ASSERT_TRUE(live.dropBox(Vec2(300, 200)));
    ASSERT_TRUE(live.dropBox(Vec2(900, 260)));
    live.playTo(200);
    const BaseEntity &dropped = *live.sandbox().bodies()[scene.bodyCount()];
    // Its upper-right corner.
    const Vec2 corner = dropped.position + dropped.rotation.apply(Vec2(9, 9));
    ASSERT_EQ(live.sandbox().bodyAt(corner, BodyType::Box), scene.bodyCount());
    ASSERT_TRUE(live.grab(scene.bodyCount(), corner));
    std::string whileSwinging;
    for (int s = 0; s < 60; ++s) {
        live.drag(Vec2(300.0f + 5 * s, 500));
        live.step();
        if (s == 29)
            whileSwinging = stateText(live.sandbox().bodies()); // at step 230
    }
    ASSERT_TRUE(live.release());
    live.playTo(400);

    const std::optional<Replay> replay = finishAndRead(live);
    ASSERT_TRUE(replay);
    EXPECT_NE(contentsOf(path).find("\n30 box 0x1.2cp+8 0x1.9p+7\n"), std::string::npos);
    Session replayed(replay->recording.scene);
    replayed.play(replay->recording);
    replayed.playTo(replay->end->step);
    EXPECT_EQ(stateText(replayed.sandbox().bodies()), stateText(live.sandbox().bodies()));
    EXPECT_EQ(hashDigits(stateHash(replayed.sandbox().bodies())), hashDigits(replay->end->hash));
    // The swung box turned while held.
    EXPECT_FALSE(dropped.rotation.c == 1 && dropped.rotation.s == 0);
    ASSERT_TRUE(live.goBackTo(230));
    EXPECT_EQ(stateText(live.sandbox().bodies()), whileSwinging);
}

// Going back and acting again makes a new branch: the recording replays to the session as it
// finally went, its checkpoints pass, and the replay itself can be stepped back and forth.
TEST_F(RecordedSession, ARecordingWithGoingBackReplaysTheHistoryAsItFinallyWent) {
    const Scene scene{SceneKind::Grid, 20, World::Solver::Stable};
    Session live(scene);
    ASSERT_TRUE(record(live, scene));
    live.playTo(500);
    live.spawn(Vec2(500, 600));
    live.playTo(1300);
    live.spawn(Vec2(600, 600));
    live.playTo(1400);
    ASSERT_TRUE(live.goBackTo(450));
    live.spawn(Vec2(700, 600));
    live.playTo(1250);

    const std::optional<Replay> replay = finishAndRead(live);
    ASSERT_TRUE(replay);
    const std::string recorded = contentsOf(path);
    EXPECT_NE(recorded.find("\n600 hash "), std::string::npos);
    EXPECT_NE(recorded.find("\n1400 back 450\n450 spawn"), std::string::npos);
    EXPECT_EQ(replay->recording.inputs.size(), 1u);
    Session replayed(replay->recording.scene);
    replayed.play(replay->recording);
    replayed.playTo(1000);
    ASSERT_TRUE(replayed.stepBack(60));
    EXPECT_TRUE(replayed.replaying());
    replayed.playTo(replay->end->step);
    EXPECT_FALSE(replayed.divergence());
    EXPECT_EQ(stateText(replayed.sandbox().bodies()), stateText(live.sandbox().bodies()));
}

// Settings and a solver switched in place are inputs like any other: going back before a change
// undoes it, the recording replays to the bits, and a state saved with changed settings goes on
// as the live session does.
TEST_F(RecordedSession, SettingsAndInPlaceSwitchesReplayAndSaveExactly) {
    const Scene scene{SceneKind::Grid, 200, World::Solver::Stable};
    Session live(scene);
    ASSERT_TRUE(record(live, scene));
    SandboxSettings changed;
    changed.step.gravity = Vec2(0.25f, -0.5f);
    changed.step.restitution = 0.3f;
    changed.dropRadius = 12;
    changed.dropMass = 0.05f;
    changed.slowMotion = 0.25f;
    live.playTo(40);
    ASSERT_TRUE(live.changeSettings(changed));
    ASSERT_TRUE(live.spawn(Vec2(640, 500)));
    live.playTo(70);
    const int bodies = live.sandbox().bodies().size();
    ASSERT_TRUE(live.switchSolverInPlace(World::Solver::Designed));
    EXPECT_EQ(live.sandbox().sceneStep(), 70);
    EXPECT_EQ(live.sandbox().bodies().size(), bodies);
    live.playTo(100);
    ASSERT_TRUE(live.goBackTo(35));
    EXPECT_TRUE(sameSettings(live.sandbox().settings(), SandboxSettings()));
    EXPECT_EQ(live.sandbox().scene().solver, World::Solver::Stable);
    changed.step.gravity = Vec2(0, 2);
    ASSERT_TRUE(live.changeSettings(changed));
    ASSERT_TRUE(live.switchSolverInPlace(World::Solver::Designed));
    ASSERT_TRUE(live.spawn(Vec2(640, 500)));
    live.playTo(120);

    const std::optional<Replay> replay = finishAndRead(live);
    ASSERT_TRUE(replay);
    Session replayed(replay->recording.scene);
    replayed.play(replay->recording);
    replayed.playTo(replay->end->step);
    EXPECT_TRUE(sameSettings(replayed.sandbox().settings(), changed));
    EXPECT_EQ(stateText(replayed.sandbox().bodies()), stateText(live.sandbox().bodies()));

    SessionSnapshot saved;
    live.take(saved);
    std::istringstream text(stateFileText(saved.sandbox));
    FileFault fault;
    const std::optional<SessionSnapshot> loaded = readState(text, "saved", fault);
    ASSERT_TRUE(loaded) << fault.message();
    Session continued(loaded->sandbox.scene);
    continued.restore(*loaded);
    live.playTo(200);
    continued.playTo(200);
    EXPECT_EQ(stateText(continued.sandbox().bodies()), stateText(live.sandbox().bodies()));
}

// Removals and clears are inputs like any other; the circle held follows its body down the array
// and goes with it.
TEST_F(RecordedSession, RemovalsAndClearsReplayExactly) {
    const Scene scene{SceneKind::Grid, 20, World::Solver::Stable};
    Session live(scene);
    ASSERT_TRUE(record(live, scene));
    live.playTo(30);
    for (const float x : {500.0f, 640.0f, 780.0f})
        ASSERT_TRUE(live.spawn(Vec2(x, 700)));
    live.playTo(60);
    const int dropped = scene.bodyCount() + 2;
    ASSERT_TRUE(live.grab(dropped, live.sandbox().bodies()[dropped]->position));
    ASSERT_TRUE(live.remove(5));
    EXPECT_FALSE(live.remove(0)); // a wall
    EXPECT_EQ(live.heldCircle(), dropped - 1);
    live.playTo(90);
    ASSERT_TRUE(live.clearDropped());
    EXPECT_EQ(live.sandbox().bodies().size(), scene.bodyCount() - 1);
    EXPECT_EQ(live.heldCircle(), -1);
    ASSERT_TRUE(live.spawn(Vec2(640, 700)));
    live.playTo(120);
    ASSERT_TRUE(live.goBackTo(70));
    EXPECT_EQ(live.sandbox().bodies().size(), scene.bodyCount() + 2);
    ASSERT_TRUE(live.remove(live.sandbox().bodies().size() - 1));
    live.playTo(130);

    const std::optional<Replay> replay = finishAndRead(live);
    ASSERT_TRUE(replay);
    Session replayed(replay->recording.scene);
    replayed.play(replay->recording);
    replayed.playTo(replay->end->step);
    EXPECT_FALSE(replayed.replayFault());
    EXPECT_EQ(stateText(replayed.sandbox().bodies()), stateText(live.sandbox().bodies()));
}
