// The radix sorter must order doubles of any sign and magnitude as < does (-0 before +0), keep
// equal keys in their order, and do so on both of its paths: a few keys and many.

#include "physics/radixsorter.h"

#include <gtest/gtest.h>

#include <algorithm> // std::stable_sort
#include <cmath>     // std::ldexp, std::signbit
#include <limits>    // std::numeric_limits
#include <random>    // std::mt19937
#include <vector>    // std::vector

TEST(RadixSorter, OrdersSignsMagnitudesAndTiesLikeTheValues) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (const std::size_t count : {12, 40000}) {
        std::vector<double> values = {0.0,    -0.0,      1e300,
                                      -1e300, -4.9e-324, std::numeric_limits<double>::infinity()};
        while (values.size() < count) {
            values.push_back(std::ldexp(unit(random), static_cast<int>(random() % 2000) - 1000));
            values.push_back(values[random() % values.size()]); // ties
        }
        std::vector<RadixSorter::Key> keys;
        std::vector<int> expected;
        for (std::size_t k = 0; k < values.size(); ++k) {
            keys.push_back({RadixSorter::orderedBits(values[k]), static_cast<int>(k)});
            expected.push_back(static_cast<int>(k));
        }
        RadixSorter().sort(keys);
        std::stable_sort(expected.begin(), expected.end(), [&values](int p, int q) {
            return values[p] < values[q] || (std::signbit(values[p]) > std::signbit(values[q]));
        });
        for (std::size_t k = 0; k < keys.size(); ++k)
            ASSERT_EQ(keys[k].place, expected[k]) << "rank " << k << " of " << keys.size();
    }
}
