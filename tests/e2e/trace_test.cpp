#include "tests/e2e/programrun.h"

#include <gtest/gtest.h>

namespace {

constexpr int timeoutMs = 20000;

struct TraceResult {
    bool finished;
    int exitCode;
    QByteArray out;
    QByteArray err;
};

TraceResult runTrace(const QStringList &arguments) {
    ProgramRun trace(QStringLiteral(RIGID2D_TRACE_PATH), arguments);
    const bool finished = trace.started() && trace.finished(timeoutMs);
    return {finished && trace.exitedNormally(), trace.exitCode(), trace.standardOutput(),
            trace.standardError()};
}

} // namespace

TEST(Rigid2dTrace, RejectsAnythingButOneWholeNumberWithAOneLineUsageAndCode2) {
    const QStringList rejected[] = {{},
                                    {QStringLiteral("1"), QStringLiteral("2")},
                                    {"-1"},
                                    {"abc"},
                                    {"12x"},
                                    {""},
                                    {"+1"},
                                    {" 1"},
                                    {"99999999999999999999"}};
    for (const QStringList &arguments : rejected) {
        SCOPED_TRACE(arguments.join(QLatin1Char('|')).toStdString());
        const TraceResult result = runTrace(arguments);
        ASSERT_TRUE(result.finished);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.out, QByteArray());
        EXPECT_TRUE(result.err.startsWith("usage: rigid2d-trace")) << result.err.data();
        EXPECT_EQ(result.err.count('\n'), 1);
        EXPECT_TRUE(result.err.endsWith('\n'));
    }
}

// A negative count is no option the parser does not know: the message names the count.
TEST(Rigid2dTrace, ANegativeStepCountIsSaidToBeOne) {
    const struct {
        QStringList arguments;
        const char *named;
    } cases[] = {{{"-5"}, "(STEPS: expects a whole number, 0 or more, not \"-5\")\n"},
                 {{"--scene", "grid", "-12"}, "not \"-12\")\n"}};
    for (const auto &c : cases) {
        const TraceResult result = runTrace(c.arguments);
        ASSERT_TRUE(result.finished);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(result.err.endsWith(c.named)) << result.err.data();
    }
}

TEST(Rigid2dTrace, ZeroStepsPrintsTheInitialSceneInHexFloats) {
    const TraceResult result = runTrace({QStringLiteral("0")});
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, QByteArray());
    ASSERT_TRUE(result.out.endsWith('\n'));

    const QList<QByteArray> lines = result.out.chopped(1).split('\n');
    ASSERT_EQ(lines.size(), 103);
    // Walls (type 1): right (1165, 80), left (100, 80), floor (100, 50).
    EXPECT_EQ(lines[0], "0 1 0x1.234p+10 0x1.4p+6 0x0p+0 0x0p+0");
    EXPECT_EQ(lines[1], "1 1 0x1.9p+6 0x1.4p+6 0x0p+0 0x0p+0");
    EXPECT_EQ(lines[2], "2 1 0x1.9p+6 0x1.9p+5 0x0p+0 0x0p+0");
    // Circles (type 0) zig-zag between x = 200 and 230, 100 apart from y = 300 to 10200.
    EXPECT_EQ(lines[3], "3 0 0x1.9p+7 0x1.2cp+8 0x0p+0 0x0p+0");
    EXPECT_EQ(lines[4], "4 0 0x1.ccp+7 0x1.9p+8 0x0p+0 0x0p+0");
    EXPECT_EQ(lines[101], "101 0 0x1.9p+7 0x1.3bap+13 0x0p+0 0x0p+0");
    EXPECT_EQ(lines[102], "102 0 0x1.ccp+7 0x1.3ecp+13 0x0p+0 0x0p+0");
}
