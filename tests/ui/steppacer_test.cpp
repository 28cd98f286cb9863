#include "ui/steppacer.h"

#include <gtest/gtest.h>

namespace {

constexpr long long ms = 1000000; // nanoseconds

} // namespace

TEST(StepPacer, KeepsWallClockRateAcrossFramesOfAnyLength) {
    StepPacer pacer(100); // one step each 10 ms
    EXPECT_EQ(pacer.stepsForFrame(0), 0);
    long long steps = 0;
    for (long long t = 16 * ms; t <= 1600 * ms; t += 16 * ms)
        steps += pacer.stepsForFrame(t);
    EXPECT_EQ(steps, 160);
}

TEST(StepPacer, ASlowFrameTakesAHandfulOfStepsAndOwesNothingAfterward) {
    StepPacer pacer(1000);
    pacer.stepsForFrame(0);
    EXPECT_EQ(pacer.stepsForFrame(500 * ms), StepPacer::maxStepsPerFrame);
    EXPECT_EQ(pacer.stepsForFrame(502 * ms), 2);

    // Time spent paused is not owed either.
    pacer.restart(10000 * ms);
    EXPECT_EQ(pacer.stepsForFrame(10003 * ms), 3);
}
