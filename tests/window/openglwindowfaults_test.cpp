#include "tests/window/recordingwindow.h"
#include "tests/window/windowwaits.h"

#include <QOpenGLContext>
#include <QTest>
#include <gtest/gtest.h>

using windowwaits::hideUnexposed;
using windowwaits::rendered;
using windowwaits::showExposed;

namespace {

// What must hold however often the window came and went: one initialize, one context, and no
// OpenGL error seen inside any hook.
void expectIntactAfterwards(const RecordingWindow &window) {
    EXPECT_EQ(window.initializeCount(), 1);
    EXPECT_EQ(window.findChildren<QOpenGLContext *>(QString(), Qt::FindDirectChildrenOnly).size(),
              1);
    int withError = 0;
    for (const RecordingWindow::HookCall &call : window.calls())
        withError += call.error != GL_NO_ERROR;
    EXPECT_EQ(withError, 0) << "of " << window.calls().size() << " hook calls";
}

} // namespace

TEST(OpenGLWindowFaults, AHundredHideShowCyclesResumeFramesEveryTime) {
    RecordingWindow window;
    window.resize(240, 160);
    for (int cycle = 0; cycle < 100; ++cycle) {
        ASSERT_TRUE(showExposed(window)) << "cycle " << cycle;
        ASSERT_TRUE(rendered(window, window.renderCount() + 1)) << "cycle " << cycle;
        ASSERT_TRUE(hideUnexposed(window)) << "cycle " << cycle;
    }
    expectIntactAfterwards(window);
}

TEST(OpenGLWindowFaults, MinimisingResizingAndRestoringResumesFrames) {
    RecordingWindow window;
    window.resize(240, 160);
    ASSERT_TRUE(showExposed(window));
    ASSERT_TRUE(rendered(window, 3));

    const QSize sizes[] = {QSize(480, 320), QSize(120, 90), QSize(640, 360)};
    for (const QSize &size : sizes) {
        window.showMinimized();
        QTest::qWait(50);
        window.resize(size);
        QTest::qWait(50);
        window.showNormal();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, windowwaits::timeoutMs));
        ASSERT_TRUE(rendered(window, window.renderCount() + 3));
    }

    // Minimised straight from hidden, then restored.
    ASSERT_TRUE(hideUnexposed(window));
    window.showMinimized();
    QTest::qWait(50);
    window.showNormal();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, windowwaits::timeoutMs));
    ASSERT_TRUE(rendered(window, window.renderCount() + 3));

    expectIntactAfterwards(window);
}

TEST(OpenGLWindowFaults, AResizeWhileHiddenIsRenderedCleanlyOnTheNextShow) {
    RecordingWindow window;
    window.resize(240, 160);
    ASSERT_TRUE(showExposed(window));
    ASSERT_TRUE(hideUnexposed(window));

    window.resize(800, 500);
    ASSERT_TRUE(showExposed(window));
    ASSERT_TRUE(rendered(window, window.renderCount() + 5));
    EXPECT_EQ(window.size(), QSize(800, 500));
    expectIntactAfterwards(window);
}
