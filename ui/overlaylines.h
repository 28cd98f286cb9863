#pragma once

#include "scenes/sandboxsettings.h"
#include "ui/stephistory.h"

#include <string> // std::string
#include <vector> // std::vector

// What the overlay reports, as the world and the front end measured it.
struct OverlayFigures {
    // "demo", "grid/1000".
    std::string scene;
    // "designed" or "stable".
    const char *solver = "";
    long long step = 0;
    int bodies = 0;
    // The bodies the last step moved, when bodies sleep; below 0 when none can.
    int awake = -1;
    bool full = false;
    int contacts = 0;
    // Below 0: no step in the last second.
    double meanStepMicroseconds = -1;
    // The median of the last medianSteps steps (see StepMedian), shown when at or above 0.
    double medianStepMicroseconds = -1;
    int medianSteps = 0;
    double framesPerSecond = 0;
    bool paused = false;
    // Bodies whose position or velocity left the finite numbers, and with them the simulation.
    int nonFinite = 0;
    // Listed when they are not the designed ones.
    SandboxSettings settings;
};

// The overlay's text, one line each, in UTF-8.
std::vector<std::string> overlayLines(const OverlayFigures &figures);

// A plot of the overlay: the last values of a figure, oldest first.
struct OverlayPlot {
    // In UTF-8.
    std::string title;
    std::vector<double> values;
};

// The overlay's plots of the steps' history up to the session's step totalSteps: the step time,
// then the kinetic energy.
std::vector<OverlayPlot> overlayPlots(const StepHistory &history, long long totalSteps);
