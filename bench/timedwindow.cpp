#include "bench/timedwindow.h"

#include "bench/heapcounter.h"
#include "bench/steppedsimulation.h"

#include <benchmark/benchmark.h>

#include <chrono>  // std::chrono::steady_clock
#include <cstdint> // std::uint64_t
#include <ctime>   // std::clock

void timeSteps(benchmark::State &state, SteppedSimulation &simulation, int steps, int bodies) {
    using Clock = std::chrono::steady_clock;
    // The first step finds every body at rest where the scene put it; the window starts after.
    simulation.step();
    while (state.KeepRunning()) {
        Clock::duration stepping{};
        long long contacts = 0;
        const std::uint64_t allocationsBefore = heapAllocationCalls();
        const std::clock_t processorStart = std::clock();
        for (int s = 0; s < steps; ++s) {
            // Each step is timed on its own so that counting the contacts stays outside.
            const Clock::time_point start = Clock::now();
            simulation.step();
            stepping += Clock::now() - start;
            contacts += simulation.touchingContacts();
        }
        const std::clock_t processorEnd = std::clock();
        const std::uint64_t allocations = heapAllocationCalls() - allocationsBefore;

        const double seconds = std::chrono::duration<double>(stepping).count();
        state.SetIterationTime(seconds);
        state.counters["us_per_step"] = seconds * 1e6 / steps;
        state.counters["cpu_us_per_step"] =
            static_cast<double>(processorEnd - processorStart) / CLOCKS_PER_SEC * 1e6 / steps;
        state.counters["bodies"] = bodies;
        state.counters["contacts"] = static_cast<double>(contacts) / steps;
        if (heapAllocationsCounted())
            state.counters["allocs_per_step"] = static_cast<double>(allocations) / steps;
    }
}
