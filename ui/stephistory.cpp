#include "ui/stephistory.h"

#include <algorithm> // std::lower_bound, std::upper_bound
#include <cstddef>   // std::ptrdiff_t

void StepHistory::add(long long step, double stepMicroseconds, double kineticEnergy) {
    figures.erase(std::lower_bound(figures.begin(), figures.end(), step,
                                   [](const Figures &f, long long s) { return f.step < s; }),
                  figures.end());
    if (figures.size() == kept)
        figures.erase(figures.begin(), figures.begin() + static_cast<std::ptrdiff_t>(kept / 2));
    const bool follows = !figures.empty() && figures.back().step == step - 1;
    figures.push_back(Figures{step, stepMicroseconds, kineticEnergy, !follows});
}

template <typename Member>
std::vector<double> StepHistory::plotted(long long step, Member member) const {
    const auto end = std::upper_bound(figures.begin(), figures.end(), step,
                                      [](long long s, const Figures &f) { return s < f.step; });
    if (end == figures.begin() || end[-1].step != step)
        return {};
    auto from = end;
    while (from != figures.begin() && static_cast<std::size_t>(end - from) < length) {
        --from;
        if (from->startsStretch)
            break;
    }
    std::vector<double> values;
    for (auto f = from; f != end; ++f)
        values.push_back((*f).*member);
    return values;
}

std::vector<double> StepHistory::stepMicroseconds(long long step) const {
    return plotted(step, &Figures::stepMicroseconds);
}

std::vector<double> StepHistory::kineticEnergies(long long step) const {
    return plotted(step, &Figures::kineticEnergy);
}
