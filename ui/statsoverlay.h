#pragma once

#include "render/textpanel.h"
#include "ui/overlaylines.h"
#include "ui/stephistory.h"

#include <QRect>
#include <QSize>

#include <vector> // std::vector

// The statistics in the window's top-left corner: the overlay's lines and plots, drawn.
class StatsOverlay {
public:
    // The most room the figures and the plots take at a font size (see TextPanel::room).
    static QSize room(const OverlayFigures &figures, int fontPixelSize);
    // Draws the figures, and plots of the history up to the session's step totalSteps, over the
    // current context's framebuffer (see TextPanel::draw); returns the area covered.
    QRect draw(const OverlayFigures &figures, const StepHistory &history, long long totalSteps,
               QSize pixels, double ratio, const TextPanel::Place &place);
    // The plots as last drawn.
    const std::vector<Plot> &plots() const { return plotted; }

private:
    TextPanel panel;
    std::vector<Plot> plotted = plotsOf(StepHistory(), 0);

    static std::vector<Plot> plotsOf(const StepHistory &history, long long step);
};

// Lines in UTF-8, as QtGui draws them.
QStringList qtLines(const std::vector<std::string> &lines);
