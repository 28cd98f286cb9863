#pragma once

#include "math/vec2.h"

#include <QList>

#include <vector>

class EntityArray;
struct Contact;

// The array indices of a contact's bodies a and b, in the contact's own order.
struct ContactBodies {
    int a;
    int b;
};

// One pair's accumulated normal impulse at the end of a step, for the next step to start from.
struct PairImpulse {
    int lower;
    int higher;
    float impulse;
};

// Resolves a step's contacts so that tall piles hold: sequential impulses iterated over all the
// contacts, each contact's impulse accumulated and never pulling, started from what the same pair
// needed in the previous step, then overlap removed by a few position passes of limited reach that
// leave the velocities alone. Everything runs in one fixed order in single precision, so the
// results are the same on every compiler and optimisation level.
class StableSolver {
public:
    // Replaces the integration of the bodies for the step: bodiesOf[k] holds the indices of
    // contacts[k]; the contacts come in the order of their pairs, by lower index, then higher.
    void step(const EntityArray &bodies, const QList<Contact *> &contacts,
              const std::vector<ContactBodies> &bodiesOf);

    // The impulses the next step starts from, by pair in ascending order of (lower, higher).
    // Bodies appended to the array do not disturb it: the indices of the others stay.
    const std::vector<PairImpulse> &warmStart() const { return impulses; }
    // Replaces them with impulses as warmStart() gave them; the capacity already held is reused.
    void setWarmStart(const std::vector<PairImpulse> &kept) {
        impulses.assign(kept.begin(), kept.end());
    }

private:
    // A soft contact's response to overlap: the push-out speed per unit of overlap, and how much
    // of a full impulse and of the impulse already applied each pass uses.
    struct Softness {
        float biasRate;
        float massScale;
        float impulseScale;
    };
    struct Row {
        int a;
        int b;
        Vec2 normal;
        float penetration;
        float inverseMassA;
        float inverseMassB;
        // 1 / (inverseMassA + inverseMassB).
        float normalMass;
        // The normal speed at the start of the step, negative when approaching.
        float approach;
        float impulse;
        float maxImpulse;
    };

    static Softness softness(float h);
    void buildRows(const QList<Contact *> &contacts, const std::vector<ContactBodies> &bodiesOf);
    void applyWarmStart();
    void solve(const Softness &soft, float inverseH, bool useBias);
    void applyRestitution();
    void keepImpulses();

    std::vector<Row> rows;
    std::vector<PairImpulse> impulses;
    std::vector<PairImpulse> spareImpulses;
    // By body index.
    std::vector<Vec2> velocities;
    std::vector<Vec2> displacements;
    std::vector<Vec2> kicks;
};
