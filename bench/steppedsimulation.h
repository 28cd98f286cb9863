#pragma once

// One engine's copy of a benchmark scene, stepped one frame (1/60 s) at a time.
class SteppedSimulation {
public:
    virtual ~SteppedSimulation() = default;

    virtual void step() = 0;
    // Pairs whose shapes touched in the last step, as the engine counts them.
    virtual int touchingContacts() = 0;
};
