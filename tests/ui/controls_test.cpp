#include "ui/controls.h"

#include <gtest/gtest.h>

#include <Qt>

// The digit keys follow the rows of the scene table, and the help says so in one line.
TEST(Controls, TheSceneKeysAreTheRowsOfTheSceneTable) {
    const struct {
        int key;
        std::optional<SceneKind> scene;
    } cases[] = {
        {Qt::Key_1, SceneKind::Demo},   {Qt::Key_2, SceneKind::Column},
        {Qt::Key_3, SceneKind::Grid},   {Qt::Key_4, std::nullopt},
        {Qt::Key_0, std::nullopt},      {Qt::Key_S, std::nullopt},
        {Qt::Key_Exclam, std::nullopt}, {-1, std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(sceneForKey(c.key), c.scene);
    }
    const QStringList help = controlsHelp();
    const int solverLine = help.indexOf(QStringLiteral("S  the other solver, from step 0"));
    ASSERT_GE(solverLine, 0);
    EXPECT_EQ(help.value(solverLine + 1), QStringLiteral("1 2 3  the demo, column or grid scene"));
}
