#include "tests/app/probewindow.h"

#include "core/entityarray.h"
#include "physics/baseentity.h"
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

// Records the window's session into the file at path, as --record does.
bool recordInto(ProbeWindow &window, ReplayRecorder &recorder, const QString &path,
                const Scene &scene) {
    FileFault fault;
    const bool opened = recorder.open(path.toStdString(), scene, fault);
    EXPECT_TRUE(opened) << fault.message();
    window.recordTo(&recorder);
    return opened;
}

bool settle(const ProbeWindow &window) {
    return waitForFrames(window, window.frames() + 3);
}

LaunchOptions pausedOn(const Scene &scene) {
    LaunchOptions options;
    options.scene = scene;
    options.paused = true;
    return options;
}

// A window shown paused on scene, its session recorded into a file of its own.
struct RecordedWindow {
    explicit RecordedWindow(const Scene &scene) : window(pausedOn(scene)) {
        opened = recordInto(window, recorder, path, scene);
        showAsMainDoes(window);
    }
    // Closes the window and ends the file; false when it could not be written.
    bool close() {
        press(window, Qt::Key_Escape);
        recorder.finish(window.session()->sandbox());
        return !recorder.failed();
    }

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("session"));
    ProbeWindow window;
    ReplayRecorder recorder;
    bool opened = false;
};

} // namespace

TEST(MainWindowReplay, ARecordedSessionReplaysHeadlessToTheWindowsStateAtClose) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("session"));
    LaunchOptions options;
    options.scene = Scene{SceneKind::Grid, 200};
    ProbeWindow window(options);
    ReplayRecorder recorder;
    ASSERT_TRUE(recordInto(window, recorder, path, options.scene));
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

// S keeps every body and goes on from the step it is pressed at; the settings keys, Delete and X
// act on the same session; all of it recorded, so that the tool replays it to the window's bits.
TEST(MainWindowReplay, SolverSettingsAndRemovalKeysKeepTheSessionAndReplayHeadless) {
    RecordedWindow recorded(Scene{SceneKind::Grid, 200, World::Solver::Stable});
    ASSERT_TRUE(recorded.opened);
    ProbeWindow &window = recorded.window;
    ASSERT_TRUE(settle(window));

    // Two circles dropped beside the box, one grabbed and thrown.
    for (const QPoint point : {QPoint(1240, 300), QPoint(40, 300), QPoint(640, 150)})
        click(window, point);
    for (const Qt::Key key : {Qt::Key_G, Qt::Key_Period, Qt::Key_E, Qt::Key_D, Qt::Key_N})
        press(window, key);
    const Sandbox &sandbox = window.session()->sandbox();
    click(window, QPoint(640, 60));
    ASSERT_TRUE(settle(window));
    const int before = sandbox.bodies().size();
    press(window, Qt::Key_Delete); // the circle under the pointer
    ASSERT_TRUE(settle(window));
    EXPECT_EQ(sandbox.bodies().size(), before - 1);
    press(window, Qt::Key_N);
    const int bodies = sandbox.bodies().size();
    const long long step = sandbox.sceneStep();
    press(window, Qt::Key_S);
    EXPECT_EQ(sandbox.scene().solver, World::Solver::Designed);
    EXPECT_EQ(sandbox.bodies().size(), bodies);
    EXPECT_EQ(sandbox.sceneStep(), step);
    for (int k = 0; k < 3; ++k)
        press(window, Qt::Key_N);
    const int undropped = sandbox.bodies().size() - sandbox.droppedCircles();
    ASSERT_GT(sandbox.droppedCircles(), 0);
    press(window, Qt::Key_X);
    EXPECT_EQ(sandbox.bodies().size(), undropped);
    press(window, Qt::Key_N);
    ASSERT_TRUE(settle(window));
    ASSERT_TRUE(recorded.close());

    EXPECT_TRUE(sameAsTrace(window.bodies(), {"--replay", recorded.path}));
}

// Shift and a click drop a box; a box grabbed off its centre turns as it is dragged; both
// recorded, so that the tool replays them to the window's bits.
TEST(MainWindowReplay, AShiftClickDropsABoxAndAGrabbedBoxSwingsAndBothReplayHeadless) {
    RecordedWindow recorded(Scene{SceneKind::Stack, 5, World::Solver::Stable});
    ASSERT_TRUE(recorded.opened);
    ProbeWindow &window = recorded.window;
    ASSERT_TRUE(settle(window));

    const int dropped = window.bodies().size();
    QTest::mouseClick(&window, Qt::LeftButton, Qt::ShiftModifier, QPoint(900, 300));
    ASSERT_EQ(window.bodies().size(), dropped + 1);
    ASSERT_EQ(window.bodies()[dropped]->type(), BodyType::Box);
    // A few pixels up and right of its centre: held there, it swings as it is pulled.
    QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, QPoint(903, 297));
    press(window, Qt::Key_Space);
    for (const QPoint point : {QPoint(950, 280), QPoint(1000, 250)}) {
        QTest::mouseMove(&window, point);
        ASSERT_TRUE(waitForFrames(window, window.frames() + 10));
    }
    QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, QPoint(1000, 250));
    press(window, Qt::Key_Space);
    ASSERT_TRUE(settle(window));
    EXPECT_NE(window.bodies()[dropped]->angularVelocity, 0.0f);
    ASSERT_TRUE(recorded.close());

    EXPECT_TRUE(sameAsTrace(window.bodies(), {"--replay", recorded.path}));
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
