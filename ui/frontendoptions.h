#pragma once

// How a front end starts. With nothing set: the designed demo's window, running, one step per
// frame.
struct FrontEndOptions {
    // Whether the solver was chosen, which scene switches then keep.
    bool solverChosen = false;
    bool paused = false;
    // The statistics overlay shown.
    bool overlay = false;
    // The contacts, bounds and velocities drawn.
    bool layers = false;
    // Steps per second of wall-clock time; 0 for one step per displayed frame.
    double rate = 0;
};
