#include "ui/stepmedian.h"

#include <gtest/gtest.h>

#include <vector> // std::vector

// The median the page shows: none before a step, the middle time (the upper one of an even count),
// and only the last 2000 steps, so a slow start is forgotten.
TEST(StepMedian, IsTheMiddleOfTheLastStepsTimes) {
    const struct {
        const char *what;
        std::vector<long long> nanoseconds;
        double microseconds;
    } cases[] = {
        {"no step", {}, -1},
        {"an odd count", {9000, 1000, 5000}, 5},
        {"an even count", {4000, 1000, 3000, 2000}, 3},
        {"a slow step among quick ones", {1500, 1500, 900000, 1500, 1500}, 1.5},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        StepMedian median;
        for (const long long ns : c.nanoseconds)
            median.add(ns);
        EXPECT_EQ(median.microseconds(), c.microseconds);
        EXPECT_EQ(median.steps(), c.nanoseconds.size());
    }
}

TEST(StepMedian, ForgetsStepsBeforeTheLast2000) {
    StepMedian median;
    for (int i = 0; i < 1500; ++i)
        median.add(1000000);
    for (int i = 0; i < 2000; ++i)
        median.add(2000);
    EXPECT_EQ(median.steps(), StepMedian::length);
    EXPECT_EQ(median.microseconds(), 2);
}
