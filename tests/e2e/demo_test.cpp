#include "tests/e2e/programrun.h"
#include "tests/e2e/x11user.h"

#include <QThread>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int timeoutMs = 10000;
const QByteArray rightClickLine = "Right mouse click! \n";
const QPoint centre(640, 360);

// The demo, started as a user starts it, once its window is on the screen.
class Rigid2dDemo : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(user.ready()) << "no X display with XTest";
        demo = std::make_unique<ProgramRun>(QStringLiteral(RIGID2D_PATH));
        ASSERT_TRUE(demo->started());
        for (int waited = 0; windows.empty() && demo->isRunning() && waited < timeoutMs;
             waited += 20) {
            QThread::msleep(20);
            windows = user.viewableWindowsOf(demo->pid());
        }
        ASSERT_FALSE(windows.empty()) << "no window; stderr: " << demo->standardError().data();
        window = windows.front();
    }

    // Closes the window as a window manager's close button does and waits for the demo to end.
    void closeAndExpectCleanExit() {
        user.requestClose(window);
        ASSERT_TRUE(demo->finished(timeoutMs));
        EXPECT_TRUE(demo->exitedNormally());
        EXPECT_EQ(demo->exitCode(), 0);
    }

    X11User user;
    std::unique_ptr<ProgramRun> demo;
    std::vector<X11User::Window> windows;
    X11User::Window window = 0;
};

} // namespace

TEST_F(Rigid2dDemo, ShowsOneTopLevelWindowOf1280By720) {
    EXPECT_EQ(windows.size(), 1u);
    EXPECT_EQ(user.size(window), QSize(1280, 720));
    // Nor does a second window follow the first.
    QThread::msleep(200);
    EXPECT_EQ(user.viewableWindowsOf(demo->pid()), windows);
}

TEST_F(Rigid2dDemo, ARightClickWritesExactlyOneLine) {
    user.click(window, X11User::rightButton, centre);
    ASSERT_TRUE(demo->wroteToStandardError(rightClickLine, timeoutMs));
    closeAndExpectCleanExit();
    // Qt's default message handler ends the message, itself ending in a line feed, with its own.
    EXPECT_EQ(demo->standardError(), rightClickLine + "\n");
    EXPECT_EQ(demo->standardOutput(), QByteArray());
}

TEST_F(Rigid2dDemo, EveryRightClickWritesItsOwnLineEvenAsADoubleClick) {
    for (int i = 0; i < 3; ++i)
        user.click(window, X11User::rightButton, centre + QPoint(5 * i, 0));
    const QByteArray threeLines = (rightClickLine + "\n").repeated(3);
    ASSERT_TRUE(demo->wroteToStandardError(threeLines, timeoutMs));
    closeAndExpectCleanExit();
    EXPECT_EQ(demo->standardError(), threeLines);
}

TEST_F(Rigid2dDemo, ARightDragWritesOneLineNoMatterHowFarItMoves) {
    user.drag(window, X11User::rightButton, QPoint(200, 200), QPoint(900, 500));
    ASSERT_TRUE(demo->wroteToStandardError(rightClickLine, timeoutMs));
    closeAndExpectCleanExit();
    EXPECT_EQ(demo->standardError(), rightClickLine + "\n");
}

TEST_F(Rigid2dDemo, LeftClicksAndLeftDragsWriteNothing) {
    user.click(window, X11User::leftButton, centre);
    user.drag(window, X11User::leftButton, QPoint(100, 100), QPoint(1000, 600));
    user.click(window, X11User::leftButton, QPoint(1000, 600));
    // Input is handled in order, so once this right click's line is there, the left-button
    // input before it has been handled too.
    user.click(window, X11User::rightButton, centre);
    ASSERT_TRUE(demo->wroteToStandardError(rightClickLine, timeoutMs));
    closeAndExpectCleanExit();
    EXPECT_EQ(demo->standardError(), rightClickLine + "\n");
}

TEST_F(Rigid2dDemo, ClosingTheWindowEndsTheProcessWithExitCodeZero) {
    ASSERT_TRUE(user.acceptsDeleteRequests(window));
    closeAndExpectCleanExit();
    EXPECT_FALSE(user.exists(window));
    EXPECT_EQ(demo->standardError(), QByteArray());
    EXPECT_EQ(demo->standardOutput(), QByteArray());
}
