#include "tests/window/recordingwindow.h"
#include "tests/window/windowwaits.h"

#include <QCoreApplication>
#include <QExposeEvent>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QResizeEvent>
#include <QTest>
#include <algorithm>
#include <cstddef>
#include <gtest/gtest.h>

using windowwaits::hideUnexposed;
using windowwaits::rendered;
using windowwaits::showExposed;
using Hook = RecordingWindow::Hook;

namespace {

// Qt delivers these synchronously: the frame, if any, has been rendered when they return.
bool sendUpdateRequest(QWindow &window) {
    QEvent request(QEvent::UpdateRequest);
    return QCoreApplication::sendEvent(&window, &request);
}

bool sendExpose(QWindow &window) {
    QExposeEvent expose(QRegion(0, 0, window.width(), window.height()));
    return QCoreApplication::sendEvent(&window, &expose);
}

QList<QOpenGLContext *> contextChildren(const QWindow &window) {
    return window.findChildren<QOpenGLContext *>(QString(), Qt::FindDirectChildrenOnly);
}

// A small window, shown and already past its first frame.
class OpenGLWindowShown : public testing::Test {
protected:
    void SetUp() override {
        window.resize(240, 160);
        ASSERT_TRUE(showExposed(window));
        ASSERT_TRUE(rendered(window, 1));
    }

    RecordingWindow window;
};

} // namespace

TEST(OpenGLWindowStart, NothingIsCreatedOrCalledBeforeTheWindowIsShown) {
    RecordingWindow window;
    EXPECT_EQ(window.surfaceType(), QSurface::OpenGLSurface);

    window.renderNow();
    EXPECT_TRUE(sendUpdateRequest(window));
    sendExpose(window);
    QTest::qWait(100);

    EXPECT_TRUE(window.calls().empty());
    EXPECT_TRUE(contextChildren(window).isEmpty());
}

TEST(OpenGLWindowStart, ShowingInitializesOnceThenRendersTheFirstFrameRightAway) {
    RecordingWindow window;
    window.resize(240, 160);
    ASSERT_TRUE(showExposed(window));
    ASSERT_TRUE(rendered(window, 10));

    const std::vector<RecordingWindow::HookCall> &calls = window.calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0].hook, Hook::Initialize);
    EXPECT_EQ(calls[1].hook, Hook::Render);
    EXPECT_EQ(window.initializeCount(), 1);
}

TEST_F(OpenGLWindowShown, FramesKeepComingWithNoTimerOfTheirOwn) {
    const int start = window.renderCount();
    EXPECT_TRUE(rendered(window, start + 20));
    EXPECT_EQ(window.initializeCount(), 1);
}

TEST_F(OpenGLWindowShown, EachUpdateRequestRendersExactlyOneFrame) {
    for (int i = 0; i < 5; ++i) {
        const int before = window.renderCount();
        EXPECT_TRUE(sendUpdateRequest(window));
        EXPECT_EQ(window.renderCount(), before + 1);
    }
}

TEST_F(OpenGLWindowShown, EachExposeThatFindsTheWindowExposedRendersExactlyOneFrame) {
    for (int i = 0; i < 5; ++i) {
        const int before = window.renderCount();
        sendExpose(window);
        EXPECT_EQ(window.renderCount(), before + 1);
    }
}

TEST_F(OpenGLWindowShown, NothingRendersWhileTheWindowIsHidden) {
    ASSERT_TRUE(hideUnexposed(window));
    const int hiddenAt = window.renderCount();

    sendExpose(window);
    EXPECT_TRUE(sendUpdateRequest(window));
    window.renderNow();
    EXPECT_EQ(window.renderCount(), hiddenAt);
}

TEST_F(OpenGLWindowShown, HidingStopsFramesAndShowingResumesThemWithoutASecondInitialize) {
    ASSERT_TRUE(hideUnexposed(window));
    const int hiddenAt = window.renderCount();
    QTest::qWait(300);
    EXPECT_EQ(window.renderCount(), hiddenAt);

    ASSERT_TRUE(showExposed(window));
    EXPECT_TRUE(rendered(window, hiddenAt + 10));
    EXPECT_EQ(window.initializeCount(), 1);
}

