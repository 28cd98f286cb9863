#include "cli/sceneoptions.h"

#include <QCommandLineParser>

#include <gtest/gtest.h>

// Each scene with its own solver unless one is chosen; a bad value is one line naming the option
// and what it accepts, from the scene and solver tables.
TEST(SceneOptions, TheSceneOrOneLineSayingWhatIsWrong) {
    const struct {
        QStringList arguments;
        Scene scene;
        const char *error;
    } cases[] = {
        {{"--scene", "grid"}, Scene{SceneKind::Grid, 100, World::Solver::Stable}, ""},
        {{"--bodies", "7", "--solver", "designed"},
         Scene{SceneKind::Column, 7, World::Solver::Designed},
         ""},
        {{"--scene", "pile"},
         Scene(),
         "--scene: expects demo, column, grid, pyramid, stack or mix, not \"pile\""},
        {{"--solver", "fast"}, Scene(), "--solver: expects designed or stable, not \"fast\""},
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
