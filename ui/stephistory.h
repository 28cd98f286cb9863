#pragma once

#include <cstddef> // std::size_t
#include <vector>  // std::vector

// The figures of the steps the overlay plots: each step's time and the kinetic energy after it,
// by step, taken only while the overlay is shown, so they cost nothing otherwise. The plots at a
// step are those of the steps up to it, as they were when the run first reached it: going back
// leaves them as they were, and a step taken again replaces its figures and every later one.
// Steps that follow one another form a stretch, plotted on its own: a step that does not follow
// the last one kept (the overlay was hidden meanwhile) starts a new one.
class StepHistory {
public:
    // Steps plotted.
    static constexpr std::size_t length = 300;
    // Steps kept to go back to: an hour at 60 steps a second, 7 MB.
    static constexpr std::size_t kept = 216000;

    void add(long long step, double stepMicroseconds, double kineticEnergy);
    // Forgets every step: the state shown has another past (a saved state was loaded).
    void clear() { figures.clear(); }
    // The last length figures of the stretch that ends at step, oldest first; none when step
    // has no figures.
    std::vector<double> stepMicroseconds(long long step) const;
    std::vector<double> kineticEnergies(long long step) const;

private:
    struct Figures {
        long long step;
        double stepMicroseconds;
        double kineticEnergy;
        bool startsStretch;
    };
    template <typename Member> std::vector<double> plotted(long long step, Member member) const;

    // By step, ascending.
    std::vector<Figures> figures;
};
