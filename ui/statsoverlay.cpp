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

void StatsOverlay::draw(const OverlayFigures &figures, const StepHistory &history, QSize pixels,
                        double ratio) {
    const std::vector<Plot> plots = {
        {QStringLiteral("step time, \u00b5s"), history.stepMicroseconds()},
        {QStringLiteral("kinetic energy"), history.kineticEnergies()},
    };
    panel.draw(overlayLines(figures), pixels, ratio, TextPanel::Corner::TopLeft, plots);
}
