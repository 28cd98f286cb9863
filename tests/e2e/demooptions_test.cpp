#include "tests/e2e/fullfilesystem.h"
#include "tests/e2e/programrun.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <ostream> // std::ostream

namespace {

constexpr int timeoutMs = 60000;

// A display nobody serves: anything that needs one fails.
QProcessEnvironment withoutDisplay() {
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":9999"));
    return environment;
}

} // namespace

TEST(Rigid2dOptions, VersionHelpAndBadArgumentsAreAnsweredWithoutADisplay) {
    ProgramRun version(QStringLiteral(RIGID2D_PATH), {"--version"}, withoutDisplay());
    ASSERT_TRUE(version.finished(timeoutMs));
    EXPECT_EQ(version.exitCode(), 0);
    EXPECT_EQ(version.standardOutput(), QByteArray("rigid2d " RIGID2D_VERSION "\n"));

    ProgramRun help(QStringLiteral(RIGID2D_PATH), {"--help"}, withoutDisplay());
    ASSERT_TRUE(help.finished(timeoutMs));
    EXPECT_EQ(help.exitCode(), 0);
    EXPECT_TRUE(help.standardOutput().contains("--scene")) << help.standardOutput().data();

    ProgramRun bad(QStringLiteral(RIGID2D_PATH), {"--scene", "grid", "--bodies", "-3"},
                   withoutDisplay());
    ASSERT_TRUE(bad.finished(timeoutMs));
    EXPECT_TRUE(bad.exitedNormally());
    EXPECT_EQ(bad.exitCode(), 2);
    EXPECT_TRUE(bad.standardError().startsWith("rigid2d: --bodies")) << bad.standardError().data();
    EXPECT_EQ(bad.standardError().count('\n'), 1);
}

// Unknown options and stray arguments are known to be bad before a display is asked for.
TEST(Rigid2dOptions, EveryBadArgumentIsOneLineAndCode2WithoutADisplay) {
    const QStringList cases[] = {{"--bogus"}, {"extra"}, {"--steps", "x"}, {"-platform"}};
    for (const QStringList &arguments : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        ProgramRun bad(QStringLiteral(RIGID2D_PATH), arguments, withoutDisplay());
        ASSERT_TRUE(bad.finished(timeoutMs));
        EXPECT_TRUE(bad.exitedNormally());
        EXPECT_EQ(bad.exitCode(), 2);
        EXPECT_TRUE(bad.standardError().startsWith("rigid2d: ")) << bad.standardError().data();
        EXPECT_EQ(bad.standardError().count('\n'), 1) << bad.standardError().data();
    }
}

TEST(Rigid2dOptions, AnOptionQtDoesNotKnowEitherIsRejectedWithCode2) {
    ProgramRun demo(QStringLiteral(RIGID2D_PATH), {"-platform", "xcb", "--colour", "red"});
    ASSERT_TRUE(demo.finished(timeoutMs));
    EXPECT_EQ(demo.exitCode(), 2);
    EXPECT_TRUE(demo.standardError().contains("colour")) << demo.standardError().data();
}

TEST(Rigid2dOptions, StepsWithScreenshotSavesTheWindowAtThatStepAndExits) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("step1.png"));
    ProgramRun demo(QStringLiteral(RIGID2D_PATH), {"--steps", "1", "--screenshot", file});
    ASSERT_TRUE(demo.finished(timeoutMs));
    EXPECT_EQ(demo.exitCode(), 0) << demo.standardError().data();

    const QImage picture(file);
    ASSERT_EQ(picture.size(), QSize(1280, 720));
    // Rows from the top: the floor spans y in [50, 65) of the scene, from x = 100 to 1180, and the
    // first circle is still at (200, 300) after one step.
    EXPECT_EQ(picture.pixel(640, 720 - 57), qRgb(51, 68, 85));
    EXPECT_EQ(picture.pixel(99, 720 - 57), qRgb(255, 255, 255));
    EXPECT_NE(picture.pixel(200, 720 - 300), qRgb(255, 255, 255));
    EXPECT_EQ(picture.pixel(640, 100), qRgb(255, 255, 255));
}

