#include "tests/app/probewindow.h"

#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

namespace {

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
    return sameAsTrace(window.bodies(), {QString::number(window.frames())});
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
