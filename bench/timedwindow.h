#pragma once

namespace benchmark {
class State;
}
class SteppedSimulation;

// Takes one untimed step, then times the next `steps` steps and reports them as counters:
// us_per_step, the main figure, in wall-clock time; cpu_us_per_step, the processor time of the
// whole window (contact counting included), steadier on a machine busy with other work; bodies;
// contacts, the mean touching pairs per step; and, where the build counts them, allocs_per_step,
// the heap allocations per step by any code. Run with Iterations(1) and UseManualTime(): the
// benchmark's own time is then the whole window.
void timeSteps(benchmark::State &state, SteppedSimulation &simulation, int steps, int bodies);
