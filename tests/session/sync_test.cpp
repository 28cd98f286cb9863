// The proof that a snapshot holds everything the next step depends on: in the manner of rollback
// libraries' sync tests, a session with drops, grabs, restarts and solver switches is snapshotted
// at every step of a window; each snapshot is restored into a second session that has just run
// elsewhere (so its world's kept orders and buffers are another step's) and run on for a while
// with the same inputs, and its state text must be byte-identical to the run that never restored.
// RIGID2D_SYNC_LONG=1 makes the window ten times longer, for CI.

#include "session/session.h"
#include "text/statetext.h"

#include <gtest/gtest.h>

#include <cstdlib> // std::getenv
#include <ostream> // std::ostream
#include <string>  // std::string
#include <vector>  // std::vector

namespace {

struct SyncCase {
    const char *name;
    Scene scene;
    // The person's inputs after each step.
    void (*giveInputs)(Session &session);
    // The first step snapshotted.
    long long first;
};

void PrintTo(const SyncCase &syncCase, std::ostream *out) {
    *out << syncCase.name;
}

// The person's inputs, the same every 400 steps: drops of circles and a box, a body grabbed,
// dragged and thrown (in the mix a box, held by a point off its centre), a restart, and the solver
// switched and switched back.
void giveInputs(Session &session) {
    const long long step = session.sandbox().totalSteps();
    if (step % 400 > 100 && step % 400 < 140)
        session.drag(Vec2(400.0f + 12 * static_cast<float>(step % 400), 700));
    switch (step % 400) {
    case 100:
        session.grab(10, Vec2(600, 650));
        break;
    case 140:
        session.release();
        break;
    case 30:
        session.spawn(Vec2(640, 420));
        session.spawn(Vec2(655, 480));
        session.dropBox(Vec2(520, 560));
        break;
    case 150:
        session.spawn(Vec2(300, 500));
        break;
    case 200:
        session.restart();
        break;
    case 260:
        session.spawn(Vec2(700, 300));
        break;
    case 300:
    case 380: {
        const World::Solver solver = session.sandbox().scene().solver;
        session.switchSolver(solver == World::Solver::Stable ? World::Solver::Designed
                                                             : World::Solver::Stable);
        break;
    }
    default:
        break;
    }
}

// A small pile that falls asleep by step 350, is woken by a circle dropped onto it, falls asleep
// again, and so on every 400 steps.
void dropOntoTheSleepingPile(Session &session) {
    const long long step = session.sandbox().totalSteps();
    if (step % 400 == 360)
        session.spawn(Vec2(400.0f + static_cast<float>(step % 1200) / 4, 450));
}

class SyncTest : public testing::TestWithParam<SyncCase> {
protected:
    static void stepWithInputs(Session &session) {
        session.step();
        GetParam().giveInputs(session);
    }
};

TEST_P(SyncTest, EveryRestoredSnapshotRunsOnExactlyAsTheRunThatNeverRestored) {
    const bool long_ = std::getenv("RIGID2D_SYNC_LONG") != nullptr;
    const long long first = GetParam().first;
    const long long window = long_ ? 3000 : 300;
    const long long ahead = 30;

    Session live(GetParam().scene);
    live.keepHistory(false);
    GetParam().giveInputs(live);
    while (live.sandbox().totalSteps() < first)
        stepWithInputs(live);
    std::vector<SessionSnapshot> snapshots(static_cast<std::size_t>(window));
    std::vector<std::string> expected(static_cast<std::size_t>(window));
    for (long long s = first; s < first + window + ahead; ++s) {
        if (s < first + window)
            live.take(snapshots[static_cast<std::size_t>(s - first)]);
        if (s >= first + ahead)
            expected[static_cast<std::size_t>(s - first - ahead)] =
                stateText(live.sandbox().bodies());
        stepWithInputs(live);
    }

    Session probe(GetParam().scene);
    for (long long s = first; s < first + window; ++s) {
        probe.restore(snapshots[static_cast<std::size_t>(s - first)]);
        ASSERT_EQ(probe.sandbox().totalSteps(), s);
        for (int k = 0; k < ahead; ++k)
            stepWithInputs(probe);
        ASSERT_EQ(stateText(probe.sandbox().bodies()),
                  expected[static_cast<std::size_t>(s - first)])
            << "restored at step " << s << ", compared at step " << s + ahead;
    }
}

// Going back restores the state once seen at that step, across restarts and solver switches, and
// stepping on from there repeats the run; a step not yet reached, or the present, is refused.
TEST_P(SyncTest, GoingBackGivesTheStateSeenThenAndTheSameRunAfter) {
    Session session(GetParam().scene);
    std::vector<std::string> seen;
    GetParam().giveInputs(session);
    seen.push_back(stateText(session.sandbox().bodies()));
    for (int s = 1; s <= 460; ++s) {
        stepWithInputs(session);
        seen.push_back(stateText(session.sandbox().bodies()));
    }
    EXPECT_FALSE(session.goBackTo(460));
    for (const long long to : {449, 390, 300, 240, 199, 120, 60, 31, 0}) {
        ASSERT_TRUE(session.goBackTo(to));
        ASSERT_EQ(session.sandbox().totalSteps(), to);
        EXPECT_EQ(stateText(session.sandbox().bodies()), seen[static_cast<std::size_t>(to)])
            << "back at step " << to;
        for (int k = 0; k < 5; ++k)
            stepWithInputs(session);
        EXPECT_EQ(stateText(session.sandbox().bodies()), seen[static_cast<std::size_t>(to + 5)])
            << "5 steps after going back to " << to;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, SyncTest,
    testing::Values(
        SyncCase{"demo", Scene{}, giveInputs, 100},
        SyncCase{"grid1000", Scene{SceneKind::Grid, 1000, World::Solver::Stable}, giveInputs, 100},
        SyncCase{"mix300", Scene{SceneKind::Mix, 300, World::Solver::Stable}, giveInputs, 100},
        SyncCase{"sleepinggrid100", Scene{SceneKind::Grid, 100, World::Solver::Stable},
                 dropOntoTheSleepingPile, 300}),
    [](const testing::TestParamInfo<SyncCase> &info) { return std::string(info.param.name); });

} // namespace
