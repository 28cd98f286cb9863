#include "ui/statsoverlay.h"

QStringList overlayLines(const OverlayFigures &figures) {
    QStringList lines;
    lines << QStringLiteral("scene %1").arg(QString::fromStdString(figures.scene));
    lines << QStringLiteral("step %1").arg(figures.step);
    lines << (figures.full ? QStringLiteral("bodies %1 (full)") : QStringLiteral("bodies %1"))
                 .arg(figures.bodies);
    lines << QStringLiteral("contacts %1").arg(figures.contacts);
    lines << (figures.meanStepMicroseconds < 0 ? QStringLiteral("step time -")
                                               : QStringLiteral("step time %1 \u00b5s")
                                                     .arg(figures.meanStepMicroseconds, 0, 'f', 1));
    lines << (figures.framesPerSecond > 0
                  ? QStringLiteral("fps %1").arg(figures.framesPerSecond, 0, 'f', 1)
                  : QStringLiteral("fps -"));
    if (figures.nonFinite > 0)
        lines << QStringLiteral("non-finite %1").arg(figures.nonFinite);
    lines << QStringLiteral("solver %1").arg(QString::fromLatin1(figures.solver));
    if (figures.paused)
        lines << QStringLiteral("paused");
    return lines;
}

std::vector<Plot> StatsOverlay::plotsOf(const StepHistory &history, long long step) {
    return {
        {QStringLiteral("step time, \u00b5s"), history.stepMicroseconds(step)},
        {QStringLiteral("kinetic energy"), history.kineticEnergies(step)},
    };
}

QSize StatsOverlay::room(const OverlayFigures &figures, int fontPixelSize) {
    return TextPanel::room(overlayLines(figures), plotsOf(StepHistory(), 0), fontPixelSize);
}

QRect StatsOverlay::draw(const OverlayFigures &figures, const StepHistory &history,
                         long long totalSteps, QSize pixels, double ratio,
                         const TextPanel::Place &place) {
    plotted = plotsOf(history, totalSteps);
    return panel.draw(overlayLines(figures), pixels, ratio, place, plotted);
}
