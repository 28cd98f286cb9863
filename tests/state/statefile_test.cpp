#include "session/session.h"
#include "state/statefile.h"
#include "tests/support/temporaryfolder.h"
#include "text/statetext.h"

#include <gtest/gtest.h>

#include <cstddef>  // std::size_t
#include <fstream>  // std::ifstream
#include <iterator> // std::istreambuf_iterator
#include <limits>   // std::numeric_limits
#include <memory>   // std::unique_ptr, std::make_unique
#include <optional> // std::optional
#include <sstream>  // std::istringstream
#include <string>   // std::string
#include <vector>   // std::vector

namespace {

// The session after that many steps, as saved, one line a record.
std::vector<std::string> savedLines(Session &session, long long steps) {
    session.keepHistory(false);
    session.playTo(steps);
    SessionSnapshot snapshot;
    session.take(snapshot);
    std::istringstream text(stateFileText(snapshot.sandbox));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

// A stable grid that has landed, as saved: walls, circles and warm-start pairs, one a line. The
// stable solver's first revision, whose state is the version 1 file.
std::vector<std::string> savedGridLines() {
    Session session(Scene{SceneKind::Grid, 20, World::Solver::StableRevision1});
    return savedLines(session, 1000);
}

std::string joined(const std::vector<std::string> &lines) {
    std::string text;
    for (const std::string &line : lines)
        text += line + '\n';
    return text;
}

} // namespace

// A state is written in the oldest version that holds it: one of the designed solver or of the
// stable solver's first revision reads in programs that know no revisions. Revisions are named
// from version 4 on.
TEST(StateFile, TheVersionWrittenIsTheOldestThatNamesTheSolver) {
    const struct {
        World::Solver solver;
        const char *start;
    } cases[] = {
        {World::Solver::Designed, "rigid2d-state 1\nscene grid 5 designed\n"},
        {World::Solver::StableRevision1, "rigid2d-state 1\nscene grid 5 stable\n"},
        {World::Solver::StableRevision2, "rigid2d-state 4\nscene grid 5 stable 2\n"},
        {World::Solver::StableRevision3, "rigid2d-state 5\nscene grid 5 stable 3\n"},
        {World::Solver::Stable, "rigid2d-state 5\nscene grid 5 stable 4\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.start);
        Session session(Scene{SceneKind::Grid, 5, c.solver});
        session.playTo(30);
        SessionSnapshot snapshot;
        session.take(snapshot);
        const std::string text = stateFileText(snapshot.sandbox);
        EXPECT_EQ(text.compare(0, std::string(c.start).size(), c.start), 0) << text;
        std::istringstream input(text);
        FileFault fault;
        const std::optional<SessionSnapshot> read = readState(input, "input", fault);
        ASSERT_TRUE(read) << fault.message();
        EXPECT_EQ(read->sandbox.scene.solver, c.solver);
    }
    std::istringstream renamed("rigid2d-state 3\nscene grid 5 stable 2\n");
    FileFault fault;
    EXPECT_FALSE(readState(renamed, "input", fault));
    EXPECT_EQ(fault.message(), "input:2: unexpected \"2\" at the end of the line");
}

// A damaged or hand-edited state gets its line and what is wrong with it in words.
TEST(StateFile, AMistakeIsNamedWithItsLine) {
    const std::vector<std::string> good = savedGridLines();
    std::size_t warmStart = 0;
    while (warmStart < good.size() && good[warmStart].compare(0, 10, "warmstart ") != 0)
        ++warmStart;
    ASSERT_GE(good.size(), warmStart + 4) << "the grid has no two warm-start pairs to swap";
    const std::string &hash = good.back();
    const struct {
        std::size_t line;
        std::string replacement;
        std::string message;
    } cases[] = {
        {0, "rigid2d-state 1\r",
         "the line ends in a carriage return: lines must end in a line feed alone"},
        {1, "scene grid 20", "expected the scene: \"scene NAME COUNT SOLVER\""},
        {1, "scene grid 20 fast", "unknown solver \"fast\": expected designed or stable"},
        {1, "scene demo 20 stable", "the demo scene has 100 circles, not 20"},
        {1, "scene grid 20 stable 2", "unexpected \"2\" at the end of the line"},
        {2, "steps 9 8", "expected the steps in the scene, a whole number from 0 to 8, not \"9\""},
        {4, "0 2", "expected the body's type, 0 (circle) or 1 (rectangle)"},
        {warmStart + 2, good[warmStart + 1], "the pairs must come in ascending order, each once"},
        {0, "rigid2d-state 6",
         "format version \"6\" is not supported: this program reads versions 1 to 5"},
        {good.size() - 1, "hash 0123456789abcdef",
         "the bodies do not match the hash: the file has 0123456789abcdef, its bodies hash to " +
             hash.substr(5)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.replacement);
        std::vector<std::string> lines = good;
        lines[c.line] = c.replacement;
        std::istringstream input(joined(lines));
        FileFault fault;
        EXPECT_FALSE(readState(input, "input", fault));
        EXPECT_EQ(fault.message(), "input:" + std::to_string(c.line + 1) + ": " + c.message);
    }
}

// The settings line of a version 2 file, damaged: the line after the steps.
TEST(StateFile, ABadSettingsLineIsNamedWithItsLine) {
    std::vector<std::string> good = savedGridLines();
    good[0] = "rigid2d-state 2";
    good.insert(good.begin() + 3, "settings 0 -1 0.8 30 0.02 1");
    const struct {
        std::string replacement;
        std::string message;
    } cases[] = {
        {"bodies 23", "expected the settings: \"settings GX GY RESTITUTION DROP_RADIUS DROP_MASS "
                      "SLOW_MOTION\""},
        {"settings 0 -1 0.8 0.5 0.02 1", "drop radius \"0.5\" is outside 1 to 300"},
        {"settings 0 -1 0.8 30 0.02 0", "slow motion \"0\" is outside 0.015625 to 1"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.replacement);
        std::vector<std::string> lines = good;
        lines[3] = c.replacement;
        std::istringstream input(joined(lines));
        FileFault fault;
        EXPECT_FALSE(readState(input, "input", fault));
        EXPECT_EQ(fault.message(), "input:4: " + c.message);
    }
}

namespace {

// The session a state's lines load into, ready to go on; null, with a failure, when they do not
// load.
std::unique_ptr<Session> loadedSession(const std::vector<std::string> &lines) {
    std::istringstream input(joined(lines));
    FileFault fault;
    const std::optional<SessionSnapshot> loaded = readState(input, "input", fault);
    EXPECT_TRUE(loaded) << fault.message();
    if (!loaded)
        return nullptr;
    auto session = std::make_unique<Session>(loaded->sandbox.scene);
    session->keepHistory(false);
    session->restore(*loaded);
    return session;
}

// The mix of circles and boxes after 300 steps, as saved: version 3 (the stable solver's first
// revision), every body turning.
std::vector<std::string> savedMixLines(Session &session) {
    return savedLines(session, 300);
}

// The line with field `field` of it replaced.
std::string withField(const std::string &line, std::size_t field, const std::string &value) {
    std::istringstream words(line);
    std::vector<std::string> fields;
    for (std::string word; words >> word;)
        fields.push_back(word);
    fields.at(field) = value;
    std::string text;
    for (std::size_t k = 0; k < fields.size(); ++k)
        text += (k ? " " : "") + fields[k];
    return text;
}

} // namespace

// Saved with boxes, loaded and continued: the same bits as the session that was never saved, in
// every revision of the stable solver.
TEST(StateFile, AStateWithTurningBoxesLoadsAndContinuesToTheSameBits) {
    const struct {
        World::Solver solver;
        const char *header;
    } cases[] = {
        {World::Solver::StableRevision1, "rigid2d-state 3"},
        {World::Solver::StableRevision2, "rigid2d-state 4"},
        {World::Solver::Stable, "rigid2d-state 5"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.header);
        Session saved(Scene{SceneKind::Mix, 40, c.solver});
        const std::vector<std::string> lines = savedMixLines(saved);
        ASSERT_EQ(lines[0], c.header);
        const std::unique_ptr<Session> resumed = loadedSession(lines);
        ASSERT_TRUE(resumed);
        saved.playTo(600);
        resumed->playTo(600);
        EXPECT_EQ(stateText(resumed->sandbox().bodies()), stateText(saved.sandbox().bodies()));
    }
}

// The fields only version 3 has are checked as strictly as the others.
TEST(StateFile, ABadBoxOrOrientationIsNamedWithItsLine) {
    Session session(Scene{SceneKind::Mix, 40, World::Solver::StableRevision1});
    const std::vector<std::string> good = savedMixLines(session);
    // Body 4, the first box, after the settings line: INDEX 2 ... STATIC FRICTION COS SIN SPIN HW
    // HH
    const std::size_t box = 9;
    ASSERT_EQ(good[box].compare(0, 4, "4 2 "), 0);
    const struct {
        std::size_t field;
        std::string value;
        std::string message;
    } cases[] = {
        {1, "3", "expected the body's type, 0 (circle), 1 (rectangle) or 2 (box)"},
        {16, "0", "expected the half_width, a finite number above 0, not \"0\""},
        {17, "-0x1.4p+3", "expected the half_height, a finite number above 0, not \"-0x1.4p+3\""},
        {13, "nan", "expected a finite number, not \"nan\""},
        {15, "inf", "expected a finite number, not \"inf\""},
        {14, "0x1p-1", "expected COS and SIN of an angle: their squares must add up to 1"},
        {12, "-0x1p-1", "expected FRICTION, 0 or more, not \"-0x1p-1\""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        std::vector<std::string> lines = good;
        lines[box] = withField(good[box], c.field, c.value);
        std::istringstream input(joined(lines));
        FileFault fault;
        EXPECT_FALSE(readState(input, "input", fault));
        EXPECT_EQ(fault.message(), "input:" + std::to_string(box + 1) + ": " + c.message);
    }
}

// A body whose spin went bad through the API (or overflowed) has left the simulation; the reader
// refuses such a file, so it is never written, and the file already there stays as it was.
TEST(StateFile, ABodyWithANonFiniteSpinOrOrientationIsNotSaved) {
    Session session(Scene{SceneKind::Mix, 40, World::Solver::Stable});
    session.keepHistory(false);
    session.playTo(50);
    SessionSnapshot good;
    session.take(good);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    const struct {
        const char *what;
        Rotation rotation;
        float spin;
    } cases[] = {
        {"NaN spin", Rotation{}, nan},
        {"infinite spin", Rotation{}, -infinity},
        {"NaN orientation", Rotation{nan, nan}, 0},
        {"orientation that overflowed to zero", Rotation{0, 0}, 0},
    };
    TemporaryFolder folder;
    const std::string path = folder.filePath("kept.state");
    FileFault fault;
    ASSERT_TRUE(writeStateFile(path, good.sandbox, fault)) << fault.message();
    const std::string kept = joined(savedLines(session, 50));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SessionSnapshot bad = good;
        bad.sandbox.motions[7].rotation = c.rotation;
        bad.sandbox.motions[7].angularVelocity = c.spin;
        EXPECT_FALSE(writeStateFile(path, bad.sandbox, fault));
        EXPECT_EQ(fault.message(), path + ": not saved: the orientation or spin of body 7 is not "
                                          "finite, which a state file cannot hold");
        std::ifstream file(path);
        const std::string text((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
        EXPECT_EQ(text, kept);
    }
}

// A pile asleep, saved and loaded, sleeps on to the same bits, and a circle dropped onto it wakes
// it as it wakes the pile that was never saved; its sleep lines are checked like the others.
TEST(StateFile, ASleepingPileLoadsAndWakesAsItWould) {
    Session saved(Scene{SceneKind::Grid, 100, World::Solver::Stable});
    const std::vector<std::string> lines = savedLines(saved, 450);
    std::size_t sleep = 0;
    while (sleep < lines.size() && lines[sleep].compare(0, 6, "sleep ") != 0)
        ++sleep;
    ASSERT_EQ(lines.at(sleep), "sleep 100");
    EXPECT_EQ(lines.at(sleep + 1), "3 30 3");
    const std::unique_ptr<Session> resumed = loadedSession(lines);
    ASSERT_TRUE(resumed);
    for (Session *session : {&saved, resumed.get()}) {
        session->playTo(500);
        session->spawn(Vec2(640, 450));
        session->playTo(900);
    }
    EXPECT_EQ(stateText(resumed->sandbox().bodies()), stateText(saved.sandbox().bodies()));
    FileFault fault;

    const struct {
        std::size_t line;
        std::string replacement;
        std::string message;
    } cases[] = {
        {sleep + 1, "3 31 3",
         "expected the steps at rest, a whole number from 0 to 30, not \"31\""},
        {sleep + 1, "3 30", "expected \"INDEX REST_STEPS ISLAND\""},
        {sleep + 2, lines[sleep + 1],
         "the sleep records must come in ascending order of their bodies, each once"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.replacement);
        std::vector<std::string> damaged = lines;
        damaged[c.line] = c.replacement;
        std::istringstream bad(joined(damaged));
        EXPECT_FALSE(readState(bad, "input", fault));
        EXPECT_EQ(fault.message(), "input:" + std::to_string(c.line + 1) + ": " + c.message);
    }
}
