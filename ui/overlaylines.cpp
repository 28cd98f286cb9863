#include "ui/overlaylines.h"

#include <iomanip> // std::setprecision
#include <locale>  // std::locale
#include <sstream> // std::ostringstream

namespace {

// With one decimal, in every locale: 12.5.
std::string oneDecimal(double value) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::fixed << std::setprecision(1) << value;
    return text.str();
}

// As few digits as show it, in every locale: 0.25, 30, -1.
std::string shortNumber(float value) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::setprecision(4) << static_cast<double>(value);
    return text.str();
}

} // namespace

std::vector<std::string> overlayLines(const OverlayFigures &figures) {
    std::vector<std::string> lines;
    lines.push_back("scene " + figures.scene);
    lines.push_back("step " + std::to_string(figures.step));
    lines.push_back("bodies " + std::to_string(figures.bodies) + (figures.full ? " (full)" : "") +
                    (figures.awake >= 0 ? ", awake " + std::to_string(figures.awake) : ""));
    lines.push_back("contacts " + std::to_string(figures.contacts));
    lines.push_back(figures.meanStepMicroseconds < 0
                        ? "step time -"
                        : "step time " + oneDecimal(figures.meanStepMicroseconds) + " \u00b5s");
    if (figures.medianStepMicroseconds >= 0)
        lines.push_back("median step " + oneDecimal(figures.medianStepMicroseconds) +
                        " \u00b5s of " + std::to_string(figures.medianSteps));
    lines.push_back(figures.framesPerSecond > 0 ? "fps " + oneDecimal(figures.framesPerSecond)
                                                : "fps -");
    if (figures.nonFinite > 0)
        lines.push_back("non-finite " + std::to_string(figures.nonFinite));
    lines.push_back(std::string("solver ") + figures.solver);
    if (!sameSettings(figures.settings, SandboxSettings())) {
        const SandboxSettings &s = figures.settings;
        lines.push_back("gravity " + shortNumber(s.step.gravity.x) + " " +
                        shortNumber(s.step.gravity.y) + ", restitution " +
                        shortNumber(s.step.restitution));
        lines.push_back("drop " + shortNumber(s.dropRadius) + " / " + shortNumber(s.dropMass) +
                        ", speed " + shortNumber(s.slowMotion));
    }
    if (figures.paused)
        lines.push_back("paused");
    return lines;
}

std::vector<OverlayPlot> overlayPlots(const StepHistory &history, long long totalSteps) {
    return {{"step time, \u00b5s", history.stepMicroseconds(totalSteps)},
            {"kinetic energy", history.kineticEnergies(totalSteps)}};
}
