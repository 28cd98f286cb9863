#include "ui/framestatistics.h"

#include <gtest/gtest.h>

namespace {

constexpr long long ms = 1000000; // nanoseconds

} // namespace

// After a pause the overlay shows the step time as soon as a step has been taken, not "-" for
// the rest of the second.
TEST(FrameStatistics, TheFirstStepsAfterAPauseGiveTheMeanAtOnce) {
    FrameStatistics statistics;
    statistics.frameShown(0);
    // Two whole seconds of frames without a step: the second one ends at 2 016 ms.
    for (long long t = 16; t <= 2016; t += 16)
        statistics.frameShown(t * ms);
    EXPECT_LT(statistics.meanStepMicroseconds(), 0);

    statistics.stepTaken(3000);
    statistics.stepTaken(5000);
    statistics.frameShown(2032 * ms);
    EXPECT_EQ(statistics.meanStepMicroseconds(), 4.0);
}
