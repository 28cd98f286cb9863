#include "bench/timedwindow.h"

#include "bench/heapcounter.h"
#include "bench/pilequality.h"
#include "bench/steppedsimulation.h"

#include <benchmark/benchmark.h>

#include <algorithm> // std::sort, std::min
#include <chrono>    // std::chrono::steady_clock
#include <cstdint>   // std::uint64_t
#include <ctime>     // std::clock
#include <vector>    // std::vector

namespace {

using Clock = std::chrono::steady_clock;

double microseconds(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

// The step time of rank q (0 to 1) among the sorted ones: always a time that was measured.
double quantile(const StepTimes &sorted, double q) {
    const auto last = static_cast<double>(sorted.size() - 1);
    return microseconds(sorted[static_cast<std::size_t>(q * last + 0.5)]);
}

} // namespace

void timeSteps(benchmark::State &state, SteppedSimulation &simulation, int steps, int bodies,
               StepTimes &fastestSteps) {
    // The first step finds every body at rest where the scene put it; the window starts after.
    simulation.step();
    StepTimes stepTimes;
    stepTimes.reserve(steps); // before the allocations are counted
    fastestSteps.resize(steps, Clock::duration::max());
    while (state.KeepRunning()) {
        stepTimes.clear();
        long long contacts = 0;
        const std::uint64_t allocationsBefore = heapAllocationCalls();
        const std::clock_t processorStart = std::clock();
        for (int s = 0; s < steps; ++s) {
            // Each step is timed on its own so that counting the contacts stays outside.
            const Clock::time_point start = Clock::now();
            simulation.step();
            stepTimes.push_back(Clock::now() - start);
            contacts += simulation.touchingContacts();
        }
        const std::clock_t processorEnd = std::clock();
        const std::uint64_t allocations = heapAllocationCalls() - allocationsBefore;

        Clock::duration window{};
        Clock::duration fastestTotal{};
        for (int s = 0; s < steps; ++s) {
            window += stepTimes[s];
            fastestSteps[s] = std::min(fastestSteps[s], stepTimes[s]);
            fastestTotal += fastestSteps[s];
        }
        StepTimes sorted = fastestSteps;
        std::sort(sorted.begin(), sorted.end());
        state.SetIterationTime(std::chrono::duration<double>(window).count());
        state.counters["us_median"] = quantile(sorted, 0.5);
        state.counters["us_p99"] = quantile(sorted, 0.99);
        state.counters["us_max"] = microseconds(sorted.back());
        state.counters["us_per_step"] = microseconds(fastestTotal) / steps;
        state.counters["cpu_us_per_step"] =
            static_cast<double>(processorEnd - processorStart) / CLOCKS_PER_SEC * 1e6 / steps;
        state.counters["bodies"] = bodies;
        state.counters["contacts"] = static_cast<double>(contacts) / steps;
        if (heapAllocationsCounted())
            state.counters["allocs_per_step"] = static_cast<double>(allocations) / steps;
        if (const EntityArray *bodies = simulation.bodies()) {
            const PileQuality pile = measurePile(*bodies);
            state.counters["under_floor"] = pile.circlesUnderFloor;
            state.counters["deepest"] = pile.deepestOverlap;
            state.counters["over_3"] = pile.pairsOverLimit;
        }
    }
}
