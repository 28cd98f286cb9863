#include "cli/sceneoptions.h"

#include <QCommandLineParser>

#include <gtest/gtest.h>

// Every program reads its scene the same way: the demo by default, --bodies alone the demo's
// layout with another count, each scene with its own solver unless one is chosen; a bad value is
// one line naming the option and what it accepts.
TEST(SceneOptions, TheSceneOrOneLineSayingWhatIsWrong) {
    const struct {
        QStringList arguments;
        Scene scene;
        const char *error;
    } cases[] = {
        {{}, Scene{SceneKind::Demo, 100, World::Solver::Designed}, ""},
        {{"--bodies", "7"}, Scene{SceneKind::Column, 7, World::Solver::Stable}, ""},
        {{"--scene", "grid"}, Scene{SceneKind::Grid, 100, World::Solver::Stable}, ""},
        {{"--scene", "grid", "--solver", "designed"},
         Scene{SceneKind::Grid, 100, World::Solver::Designed},
         ""},
        {{"--scene", "pile"}, Scene(), "--scene: expects demo, column or grid, not \"pile\""},
        {{"--solver", "fast"}, Scene(), "--solver: expects designed or stable, not \"fast\""},
        {{"--bodies", "100001"},
         Scene(),
         "--bodies: expects a whole number from 0 to 100000, not \"100001\""},
        {{"--scene", "demo", "--bodies", "50"},
         Scene(),
         "--bodies: the demo scene has exactly 100 circles; use --scene column or grid for 50"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QCommandLineParser parser;
        addSceneOptions(parser);
        ASSERT_TRUE(parser.parse(QStringList{QStringLiteral("program")} + c.arguments));
        QString error;
        const std::optional<Scene> scene = readSceneOptions(parser, error);
        EXPECT_EQ(error, QString::fromLatin1(c.error));
        if (*c.error)
            continue;
        ASSERT_TRUE(scene);
        EXPECT_EQ(scene->kind, c.scene.kind);
        EXPECT_EQ(scene->circles, c.scene.circles);
        EXPECT_EQ(scene->solver, c.scene.solver);
    }
}
