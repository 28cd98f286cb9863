#include "tests/e2e/fullfilesystem.h"
#include "tests/e2e/programrun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int timeoutMs = 120000;

struct Traced {
    int exitCode;
    QByteArray out;
    QByteArray err;
};

Traced trace(const QStringList &arguments) {
    ProgramRun run(QStringLiteral(RIGID2D_TRACE_PATH), arguments);
    const bool finished = run.started() && run.finished(timeoutMs) && run.exitedNormally();
    return {finished ? run.exitCode() : -1, run.standardOutput(), run.standardError()};
}

QByteArray contentsOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

class TraceSavedState : public testing::TestWithParam<QStringList> {};

// A state saved after 500 steps and continued for 500 more prints what 1000 steps print.
TEST_P(TraceSavedState, SavedAfter500AndContinuedFor500PrintsTheTraceOf1000) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("at500.state"));
    ASSERT_EQ(trace(GetParam() + QStringList{"--save-state", path, "500"}).exitCode, 0);
    const Traced continued = trace({"--load-state", path, "500"});
    ASSERT_EQ(continued.exitCode, 0) << continued.err.constData();
    EXPECT_EQ(continued.out, trace(GetParam() + QStringList{"1000"}).out);
}

INSTANTIATE_TEST_SUITE_P(Scenes, TraceSavedState,
                         testing::Values(QStringList{},
                                         QStringList{"--scene", "grid", "--bodies", "1000"}),
                         [](const testing::TestParamInfo<QStringList> &info) {
                             return info.param.isEmpty() ? std::string("demo")
                                                         : std::string("grid1000");
                         });

// Every damaged file is refused with its line and exit code 2, before any step.
TEST(TraceSavedStateFaults, ADamagedFileIsRefusedWithItsLineAndCode2) {
    QTemporaryDir folder;
    const QString saved = folder.filePath(QStringLiteral("good.state"));
    ASSERT_EQ(trace({"--scene", "grid", "--bodies", "3", "--save-state", saved, "40"}).exitCode, 0);
    const QByteArray good = contentsOf(saved);
    const QList<QByteArray> lines = good.split('\n');
    // The bodies' count, then the first body; what comes before depends on the file's version.
    int counted = 0;
    while (counted < lines.size() && !lines[counted].startsWith("bodies "))
        ++counted;
    ASSERT_LT(counted + 1, lines.size());
    ASSERT_EQ(lines[counted + 1].left(2), QByteArray("0 "));
    const QByteArray afterFirst = ":" + QByteArray::number(counted + 3) + ":";
    // Body 3, after the three walls.
    const int firstCircle = counted + 4;
    const auto without = [&](int from) {
        QByteArray text;
        for (int i = 0; i < from; ++i)
            text += lines[i] + '\n';
        return text;
    };
    QByteArray otherHash = good;
    otherHash.replace(otherHash.size() - 17, 16, "0123456789abcdef");
    QByteArray movedBody = good;
    movedBody.replace(lines[firstCircle],
                      QByteArray(lines[firstCircle]).replace(" 0x1.ep+4", " 0x1.f0p+4 7"));
    const struct {
        const char *what;
        QByteArray content;
        QByteArray message;
    } cases[] = {
        {"empty", "", ":1: empty file"},
        {"a replay", "rigid2d-replay 2\n", ":1: not a rigid2d state"},
        {"version 6", "rigid2d-state 6\n", ":1: format version \"6\" is not supported"},
        {"cut after a body", without(counted + 2),
         afterFirst + " the file ends after 1 of 6 bodies"},
        {"cut before the hash", without(lines.size() - 2), "the file ends before its hash line"},
        {"another hash", otherHash, "the bodies do not match the hash"},
        {"a field too many", movedBody,
         ":" + QByteArray::number(firstCircle + 1) + ": unexpected \"7\" at the end of the line"},
        {"more bodies than the scene holds", QByteArray(good).replace("bodies 6", "bodies 9999"),
         ":" + QByteArray::number(counted + 1) +
             ": expected the bodies, a whole number from 0 to 1030"},
    };
    for (const auto &c : cases) {
        const QString path = folder.filePath(QStringLiteral("bad.state"));
        write(path, c.content);
        const Traced run = trace({"--load-state", path, "10"});
        EXPECT_EQ(run.exitCode, 2) << c.what;
        EXPECT_TRUE(run.out.isEmpty()) << c.what;
        EXPECT_TRUE(run.err.startsWith(path.toLocal8Bit() + ":")) << c.what << run.err.constData();
        EXPECT_TRUE(run.err.contains(c.message)) << c.what << ": " << run.err.constData();
        EXPECT_EQ(run.err.count('\n'), 1) << c.what;
    }
}

// A state saved over another on a full disk fails with one line and leaves the old one whole.
TEST_F(FullFileSystem, AStateSavedOverAnotherLeavesItWholeAndSaysWhy) {
    const QString path = folder.filePath(QStringLiteral("kept.state"));
    ASSERT_EQ(trace({"--save-state", path, "10"}).exitCode, 0);
    const QByteArray old = contentsOf(path);
    fill();
    const Traced run = trace({"--save-state", path, "20"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "rigid2d-trace: --save-state: " + path.toLocal8Bit() +
                           ": cannot be written: No space left on device\n");
    EXPECT_EQ(contentsOf(path), old);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("filler"), QStringLiteral("kept.state")}));
}

// A checkpoint that the run does not match names its step, however the run ends.
TEST(TraceReplayCheckpoints, TheFirstCheckpointThatDiffersIsReportedWithExitCode1) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("checked.replay"));
    write(path, "rigid2d-replay 2\nscene grid 20 stable\n600 hash 0123456789abcdef\n"
                "1200 hash 0123456789abcdef\n1300 end 0123456789abcdef\n");
    const Traced run = trace({"--replay", path});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith("replay diverged at step 600: expected 0123456789abcdef, got "))
        << run.err.constData();
}

} // namespace
