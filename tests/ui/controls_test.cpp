#include "ui/controls.h"

#include <gtest/gtest.h>

#include <algorithm> // std::find
#include <string>    // std::string
#include <vector>    // std::vector

// The help lists the scene keys, written from the scene table, right after the solver's key.
TEST(Controls, TheHelpListsTheSceneKeysOfTheSceneTable) {
    const std::vector<std::string> help = controlsHelp();
    const auto solverLine =
        std::find(help.begin(), help.end(), "S  the other solver, from here on");
    ASSERT_NE(solverLine, help.end());
    ASSERT_NE(solverLine + 1, help.end());
    EXPECT_EQ(*(solverLine + 1), "1-6  demo, column, grid, pyramid, stack or mix");
}
