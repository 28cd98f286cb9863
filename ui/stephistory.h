#pragma once

#include <cstddef> // std::size_t
#include <vector>  // std::vector

// The figures of the last steps the overlay plots: each step's time and the kinetic energy after
// it. Kept only while the overlay is shown, so it costs nothing otherwise.
class StepHistory {
public:
    static constexpr std::size_t length = 300;

    void add(double stepMicroseconds, double kineticEnergy);
    void clear();
    // Oldest first.
    std::vector<double> stepMicroseconds() const { return inOrder(stepTimes); }
    std::vector<double> kineticEnergies() const { return inOrder(energies); }

private:
    std::vector<double> inOrder(const std::vector<double> &ring) const;

    std::vector<double> stepTimes;
    std::vector<double> energies;
    // Where the next figure goes once the ring is full.
    std::size_t next = 0;
};
