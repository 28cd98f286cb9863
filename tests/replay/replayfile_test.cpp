#include "replay/replayfile.h"

#include <gtest/gtest.h>

#include <optional> // std::optional
#include <sstream>  // std::istringstream
#include <string>   // std::string

namespace {

std::optional<Replay> read(const std::string &text, FileFault &fault) {
    std::istringstream input(text);
    return readReplay(input, "input", EndRecord::Optional, fault);
}

const std::string header = "rigid2d-replay 2\nscene grid 40\n";
const std::string settingsHeader = "rigid2d-replay 3\nscene grid 40\n";

} // namespace

// A file written or edited by hand gets its line and what is wrong with it in words.
TEST(ReplayFile, AMistakeIsNamedWithItsLine) {
    const struct {
        std::string text;
        const char *message;
    } cases[] = {
        {"rigid2d-replay 2\r\n",
         "input:1: the line ends in a carriage return: lines must end in a line feed alone"},
        {header + "3 spawn 640,5 380\n", "input:3: expected a number, not \"640,5\""},
        {header + "3  spawn 1 2\n", "input:3: fields must be separated by single spaces"},
        {"rigid2d-replay 1\nscene grid 40\n3 solver stable\n",
         "input:3: unknown record \"solver\": expected spawn, restart or end"},
        {"rigid2d-replay 1\nscene grid 40 stable\n",
         "input:2: unexpected \"stable\" at the end of the line"},
        {"rigid2d-replay 2\nscene grid 40 fast\n",
         "input:2: unknown solver \"fast\": expected designed or stable"},
        {"rigid2d-replay 2\nscene heap 40\n",
         "input:2: unknown scene \"heap\": expected demo, column, grid, pyramid, stack or mix"},
        {"rigid2d-replay 2\nscene demo 40\n", "input:2: the demo scene has 100 circles, not 40"},
        {header + "3 scene grid\n", "input:3: expected the scene's NAME and COUNT"},
        {header + "3 scene grid 10 stable designed\n",
         "input:3: unexpected \"designed\" at the end of the line"},
        {header + "3 spawn 1 2\n2 spawn 1 2\n",
         "input:4: step 2 goes backwards: the record before is at step 3"},
        {header + "3 settings 0 -1 0.8 30 0.02 1\n",
         "input:3: unknown record \"settings\": expected spawn, restart, end, solver, scene, grab, "
         "drag, release, hash or back"},
        {settingsHeader + "3 settings 0 -1 1.5 30 0.02 1\n",
         "input:3: restitution \"1.5\" is outside 0 to 1"},
        {settingsHeader + "3 settings 0 -1 0.8 30 0 1\n",
         "input:3: drop mass \"0\" is outside 0.001 to 1"},
        {settingsHeader + "3 settings 0 nan 0.8 30 0.02 1\n",
         "input:3: gravity y \"nan\" is outside -10 to 10"},
        {settingsHeader + "3 settings 0 -1 0.8\n",
         "input:3: expected the settings: GX GY RESTITUTION DROP_RADIUS DROP_MASS SLOW_MOTION"},
        {settingsHeader + "3 solver-in-place fast\n",
         "input:3: unknown solver \"fast\": expected designed or stable"},
        // Revisions are named from version 5 on, and only those the program has.
        {"rigid2d-replay 4\nscene grid 40 stable 2\n",
         "input:2: unexpected \"2\" at the end of the line"},
        {"rigid2d-replay 5\nscene grid 40 stable 5\n",
         "input:2: expected a revision of the stable solver from 1 to 4, not \"5\""},
        {"rigid2d-replay 5\nscene grid 40\n3 solver designed 2\n",
         "input:3: unexpected \"2\" at the end of the line"},
        {"rigid2d-replay 5\nscene grid 40\n3 solver stable 0\n",
         "input:3: expected a revision of the stable solver from 1 to 4, not \"0\""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        FileFault fault;
        EXPECT_FALSE(read(c.text, fault));
        EXPECT_EQ(fault.message(), c.message);
    }
}

// A replay names the revision of the stable solver it was made with, the newest when recorded
// now, and plays with that one; "stable" alone is the first.
TEST(ReplayFile, TheStableSolversRevisionIsWrittenAndReadBack) {
    const struct {
        std::string text;
        World::Solver scene;
        World::Solver switched;
    } cases[] = {
        {replayHeader(Scene{SceneKind::Grid, 40, World::Solver::Stable}) + "3 solver stable 1\n",
         World::Solver::Stable, World::Solver::StableRevision1},
        {"rigid2d-replay 5\nscene grid 40 stable\n" +
             replayInputLine(SessionInput{3, SessionInput::Kind::Scene}),
         World::Solver::StableRevision1, World::Solver::Designed},
        {"rigid2d-replay 5\nscene grid 40 designed\n3 scene grid 10 stable 2\n",
         World::Solver::Designed, World::Solver::StableRevision2},
        {"rigid2d-replay 5\nscene grid 40 stable 2\n3 scene grid 10 stable 3\n",
         World::Solver::StableRevision2, World::Solver::StableRevision3},
        {"rigid2d-replay 5\nscene grid 40 stable 3\n3 solver stable 4\n",
         World::Solver::StableRevision3, World::Solver::Stable},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        FileFault fault;
        const std::optional<Replay> replay = read(c.text, fault);
        ASSERT_TRUE(replay) << fault.message();
        EXPECT_EQ(replay->recording.scene.solver, c.scene);
        ASSERT_EQ(replay->recording.inputs.size(), 1u);
        const SessionInput &input = replay->recording.inputs[0];
        EXPECT_EQ(input.kind == SessionInput::Kind::Solver ? input.solver : input.scene.solver,
                  c.switched);
    }
}

// Files written before solvers were recorded replay with the designed solver, as they did; a
// scene record without a solver brings the scene's own, in the stable solver's first revision,
// which is what it brought when such files were written.
TEST(ReplayFile, AFileThatNamesNoSolverPlaysTheDesignedOne) {
    FileFault fault;
    for (const char *version : {"1", "2"}) {
        const std::optional<Replay> old =
            read(std::string("rigid2d-replay ") + version + "\nscene grid 40\n", fault);
        ASSERT_TRUE(old) << fault.message();
        EXPECT_EQ(old->recording.scene.solver, World::Solver::Designed);
    }
    const std::optional<Replay> switched = read(header + "3 scene column 10\n", fault);
    ASSERT_TRUE(switched) << fault.message();
    ASSERT_EQ(switched->recording.inputs.size(), 1u);
    EXPECT_EQ(switched->recording.inputs[0].scene.solver, World::Solver::StableRevision1);
    EXPECT_EQ(switched->recording.inputs[0].source, 3);
}
