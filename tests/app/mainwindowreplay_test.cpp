#include "tests/app/probewindow.h"

#include "core/entityarray.h"
#include "replay/replayfile.h"
#include "replay/replayrecorder.h"
#include "session/session.h"
#include "text/statetext.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <optional> // std::optional
#include <sstream>  // std::istringstream

namespace {

void press(ProbeWindow &window, Qt::Key key) {
    QTest::keyClick(&window, key);
}

void click(ProbeWindow &window, QPoint point) {
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, point);
}

bool settle(const ProbeWindow &window) {
    return waitForFrames(window, window.frames() + 3);
}

} // namespace

TEST(MainWindowReplay, ARecordedSessionReplaysHeadlessToTheWindowsStateAtClose) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("session"));
    LaunchOptions options;
    options.scene = Scene{SceneKind::Grid, 200};
    ProbeWindow window(options);
    ReplayRecorder recorder;
    FileFault fault;
    ASSERT_TRUE(recorder.open(path.toStdString(), options.scene, fault)) << fault.message();
    window.recordTo(&recorder);
    showAsMainDoes(window);
    ASSERT_TRUE(waitForFrames(window, 10));

    click(window, QPoint(640, 200));
    ASSERT_TRUE(settle(window));
    press(window, Qt::Key_Space);
    click(window, QPoint(300, 350));
    press(window, Qt::Key_N);
    press(window, Qt::Key_N);
    click(window, QPoint(900, 100));
    press(window, Qt::Key_R);
    click(window, QPoint(500, 300));
    press(window, Qt::Key_Space);
    ASSERT_TRUE(waitForFrames(window, window.frames() + 20));
    click(window, QPoint(700, 250));
    ASSERT_TRUE(settle(window));
    press(window, Qt::Key_Escape);
    recorder.finish(window.session()->sandbox());
    ASSERT_FALSE(recorder.failed());

    // The tool's output, line for line, and its exit code 0: the hash matched too.
    EXPECT_TRUE(sameAsTrace(window.bodies(), {"--replay", path}));
}

TEST(MainWindowReplay, AHandWrittenFilePlaysInTheWindowAsHeadlessThenThePersonGoesOn) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("written"));
    QByteArray text =
        "rigid2d-replay 1\nscene grid 60\n0 spawn 640 600\n15 spawn 0x1.2cp+8 500.25\n"
        "25 restart\n25 spawn 700 300\n40 spawn 641 650\n";
    FileFault fault;
    std::optional<Replay> replay;
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    replay = readReplayFile(path.toStdString(), EndRecord::Optional, fault);
    ASSERT_TRUE(replay) << fault.message();
    // The end record, from the state the headless player reaches.
    Session headless(replay->recording.scene);
    headless.play(replay->recording);
    headless.playTo(50);
    text += "50 end " +
            QByteArray::fromStdString(hashDigits(stateHash(headless.sandbox().bodies()))) + "\n";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    replay = readReplayFile(path.toStdString(), EndRecord::Required, fault);
    ASSERT_TRUE(replay) << fault.message();

    LaunchOptions options;
    options.scene = replay->recording.scene;
    ProbeWindow window(options);
    window.play(*replay);
    showAsMainDoes(window);
    ASSERT_TRUE(waitForFrames(window, 5));
    // The person's spawns and restarts wait until the replay has ended; pausing works as usual.
    click(window, QPoint(640, 100));
    press(window, Qt::Key_R);
    press(window, Qt::Key_Space);
    ASSERT_TRUE(settle(window));
    EXPECT_TRUE(window.session()->replaying());
    EXPECT_TRUE(
        sameAsTrace(window.bodies(),
                    {"--replay", path, QString::number(window.session()->sandbox().totalSteps())}));
    press(window, Qt::Key_Space);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.paused(); }, 30000));
    ASSERT_TRUE(settle(window));
    EXPECT_EQ(window.session()->sandbox().totalSteps(), 50);
    EXPECT_FALSE(window.session()->replaying());

    EXPECT_TRUE(sameAsTrace(window.bodies(), {"--replay", path}));

    // Above the pile: no circle to grab there, so the click drops one.
    const int bodies = window.bodies().size();
    click(window, QPoint(640, 10));
    EXPECT_EQ(window.bodies().size(), bodies + 1);
}

// A replay playing is shown with its step and end, a click during it is refused with a word, and
// an end state that differs from the file's is said in the window.
TEST(MainWindowReplay, ShowsItselfRefusesInputVisiblyAndSaysWhereItDiverged) {
    std::istringstream text("rigid2d-replay 1\nscene demo 100\n60 restart\n80 end "
                            "0123456789abcdef\n");
    FileFault fault;
    std::optional<Replay> replay = readReplay(text, "tampered", EndRecord::Required, fault);
    ASSERT_TRUE(replay) << fault.message();
    ProbeWindow window;
    window.play(*replay);
    showAsMainDoes(window);
    ASSERT_TRUE(waitForFrames(window, 5));
    EXPECT_TRUE(window.statusLines().join('\n').contains(QStringLiteral("replay: step ")));
    EXPECT_TRUE(window.statusLines().join('\n').endsWith(QStringLiteral(" of 80")));
    click(window, QPoint(640, 100));
    EXPECT_TRUE(window.statusLines().join('\n').contains(QStringLiteral("no input before")));
    EXPECT_EQ(window.bodies().size(), 103);
    EXPECT_FALSE(window.replayDiverged());

    ASSERT_TRUE(QTest::qWaitFor([&] { return window.paused(); }, 30000));
    EXPECT_TRUE(window.replayDiverged());
    EXPECT_TRUE(window.statusLines().contains(QStringLiteral("the replay diverged at step 80")));
}
