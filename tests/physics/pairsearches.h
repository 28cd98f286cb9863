#pragma once

#include "physics/world.h"

#include <gtest/gtest.h>

#include <ostream> // std::ostream
#include <string>  // std::string

// Both ways of finding the pairs must give the same contacts in the same order, hence the same
// numbers: suites whose results depend on detection run with each.

inline const char *nameOf(World::PairSearch search) {
    return search == World::PairSearch::BroadPhase ? "BroadPhase" : "AllPairs";
}

// Found by argument-dependent lookup when a failure prints the parameter.
inline void PrintTo(World::PairSearch search, std::ostream *out) {
    *out << nameOf(search);
}

inline std::string pairSearchName(const ::testing::TestParamInfo<World::PairSearch> &info) {
    return nameOf(info.param);
}

inline auto everyPairSearch() {
    return ::testing::Values(World::PairSearch::BroadPhase, World::PairSearch::AllPairs);
}