TEST_F(OpenGLWindowShown, RenderNowInvokedThroughTheMetaObjectRendersLikeADirectCall) {
    const int before = window.renderCount();
    ASSERT_TRUE(QMetaObject::invokeMethod(&window, "renderNow", Qt::DirectConnection));
    ASSERT_EQ(window.renderCount(), before + 1);
    const RecordingWindow::HookCall invoked = window.calls().back();

    window.renderNow();
    ASSERT_EQ(window.renderCount(), before + 2);
    const RecordingWindow::HookCall direct = window.calls().back();

    EXPECT_EQ(invoked.hook, Hook::Render);
    EXPECT_EQ(invoked.context, direct.context);
    EXPECT_EQ(invoked.surface, &window);
    EXPECT_EQ(direct.surface, &window);
    EXPECT_EQ(window.initializeCount(), 1);

    ASSERT_TRUE(hideUnexposed(window));
    const int hiddenAt = window.renderCount();
    EXPECT_TRUE(QMetaObject::invokeMethod(&window, "renderNow", Qt::DirectConnection));
    EXPECT_EQ(window.renderCount(), hiddenAt);
}

TEST_F(OpenGLWindowShown, TheContextIsCreatedOnceAsAQtChildOfTheWindow) {
    const QList<QOpenGLContext *> contexts = contextChildren(window);
    ASSERT_EQ(contexts.size(), 1);
    QOpenGLContext *context = contexts.front();
    EXPECT_EQ(context->parent(), &window);
    EXPECT_TRUE(context->isValid());

    ASSERT_TRUE(hideUnexposed(window));
    ASSERT_TRUE(showExposed(window));
    ASSERT_TRUE(rendered(window, window.renderCount() + 5));
    EXPECT_EQ(contextChildren(window), contexts);
}

TEST_F(OpenGLWindowShown, BothHooksRunWithTheWindowsContextCurrentOnTheWindow) {
    ASSERT_TRUE(rendered(window, 5));
    const QList<QOpenGLContext *> contexts = contextChildren(window);
    ASSERT_EQ(contexts.size(), 1);

    for (const RecordingWindow::HookCall &call : window.calls()) {
        EXPECT_EQ(call.context, contexts.front());
        EXPECT_EQ(call.surface, &window);
    }
}

TEST_F(OpenGLWindowShown, OtherEventsReachQWindowsHandlersAndRenderNothing) {
    const int before = window.renderCount();
    // Showing the window has already delivered resize events of its own.
    const std::size_t earlier = window.handledEvents().size();
    // The constructor with a global position is the one both Qt 5 and Qt 6 keep undeprecated.
    const QPointF position(10, 10);
    QMouseEvent press(QEvent::MouseButtonPress, position, window.mapToGlobal(position.toPoint()),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QResizeEvent resize(QSize(300, 200), window.size());

    EXPECT_TRUE(QCoreApplication::sendEvent(&window, &press));
    EXPECT_TRUE(QCoreApplication::sendEvent(&window, &key));
    EXPECT_TRUE(QCoreApplication::sendEvent(&window, &resize));

    const std::vector<QEvent::Type> expected{QEvent::MouseButtonPress, QEvent::KeyPress,
                                             QEvent::Resize};
    const std::vector<QEvent::Type> handled(window.handledEvents().begin() + earlier,
                                            window.handledEvents().end());
    EXPECT_EQ(handled, expected);
    EXPECT_EQ(window.renderCount(), before);
}

TEST_F(OpenGLWindowShown, InputAndResizesFromTheWindowSystemReachQWindowsHandlers) {
    const std::size_t earlier = window.handledEvents().size();
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QTest::keyClick(&window, Qt::Key_A);
    window.resize(320, 200);

    const std::vector<QEvent::Type> &all = window.handledEvents();
    const auto handled = [&all, earlier](QEvent::Type type) {
        return std::count(all.begin() + earlier, all.end(), type);
    };
    // The window system confirms the new size later, with a resize event.
    EXPECT_TRUE(QTest::qWaitFor([&handled] { return handled(QEvent::Resize) > 0; },
                                windowwaits::timeoutMs));
    EXPECT_EQ(handled(QEvent::MouseButtonPress), 1);
    EXPECT_EQ(handled(QEvent::KeyPress), 1);
    EXPECT_EQ(window.size(), QSize(320, 200));
    EXPECT_TRUE(rendered(window, window.renderCount() + 5));
}
