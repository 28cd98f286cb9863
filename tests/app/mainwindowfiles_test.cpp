#include "tests/app/probewindow.h"

#include "core/entityarray.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void press(ProbeWindow &window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&window, key, modifiers);
}

// Answers the prompt with text in place of what it offers.
void answer(ProbeWindow &window, const QString &text) {
    press(window, Qt::Key_U, Qt::ControlModifier);
    for (const QChar c : text)
        QTest::keyClick(&window, c.toLatin1());
    press(window, Qt::Key_Return);
}

bool says(const ProbeWindow &window, const char *text) {
    return window.statusLines().join('\n').contains(QString::fromLatin1(text));
}

// Shows the window and waits until it has paused at the step it stops at.
void showUntilPaused(ProbeWindow &window) {
    showAsMainDoes(window);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.paused(); }, 30000));
}

// A temporary folder as the working folder for as long as it lives, where the files named by the
// time go.
class WorkingFolder {
public:
    WorkingFolder() : before(QDir::currentPath()) { QDir::setCurrent(folder.path()); }
    ~WorkingFolder() { QDir::setCurrent(before); }
    WorkingFolder(const WorkingFolder &) = delete;
    WorkingFolder &operator=(const WorkingFolder &) = delete;

    QString filePath(const QString &name) const { return folder.filePath(name); }
    QStringList files(const QString &pattern) const {
        return QDir(folder.path()).entryList({pattern}, QDir::Files);
    }

private:
    QTemporaryDir folder;
    QString before;
};

LaunchOptions gridPausedAt(long long step) {
    LaunchOptions options;
    options.scene = Scene{SceneKind::Grid, 200, World::Solver::Stable};
    options.steps = step;
    return options;
}

} // namespace

// Ctrl+S saves the state of the moment it is pressed into the file typed, Ctrl+O opens it again:
// the very state rigid2d-trace continues from that file. A file that cannot be read changes
// nothing and says why.
TEST(MainWindowFiles, SavingThenOpeningAStateGoesBackToIt) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("saved.state"));
    ProbeWindow window(gridPausedAt(40));
    showUntilPaused(window);

    press(window, Qt::Key_S, Qt::ControlModifier);
    // Keys go to the prompt while it is open: N steps nothing.
    press(window, Qt::Key_N);
    answer(window, path);
    EXPECT_TRUE(says(window, "saved the state of step 40"))
        << window.statusLines().join('\n').toStdString();
    for (int i = 0; i < 5; ++i)
        press(window, Qt::Key_N);
    ASSERT_EQ(window.session()->sandbox().totalSteps(), 45);

    press(window, Qt::Key_O, Qt::ControlModifier);
    answer(window, folder.filePath(QStringLiteral("missing")));
    EXPECT_TRUE(says(window, "could not open"));
    EXPECT_EQ(window.session()->sandbox().totalSteps(), 45);

    press(window, Qt::Key_O, Qt::ControlModifier);
    answer(window, path);
    EXPECT_TRUE(says(window, "opened"));
    EXPECT_EQ(window.session()->sandbox().totalSteps(), 40);
    EXPECT_TRUE(sameAsTrace(window.bodies(), {"--load-state", path, "0"}));
    EXPECT_TRUE(sameAsTrace(window.bodies(),
                            {"--scene", "grid", "--bodies", "200", "--solver", "stable", "40"}));

    // R goes back to the state opened, not to step 0 of the scene.
    for (int i = 0; i < 3; ++i)
        press(window, Qt::Key_N);
    press(window, Qt::Key_R);
    EXPECT_EQ(window.session()->sandbox().totalSteps(), 40);
    EXPECT_TRUE(sameAsTrace(window.bodies(), {"--load-state", path, "0"}));
}

// F12 saves the frame as a picture named by the time, in the working folder.
TEST(MainWindowFiles, F12SavesThePictureShown) {
    const WorkingFolder folder;
    ProbeWindow window(gridPausedAt(1));
    showUntilPaused(window);
    press(window, Qt::Key_F12);
    ASSERT_TRUE(waitForFrames(window, window.frames() + 2));

    const QStringList files = folder.files(QStringLiteral("*"));
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].startsWith(QStringLiteral("rigid2d-")) && files[0].endsWith(".png"));
    EXPECT_EQ(QImage(folder.filePath(files[0])).size(), window.size() * window.devicePixelRatio());
    EXPECT_TRUE(says(window, "saved the picture as"));
}

// Ctrl+R in the middle of a session records it from the scene's step 0, with the drops and the
// settings given before the key, into a new file named by the time: rigid2d-trace replays it to
// its end hash and to the bodies shown. After a state opened, which no scene rebuilds, the key
// says so and records nothing.
TEST(MainWindowFiles, ARecordingStartedAndStoppedByKeyReplaysToItsHash) {
    const WorkingFolder folder;
    ProbeWindow window(gridPausedAt(20));
    showUntilPaused(window);
    const QPoint besideTheBox(1250, 40);
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, besideTheBox);
    press(window, Qt::Key_G);
    for (int i = 0; i < 5; ++i)
        press(window, Qt::Key_N);

    press(window, Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(says(window, "recording into"));
    press(window, Qt::Key_D);
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, besideTheBox);
    for (int i = 0; i < 10; ++i)
        press(window, Qt::Key_N);
    press(window, Qt::Key_B);
    press(window, Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(says(window, "recorded steps 0 to 34 into"));

    press(window, Qt::Key_S, Qt::ControlModifier);
    answer(window, QStringLiteral("at34.state"));
    press(window, Qt::Key_O, Qt::ControlModifier);
    answer(window, QStringLiteral("at34.state"));
    press(window, Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(says(window, "not after a state opened"));
    const QStringList recordings = folder.files(QStringLiteral("*.replay"));
    ASSERT_EQ(recordings.size(), 1);
    EXPECT_TRUE(sameAsTrace(window.bodies(), {"--replay", folder.filePath(recordings[0])}));
}
