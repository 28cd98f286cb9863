#include "tests/app/probewindow.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <string> // std::string
#include <vector> // std::vector

namespace {

struct LoggedMessage {
    QtMsgType type;
    std::string category;
    std::string file;
    int line;
    std::string function;
    std::string text;
};

std::vector<LoggedMessage> *capturedMessages = nullptr;

void captureMessage(QtMsgType type, const QMessageLogContext &context, const QString &text) {
    const auto orEmpty = [](const char *s) { return std::string(s ? s : ""); };
    capturedMessages->push_back(LoggedMessage{type, orEmpty(context.category),
                                              orEmpty(context.file), context.line,
                                              orEmpty(context.function), text.toStdString()});
}

// Collects every message Qt's log receives while it exists.
class MessageCapture {
public:
    MessageCapture() {
        capturedMessages = &messages;
        previous = qInstallMessageHandler(captureMessage);
    }
    ~MessageCapture() {
        qInstallMessageHandler(previous);
        capturedMessages = nullptr;
    }
    MessageCapture(const MessageCapture &) = delete;
    MessageCapture &operator=(const MessageCapture &) = delete;

    std::vector<LoggedMessage> messages;

private:
    QtMessageHandler previous;
};

// Counts the input events that reach the window, so that "nothing logged" means something.
class InputCounter : public QObject {
public:
    int presses = 0;
    int releases = 0;
    int movesWithLeftHeld = 0;
    int wheelTurns = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            ++presses;
            break;
        case QEvent::MouseButtonRelease:
            ++releases;
            break;
        case QEvent::MouseMove:
            if (static_cast<QMouseEvent *>(event)->buttons() & Qt::LeftButton)
                ++movesWithLeftHeld;
            break;
        case QEvent::Wheel:
            ++wheelTurns;
            break;
        default:
            break;
        }
        return false;
    }
};

class MainWindowInput : public ::testing::Test {
protected:
    void SetUp() override {
        showAsMainDoes(window);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_TRUE(waitForFrames(window, 1));
    }

    ProbeWindow window;
};

void expectRightClickLine(const LoggedMessage &message) {
    EXPECT_EQ(message.type, QtDebugMsg);
    EXPECT_EQ(message.category, "default");
    EXPECT_EQ(message.file, "");
    EXPECT_EQ(message.line, 0);
    EXPECT_EQ(message.function, "");
    // The debug stream puts a space after the streamed text, then the line feed follows.
    EXPECT_EQ(message.text, "Right mouse click! \n");
}

} // namespace

TEST_F(MainWindowInput, EachRightClickLogsOneDebugLine) {
    MessageCapture log;
    for (size_t clicks = 1; clicks <= 3; ++clicks) {
        QTest::mouseClick(&window, Qt::RightButton, Qt::NoModifier, QPoint(640, 360));
        ASSERT_EQ(log.messages.size(), clicks);
        expectRightClickLine(log.messages.back());
    }
}

TEST_F(MainWindowInput, RightButtonDragLogsOnlyTheClick) {
    MessageCapture log;
    QTest::mousePress(&window, Qt::RightButton, Qt::NoModifier, QPoint(300, 300));
    QTest::mouseMove(&window, QPoint(350, 320));
    QTest::mouseMove(&window, QPoint(400, 340));
    QTest::mouseRelease(&window, Qt::RightButton, Qt::NoModifier, QPoint(400, 340));
    ASSERT_EQ(log.messages.size(), 1u);
    expectRightClickLine(log.messages.front());
}

TEST_F(MainWindowInput, LeftClickDragAndWheelLogNothing) {
    InputCounter input;
    window.installEventFilter(&input);
    MessageCapture log;
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(640, 360));

    QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseMove(&window, QPoint(200, 150));
    QTest::mouseMove(&window, QPoint(300, 200));
    QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, QPoint(300, 200));

    const QPointF position(640, 360);
    QWheelEvent wheel(position, window.mapToGlobal(position.toPoint()), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&window, &wheel);
    QCoreApplication::processEvents();

    EXPECT_EQ(log.messages.size(), 0u);
    window.removeEventFilter(&input);
    EXPECT_EQ(input.presses, 2);
    EXPECT_EQ(input.releases, 2);
    EXPECT_EQ(input.movesWithLeftHeld, 2);
    EXPECT_EQ(input.wheelTurns, 1);
}
