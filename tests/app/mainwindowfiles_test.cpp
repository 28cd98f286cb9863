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
    showAsMainDoes(window);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.paused(); }, 30000));

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
    QTemporaryDir folder;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    ProbeWindow window(gridPausedAt(1));
    showAsMainDoes(window);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.paused(); }, 30000));
    press(window, Qt::Key_F12);
    ASSERT_TRUE(waitForFrames(window, window.frames() + 2));
    QDir::setCurrent(before);

    const QStringList files = QDir(folder.path()).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].startsWith(QStringLiteral("rigid2d-")) && files[0].endsWith(".png"));
    EXPECT_EQ(QImage(folder.filePath(files[0])).size(), window.size() * window.devicePixelRatio());
    EXPECT_TRUE(says(window, "saved the picture as"));
}
