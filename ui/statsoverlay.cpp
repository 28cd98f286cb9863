#include "ui/statsoverlay.h"

#include <utility> // std::move

QStringList qtLines(const std::vector<std::string> &lines) {
    QStringList converted;
    for (const std::string &line : lines)
        converted << QString::fromStdString(line);
    return converted;
}

std::vector<Plot> StatsOverlay::plotsOf(const StepHistory &history, long long step) {
    std::vector<Plot> plots;
    for (OverlayPlot &plot : overlayPlots(history, step))
        plots.push_back({QString::fromStdString(plot.title), std::move(plot.values)});
    return plots;
}

QSize StatsOverlay::room(const OverlayFigures &figures, int fontPixelSize) {
    return TextPanel::room(qtLines(overlayLines(figures)), plotsOf(StepHistory(), 0),
                           fontPixelSize);
}

QRect StatsOverlay::draw(const OverlayFigures &figures, const StepHistory &history,
                         long long totalSteps, QSize pixels, double ratio,
                         const TextPanel::Place &place) {
    plotted = plotsOf(history, totalSteps);
    return panel.draw(qtLines(overlayLines(figures)), pixels, ratio, place, plotted);
}
