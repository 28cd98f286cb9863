#include "ui/controls.h"

#include <gtest/gtest.h>

#include <algorithm> // std::find
#include <fstream>   // std::ifstream
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

// The README's table of keys names the keys the help names, in the same order: a key added,
// renamed or dropped on one side only shows here.
TEST(Controls, TheReadmeTableNamesTheKeysOfTheHelp) {
    std::ifstream readme(RIGID2D_README);
    ASSERT_TRUE(readme) << RIGID2D_README;
    std::string line;
    while (std::getline(readme, line) && line != "| key or button | what it does |") {
    }
    std::getline(readme, line); // the rule under the header
    std::vector<std::string> tableKeys;
    while (std::getline(readme, line) && line.rfind("| ", 0) == 0)
        tableKeys.push_back(line.substr(2, line.find(" | ", 2) - 2));
    std::vector<std::string> helpKeys;
    for (const std::string &help : controlsHelp())
        helpKeys.push_back(help.substr(0, help.find("  ")));
    EXPECT_EQ(tableKeys, helpKeys);
}
