#include "tests/app/probewindow.h"

#include <QProcess>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio> // std::snprintf
#include <vector> // std::vector

namespace {

// One line per body, exactly as rigid2d-trace prints them.
QStringList describe(const std::vector<BodyState> &bodies) {
    QStringList lines;
    for (size_t i = 0; i < bodies.size(); ++i) {
        const BodyState &b = bodies[i];
        char line[160];
        std::snprintf(line, sizeof line, "%d %d %a %a %a %a", static_cast<int>(i), b.type,
                      static_cast<double>(b.position.x), static_cast<double>(b.position.y),
                      static_cast<double>(b.velocity.x), static_cast<double>(b.velocity.y));
        lines.append(QString::fromLatin1(line));
    }
    return lines;
}

QStringList traceTool(int steps) {
    QProcess tool;
    tool.start(QStringLiteral(RIGID2D_TRACE_PATH), {QString::number(steps)});
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0)
        return {};
    return QString::fromLatin1(tool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

// Hides the window and waits until its frames have stopped.
::testing::AssertionResult stopFrames(ProbeWindow &window) {
    window.hide();
    if (!QTest::qWaitFor([&] { return !window.isExposed(); }, 5000))
        return ::testing::AssertionFailure() << "the hidden window is still exposed";
    const int frames = window.frames();
    QTest::qWait(200);
    if (window.frames() != frames)
        return ::testing::AssertionFailure()
               << "the hidden window rendered " << window.frames() - frames << " more frames";
    return ::testing::AssertionSuccess();
}

// The window has stepped once per rendered frame, no more and no less, exactly as the headless
// tool steps.
::testing::AssertionResult matchesTraceTool(const ProbeWindow &window) {
    const QStringList tool = traceTool(window.frames());
    const QStringList shown = describe(snapshotBodies(window.bodies()));
    if (tool.size() != shown.size())
        return ::testing::AssertionFailure()
               << "rigid2d-trace " << window.frames() << " printed " << tool.size() << " lines for "
               << shown.size() << " bodies";
    for (int i = 0; i < tool.size(); ++i) {
        if (tool[i] != shown[i])
            return ::testing::AssertionFailure()
                   << "after " << window.frames() << " frames, window: " << shown[i].toStdString()
                   << ", rigid2d-trace: " << tool[i].toStdString();
    }
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(MainWindowTrace, BodiesAfterRenderedFramesMatchTheHeadlessTraceBitForBit) {
    ProbeWindow window;
    showAsMainDoes(window);
    ASSERT_TRUE(waitForFrames(window, 300));
    ASSERT_TRUE(stopFrames(window));
    EXPECT_TRUE(matchesTraceTool(window));
}

TEST(MainWindowTrace, HiddenWindowResumesWhereItStoppedWhenShownAgain) {
    ProbeWindow window;
    showAsMainDoes(window);
    ASSERT_TRUE(waitForFrames(window, 150));
    ASSERT_TRUE(stopFrames(window));
    const int framesBeforeHiding = window.frames();
    EXPECT_TRUE(matchesTraceTool(window));

    window.show();
    ASSERT_TRUE(waitForFrames(window, framesBeforeHiding + 150));
    ASSERT_TRUE(stopFrames(window));
    EXPECT_TRUE(matchesTraceTool(window));
}
