#include "physics/levelorder.h"

// A counting sort on the level, stable, so that each level keeps the rows' own order.
void LevelOrder::sortByLevel(int rowCount) {
    int levels = 0;
    for (const int level : levelOf)
        levels = level > levels ? level : levels;
    // A level holds a row at least: room for as many levels as rows keeps a steady state from
    // allocating as the levels come and go.
    levelEnds.reserve(static_cast<std::size_t>(rowCount) + 1);
    levelEnds.assign(static_cast<std::size_t>(levels) + 1, 0);
    for (const int level : levelOf)
        ++levelEnds[static_cast<std::size_t>(level)];
    // Each entry becomes where its level begins, and placing the level's rows moves it to where
    // the level ends.
    int total = 0;
    for (int &entry : levelEnds) {
        const int size = entry;
        entry = total;
        total += size;
    }
    rowOrder.resize(static_cast<std::size_t>(rowCount));
    for (int k = 0; k < rowCount; ++k)
        rowOrder[static_cast<std::size_t>(
            levelEnds[static_cast<std::size_t>(levelOf[static_cast<std::size_t>(k)])]++)] = k;
}
