#pragma once

#include <cstddef> // std::size_t
#include <vector>

// An order for a sequential pass over rows, each of which reads and writes two bodies, that gives
// every body the same rows in the same sequence as the rows' own order, and so the same bits,
// while putting rows that share no body next to one another. A row's level is one more than the
// highest level of the rows before it that share a body with it; the order takes the rows level
// by level, each level in the rows' own order. The rows of one level share no body, so a
// processor can work on several of them at once instead of waiting for each to finish before the
// next begins.
//
// A body the rows never change (one that cannot move, whose velocity they leave to the bit) ties
// no rows together.
class LevelOrder {
public:
    // bodiesOf(k, a, b) sets row k's two bodies (indices below bodyCount); changes(i) tells
    // whether the rows change body i.
    template <typename BodiesOf, typename Changes>
    void build(int rowCount, int bodyCount, BodiesOf bodiesOf, Changes changes);

    // The rows, level by level: order()[n] is the row to take n-th. Level l, counting from 1,
    // holds order()[levelEnd(l - 1), levelEnd(l)).
    const std::vector<int> &order() const { return rowOrder; }
    int levelCount() const { return static_cast<int>(levelEnds.size()) - 1; }
    int levelEnd(int level) const { return levelEnds[static_cast<std::size_t>(level)]; }

private:
    void sortByLevel(int rowCount);

    std::vector<int> lastLevel; // by body: the level of its last row so far, 0 for none
    std::vector<int> levelOf;   // by row, from 1
    std::vector<int> levelEnds; // by level, from 0 (no row is of level 0)
    std::vector<int> rowOrder;
};

template <typename BodiesOf, typename Changes>
void LevelOrder::build(int rowCount, int bodyCount, BodiesOf bodiesOf, Changes changes) {
    if (lastLevel.size() < static_cast<std::size_t>(bodyCount))
        lastLevel.resize(static_cast<std::size_t>(bodyCount), 0);
    levelOf.resize(static_cast<std::size_t>(rowCount));
    for (int k = 0; k < rowCount; ++k) {
        int a = 0;
        int b = 0;
        bodiesOf(k, a, b);
        const bool tiesA = changes(a);
        const bool tiesB = changes(b);
        int level = 0;
        if (tiesA && lastLevel[static_cast<std::size_t>(a)] > level)
            level = lastLevel[static_cast<std::size_t>(a)];
        if (tiesB && lastLevel[static_cast<std::size_t>(b)] > level)
            level = lastLevel[static_cast<std::size_t>(b)];
        ++level;
        levelOf[static_cast<std::size_t>(k)] = level;
        if (tiesA)
            lastLevel[static_cast<std::size_t>(a)] = level;
        if (tiesB)
            lastLevel[static_cast<std::size_t>(b)] = level;
    }
    // Only the bodies of the rows were touched: leave every entry 0 for the next build.
    for (int k = 0; k < rowCount; ++k) {
        int a = 0;
        int b = 0;
        bodiesOf(k, a, b);
        lastLevel[static_cast<std::size_t>(a)] = 0;
        lastLevel[static_cast<std::size_t>(b)] = 0;
    }
    sortByLevel(rowCount);
}
