#include "tests/e2e/programrun.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <ostream> // std::ostream

namespace {

constexpr int timeoutMs = 60000;

QString write(const QTemporaryDir &folder, const QString &name, const QByteArray &content) {
    const QString path = folder.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
}

QByteArray traced(const QStringList &arguments, int expectedExitCode) {
    ProgramRun trace(QStringLiteral(RIGID2D_TRACE_PATH), arguments);
    EXPECT_TRUE(trace.finished(timeoutMs));
    EXPECT_EQ(trace.exitCode(), expectedExitCode) << trace.standardError().data();
    return trace.standardOutput();
}

const QByteArray handWritten = "rigid2d-replay 1\nscene column 30\n0 spawn 640 600\n"
                               "12 spawn 0x1.2cp+8 500.25\n20 restart\n20 spawn 700 300\n"
                               "33 spawn 641 650\n";

} // namespace

TEST(Rigid2dReplay, TheWindowPlaysAFileAndRecordsItAgainSoThatItReplaysHeadless) {
    QTemporaryDir folder;
    const QString played = write(folder, QStringLiteral("played"), handWritten);
    const QString recorded = folder.filePath(QStringLiteral("recorded"));
    ProgramRun demo(QStringLiteral(RIGID2D_PATH),
                    {"--replay", played, "--record", recorded, "--steps", "40", "--screenshot",
                     folder.filePath(QStringLiteral("step40.png"))});
    ASSERT_TRUE(demo.finished(timeoutMs));
    ASSERT_EQ(demo.exitCode(), 0) << demo.standardError().data();

    QFile file(recorded);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray record = file.readAll();
    EXPECT_TRUE(record.startsWith(
        "rigid2d-replay 5\nscene column 30 designed\n0 spawn 0x1.4p+9 0x1.2cp+9\n"))
        << record.data();
    EXPECT_TRUE(record.contains("\n40 end ")) << record.data();
    EXPECT_EQ(traced({"--replay", recorded}, 0), traced({"--replay", played, "40"}, 0));
}

TEST(Rigid2dReplay, ABadFileOrARecordFileThatCannotBeWrittenStopsWithCode2BeforeAnyWindow) {
    QTemporaryDir folder;
    const QString bad = write(folder, QStringLiteral("bad"), handWritten + "30 spawn 1 2\n");
    QProcessEnvironment withoutDisplay;
    withoutDisplay.insert(QStringLiteral("DISPLAY"), QStringLiteral(":9999"));
    ProgramRun replay(QStringLiteral(RIGID2D_PATH), {"--replay", bad}, withoutDisplay);
    ASSERT_TRUE(replay.finished(timeoutMs));
    EXPECT_EQ(replay.exitCode(), 2);
    EXPECT_EQ(replay.standardError(), (bad + ":8: step 30 goes backwards: the record before is "
                                             "at step 33\n")
                                          .toLocal8Bit());

    ProgramRun record(QStringLiteral(RIGID2D_PATH), {"--record", "/no/such/folder/session"});
    ASSERT_TRUE(record.finished(timeoutMs));
    EXPECT_EQ(record.exitCode(), 2);
    EXPECT_TRUE(record.standardError().startsWith("rigid2d: --record: cannot write"))
        << record.standardError().data();
    EXPECT_EQ(record.standardError().count('\n'), 1);
}

namespace {

const QByteArray recordedDemo = "rigid2d-replay 1\nscene demo 100\n10 spawn 0x1.4p+9 0x1.9p+8\n"
                                "60 restart\n80 spawn 0x1.2c8p+8 0x1.f4p+8\n";

struct PlayedFile {
    const char *name;
    QByteArray content;
    int steps;
    int exitCode;
    // What standard error says, from its start.
    QByteArray said;
};

void PrintTo(const PlayedFile &file, std::ostream *out) {
    *out << file.name;
}

class Rigid2dReplayCheck : public ::testing::TestWithParam<PlayedFile> {};

} // namespace

// The window checks a replay as the headless tool does: a state that differs from the file's, at
// a checkpoint or at the end, is said on standard error and gives exit code 1 at the end.
TEST_P(Rigid2dReplayCheck, ADifferingStateEndsWithCode1) {
    const PlayedFile &played = GetParam();
    QTemporaryDir folder;
    const QString path = write(folder, QStringLiteral("played"), played.content);
    ProgramRun demo(QStringLiteral(RIGID2D_PATH),
                    {"--replay", path, "--steps", QString::number(played.steps), "--screenshot",
                     folder.filePath(QStringLiteral("end.png"))});
    ASSERT_TRUE(demo.finished(timeoutMs));
    EXPECT_EQ(demo.exitCode(), played.exitCode);
    EXPECT_TRUE(demo.standardError().startsWith(played.said)) << demo.standardError().data();
}

INSTANTIATE_TEST_SUITE_P(
    Files, Rigid2dReplayCheck,
    ::testing::Values(
        PlayedFile{"intact", recordedDemo + "120 end 708d69179aec2a08\n", 120, 0, ""},
        PlayedFile{"endDiffers", recordedDemo + "120 end 0123456789abcdef\n", 120, 1,
                   "replay diverged at step 120: expected 0123456789abcdef, got 708d69179aec2a08"},
        PlayedFile{"checkpointDiffers",
                   "rigid2d-replay 2\nscene grid 30 stable\n600 hash "
                   "0123456789abcdef\n",
                   600, 1, "replay diverged at step 600: expected 0123456789abcdef, got "}));
