#include "ui/controls.h"

#include <gtest/gtest.h>

// The help lists the scene keys, written from the scene table, right after the solver's key.
TEST(Controls, TheHelpListsTheSceneKeysOfTheSceneTable) {
    const QStringList help = controlsHelp();
    const int solverLine = help.indexOf(QStringLiteral("S  the other solver, from step 0"));
    ASSERT_GE(solverLine, 0);
    EXPECT_EQ(help.value(solverLine + 1), QStringLiteral("1 2 3  the demo, column or grid scene"));
}
