#pragma once

#include <chrono> // std::chrono::steady_clock
#include <vector> // std::vector

namespace benchmark {
class State;
}
class SteppedSimulation;

// Each step's least time over the runs of one benchmark so far, by step.
using StepTimes = std::vector<std::chrono::steady_clock::duration>;

// Takes one untimed step, then times the next `steps` steps, each on its own, and reports them as
// counters: us_median, us_p99, us_max and us_per_step, the median, 99th percentile, slowest and
// mean step, in wall-clock time; cpu_us_per_step, the processor time of the whole window (contact
// counting included); bodies; contacts, the mean touching pairs per step; and, where the build
// counts them, allocs_per_step, the heap allocations per step by any code; for rigid2d, the pile at
// the window's end: under_floor (circles), deepest (overlap, units) and over_3 (pairs overlapping
// by more than 3 units). The four step figures
// are taken from fastestSteps, which keeps each step's least time over the repetitions: the same
// step does the same work in every run, so what is left of a slow step is its own cost, not a
// moment the machine gave to another process. Run with Iterations(1) and UseManualTime(): the
// benchmark's own time is then the whole window of this run.
void timeSteps(benchmark::State &state, SteppedSimulation &simulation, int steps, int bodies,
               StepTimes &fastestSteps);
