#include "ui/stephistory.h"

void StepHistory::add(double stepMicroseconds, double kineticEnergy) {
    if (stepTimes.size() < length) {
        stepTimes.push_back(stepMicroseconds);
        energies.push_back(kineticEnergy);
        return;
    }
    stepTimes[next] = stepMicroseconds;
    energies[next] = kineticEnergy;
    next = (next + 1) % length;
}

void StepHistory::clear() {
    stepTimes.clear();
    energies.clear();
    next = 0;
}

std::vector<double> StepHistory::inOrder(const std::vector<double> &ring) const {
    std::vector<double> values(ring.begin() + static_cast<long>(next), ring.end());
    values.insert(values.end(), ring.begin(), ring.begin() + static_cast<long>(next));
    return values;
}
