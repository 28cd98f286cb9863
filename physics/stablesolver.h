#pragma once

#include "math/vec2.h"
#include "physics/contactsolver.h"

#include <vector>

// One pair's accumulated normal impulse at the end of a step, which the same pair starts from in
// the next step.
struct PairImpulse {
    int lower;
    int higher;
    float impulse;
};

// Resolves a step's contacts so that tall piles hold. The step is cut into sub-steps; in each,
// gravity is added, every contact's impulse is re-applied from where it was left, one pass of
// sequential impulses treats the contacts as stiff, heavily damped springs that push overlapping
// bodies apart no faster than a set speed, the bodies move, and a second pass takes the push-out
// speed back out of the velocities so that it moves the bodies without launching them. Each
// contact's impulse is accumulated and never pulls. Bounces are added at the end, from the
// approach speed at the start of the step, and only above a threshold, so that resting contacts
// stay at rest. Everything runs in single precision in one fixed order.
class StableSolver : public ContactSolver {
public:
    void step(const EntityArray &bodies, const ContactList &contacts,
              const StepSettings &settings) override;

    // The impulses the next step starts from, by pair in ascending order of (lower, higher).
    // Bodies appended to the array leave it valid: the indices of the others do not change.
    const std::vector<PairImpulse> &warmStart() const { return impulses; }
    // Replaces them with impulses as warmStart() gave them; the capacity already held is reused.
    void setWarmStart(const std::vector<PairImpulse> &kept) {
        impulses.assign(kept.begin(), kept.end());
    }

private:
    struct Row {
        int a;
        int b;
        Vec2 normal;
        // At detection, before anything of this step moved.
        float penetration;
        float inverseMassA;
        float inverseMassB;
        // 1 / (inverseMassA + inverseMassB).
        float normalMass;
        // The normal speed at the start of the step, negative when approaching.
        float approach;
        float impulse;
        // The largest accumulated impulse of the step: a contact that never pushed does not
        // bounce.
        float maxImpulse;
    };

    void buildRows(const ContactList &contacts);
    void applyWarmStart();
    // One pass over the contacts: with useBias, overlap is pushed out softly; without, the
    // contacts only stop approach, and the push-out speed of the pass before is taken back.
    template <bool useBias> void solve();
    void applyRestitution(float restitution);
    void keepImpulses();

    std::vector<Row> rows;
    std::vector<PairImpulse> impulses;
    std::vector<PairImpulse> spareImpulses;
    // By body index, for the step being solved.
    std::vector<Vec2> velocities;
    std::vector<Vec2> displacements;
    std::vector<Vec2> kicks;
    std::vector<float> inverseMasses;
};
