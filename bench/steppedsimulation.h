#pragma once

class EntityArray;

// One engine's copy of a benchmark scene, stepped one frame (1/60 s) at a time.
class SteppedSimulation {
public:
    virtual ~SteppedSimulation() = default;

    virtual void step() = 0;
    // Pairs whose shapes touched in the last step, as the engine counts them.
    virtual int touchingContacts() = 0;
    // rigid2d's bodies, whose pile is measured at the end of the window; null for the peers.
    virtual const EntityArray *bodies() { return nullptr; }
};
