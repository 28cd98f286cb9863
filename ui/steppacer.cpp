#include "ui/steppacer.h"

#include <cmath> // std::floor

void StepPacer::restart(long long nowNs) {
    started = true;
    startNs = nowNs;
    stepsCounted = 0;
}

int StepPacer::stepsForFrame(long long nowNs) {
    if (!started)
        restart(nowNs);
    const double seconds = static_cast<double>(nowNs - startNs) * 1e-9;
    const auto due = static_cast<long long>(std::floor(seconds * rate));
    const long long owed = due - stepsCounted;
    if (owed <= 0)
        return 0;
    stepsCounted = due; // what is not taken now is dropped
    return owed > maxStepsPerFrame ? maxStepsPerFrame : static_cast<int>(owed);
}
