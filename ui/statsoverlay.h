#pragma once

#include "render/textpanel.h"
#include "ui/stephistory.h"

#include <QRect>
#include <QSize>
#include <QStringList>

#include <string> // std::string
#include <vector> // std::vector

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

    // The most room the figures and the plots take at a font size (see TextPanel::room).
    static QSize room(const OverlayFigures &figures, int fontPixelSize);
    // Draws the figures, and plots of the history up to the session's step totalSteps, over the
    // current context's framebuffer (see TextPanel::draw); returns the area covered.
    QRect draw(const OverlayFigures &figures, const StepHistory &history, long long totalSteps,
               QSize pixels, double ratio, const TextPanel::Place &place);
    // The plots as last drawn.
    const std::vector<Plot> &plots() const { return plotted; }

private:
    bool isShown = false;
    TextPanel panel;
    std::vector<Plot> plotted = plotsOf(StepHistory(), 0);

    static std::vector<Plot> plotsOf(const StepHistory &history, long long step);
};