// A window opened on a state saved after 500 steps and run 500 more shows what the demo shows
// after 1 000: --steps counts from the state's step.
TEST(Rigid2dOptions, AWindowOnASavedStateGoesOnAsTheRunItWasSavedFrom) {
    QTemporaryDir folder;
    const QString state = folder.filePath(QStringLiteral("at500"));
    ProgramRun save(QStringLiteral(RIGID2D_TRACE_PATH), {"--save-state", state, "500"});
    ASSERT_TRUE(save.finished(timeoutMs));
    ASSERT_EQ(save.exitCode(), 0) << save.standardError().data();

    const QString loaded = folder.filePath(QStringLiteral("loaded.png"));
    const QString straight = folder.filePath(QStringLiteral("straight.png"));
    ProgramRun fromState(QStringLiteral(RIGID2D_PATH),
                         {"--load-state", state, "--steps", "500", "--screenshot", loaded});
    ASSERT_TRUE(fromState.finished(timeoutMs));
    ASSERT_EQ(fromState.exitCode(), 0) << fromState.standardError().data();
    ProgramRun demo(QStringLiteral(RIGID2D_PATH), {"--steps", "1000", "--screenshot", straight});
    ASSERT_TRUE(demo.finished(timeoutMs));
    ASSERT_EQ(demo.exitCode(), 0) << demo.standardError().data();
    EXPECT_EQ(QImage(loaded), QImage(straight));
}

namespace {

struct PictureFile {
    const char *name;
    // The first bytes of the format the name asks for.
    QByteArray magic;
};

void PrintTo(const PictureFile &file, std::ostream *out) {
    *out << file.name;
}

class Rigid2dScreenshot : public ::testing::TestWithParam<PictureFile> {};

} // namespace

TEST_P(Rigid2dScreenshot, IsSavedInTheFormatItsNameAsksFor) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QString::fromLatin1(GetParam().name));
    ProgramRun demo(QStringLiteral(RIGID2D_PATH), {"--steps", "1", "--screenshot", file});
    ASSERT_TRUE(demo.finished(timeoutMs));
    ASSERT_EQ(demo.exitCode(), 0) << demo.standardError().data();
    QFile picture(file);
    ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
    EXPECT_TRUE(picture.readAll().startsWith(GetParam().magic));
    EXPECT_EQ(QImage(file).size(), QSize(1280, 720));
    // Nothing is left beside it.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Formats, Rigid2dScreenshot,
                         ::testing::Values(PictureFile{"shot.png", "\x89PNG"},
                                           PictureFile{"shot.jpg", "\xff\xd8\xff"},
                                           PictureFile{"shot.JPEG", "\xff\xd8\xff"},
                                           PictureFile{"shot", "\x89PNG"}));

// A screenshot saved over another on a full disk fails with one line and exit code 1, and leaves
// the old picture whole, with nothing beside it.
TEST_F(FullFileSystem, AScreenshotSavedOverAnotherLeavesItWholeAndSaysWhy) {
    const QString file = folder.filePath(QStringLiteral("shot.png"));
    const QByteArray old("the picture taken before");
    {
        QFile picture(file);
        ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
        ASSERT_EQ(picture.write(old), old.size());
    }
    fill();
    ProgramRun demo(QStringLiteral(RIGID2D_PATH), {"--steps", "1", "--screenshot", file});
    ASSERT_TRUE(demo.finished(timeoutMs));
    EXPECT_EQ(demo.exitCode(), 1);
    EXPECT_EQ(demo.standardError(), "rigid2d: --screenshot: " + file.toLocal8Bit() +
                                        ": cannot be written: No space left on device\n");
    QFile picture(file);
    ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
    EXPECT_EQ(picture.readAll(), old);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("filler"), QStringLiteral("shot.png")}));
}
