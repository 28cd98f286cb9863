// The level order a pass over the stable solver's rows takes: every body meets its rows in the
// rows' own order (so the bits stay those of the rows taken one by one), the rows of a level share
// no body the rows change, and a body they cannot change ties no rows together.

#include "physics/levelorder.h"

#include <gtest/gtest.h>

#include <string>  // std::string
#include <utility> // std::pair
#include <vector>

namespace {

struct LevelCase {
    const char *name;
    std::vector<std::pair<int, int>> rows;
    std::vector<int> unchanged; // bodies the rows cannot change
    std::vector<int> order;
    int levels;
};

class LevelOrderCases : public ::testing::TestWithParam<LevelCase> {};

// Built twice with the same object: what one build leaves behind must not bind the next.
TEST_P(LevelOrderCases, KeepsEachBodysOrderAndTakesIndependentRowsTogether) {
    const LevelCase &c = GetParam();
    LevelOrder levels;
    for (int build = 0; build < 2; ++build) {
        levels.build(
            static_cast<int>(c.rows.size()), 10,
            [&c](int k, int &a, int &b) {
                a = c.rows[static_cast<std::size_t>(k)].first;
                b = c.rows[static_cast<std::size_t>(k)].second;
            },
            [&c](int i) {
                for (const int u : c.unchanged)
                    if (u == i)
                        return false;
                return true;
            });
        EXPECT_EQ(levels.order(), c.order) << "build " << build;
        EXPECT_EQ(levels.levelCount(), c.levels) << "build " << build;
        EXPECT_EQ(levels.levelEnd(c.levels), static_cast<int>(c.rows.size()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LevelOrderCases,
    ::testing::Values(LevelCase{"Chain", {{0, 1}, {1, 2}, {2, 3}}, {}, {0, 1, 2}, 3},
                      LevelCase{"Apart", {{0, 1}, {2, 3}, {4, 5}}, {}, {0, 1, 2}, 1},
                      LevelCase{
                          "Interleaved", {{0, 1}, {0, 2}, {3, 4}, {1, 3}}, {}, {0, 2, 1, 3}, 2},
                      LevelCase{"OnAWall", {{0, 9}, {9, 1}, {0, 1}}, {9}, {0, 1, 2}, 2},
                      LevelCase{"OnAMovingBody", {{0, 9}, {9, 1}, {0, 1}}, {}, {0, 1, 2}, 3}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
