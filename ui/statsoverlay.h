#pragma once

#include "render/textpanel.h"
#include "ui/stephistory.h"

#include <QSize>
#include <QStringList>

#include <string> // std::string

// What the overlay reports, as the world and the window measured it.
struct OverlayFigures {
    // "demo", "grid/1000".
    std::string scene;
    // "designed" or "stable".
    const char *solver = "";
    long long step = 0;
    int bodies = 0;
    bool full = false;
    int contacts = 0;
    // Below 0: no step in the last second.
    double meanStepMicroseconds = -1;
    double framesPerSecond = 0;
    bool paused = false;
    // Bodies whose position or velocity left the finite numbers, and with them the simulation.
    int nonFinite = 0;
};

// The overlay's text, one line each.
QStringList overlayLines(const OverlayFigures &figures);

// The statistics in the window's top-left corner; hidden until toggled.
class StatsOverlay {
public:
    bool shown() const { return isShown; }
    void toggle() { isShown = !isShown; }

    // Draws the figures, and plots of the steps' history, over the current context's
    // framebuffer, pixels in size at ratio device pixels to each logical pixel.
    void draw(const OverlayFigures &figures, const StepHistory &history, QSize pixels,
              double ratio);

private:
    bool isShown = false;
    TextPanel panel;
};
