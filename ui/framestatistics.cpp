#include "ui/framestatistics.h"

namespace {

constexpr long long period = 1000000000; // one second, in nanoseconds

} // namespace

void FrameStatistics::stepTaken(long long durationNs) {
    ++steps;
    stepNs += durationNs;
}

void FrameStatistics::frameShown(long long nowNs) {
    if (!started) {
        started = true;
        periodStartNs = nowNs;
        steps = 0;
        stepNs = 0;
        return;
    }
    ++frames;
    const long long elapsed = nowNs - periodStartNs;
    if (elapsed < period) {
        // After a second without steps (paused), the steps of this one so far stand for it.
        if (meanStepUs < 0 && steps > 0)
            meanStepUs = meanOfSteps();
        return;
    }
    fps = frames * 1e9 / static_cast<double>(elapsed);
    meanStepUs = steps > 0 ? meanOfSteps() : -1;
    periodStartNs = nowNs;
    frames = 0;
    steps = 0;
    stepNs = 0;
}

double FrameStatistics::meanOfSteps() const {
    return static_cast<double>(stepNs) / steps / 1000;
}
