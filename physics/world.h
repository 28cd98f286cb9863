#pragma once

#include "physics/broadphase.h"
#include "physics/contact.h"
#include "physics/designedsolver.h"
#include "physics/keptpairs.h"
#include "physics/restingindex.h"
#include "physics/sleepingbodies.h"
#include "physics/stablesolver.h"

#include <vector>

class EntityArray;

// The physics world: collision detection through the shapes' collision table (see shapes.h), and
// one of two contact solvers: the designed single-pass impulse solver with linear position
// correction, which keeps no state between steps other than the contacts of the last step, or the
// stable solver, which also keeps each pair's impulse for the next step.
class World {
public:
    // How the detection finds the pairs it hands to the collision table. Both give the same
    // contacts in the same order; AllPairs tests every pair and serves as the reference.
    enum class PairSearch { BroadPhase, AllPairs };

    // How the contacts are resolved. Designed: one impulse per contact, then one partial position
    // correction; piles of many circles crush themselves under it. Stable: sequential impulses
    // over sub-steps, warm started from the previous step, overlap pushed out softly (see
    // StableSolver); piles of thousands hold, and bodies at rest fall asleep. Stable is its newest
    // revision; the earlier ones are kept for the files made with them.
    enum class Solver { Designed, Stable, StableRevision1, StableRevision2, StableRevision3 };

    explicit World(PairSearch search = PairSearch::BroadPhase, Solver solver = Solver::Designed);
    ~World();
    // The contacts point into the world's own storage.
    World(const World &) = delete;
    World &operator=(const World &) = delete;

    // Advances every body by one step: clear, detect, then the chosen solver's step.
    void step(EntityArray &bodies);

    Solver solver() const { return solverKind; }
    // Every step from now on uses these. A change of gravity wakes every body.
    void setSettings(const StepSettings &settings);
    const StepSettings &settings() const { return stepSettings; }
    // The stable solver's impulses kept for the next step, by pair, those of sleeping bodies
    // included; empty with the designed one.
    const std::vector<PairImpulse> &warmStart() const { return stableSolver.warmStart(); }
    // Goes on from a state taken between steps: with that solver, the stable solver's impulses
    // as warmStart() gave them then and the bodies' sleep as sleepRecords() gave it. The last
    // step's contacts are dropped (their bodies may be gone); the broad phase's kept order is only
    // where its next sort starts, so it stays.
    void resume(Solver solver, const std::vector<PairImpulse> &warmStart,
                const std::vector<BodySleep> &sleep = {});

    // Whether bodies at rest fall asleep under that solver: the stable solver from its revision 3
    // on.
    static bool sleepsWith(Solver solver);
    bool sleeps() const { return sleepingAllowed && sleepsWith(solverKind); }
    // Turns sleeping off (or back on) for a world whose bodies must all be stepped, as benchmarks
    // that compare every step's full cost with engines that do not sleep; given before the first
    // step. On by default.
    void allowSleeping(bool allowed) { sleepingAllowed = allowed; }
    bool isAsleep(int i) const { return sleeps() && sleeping.isAsleep(i); }
    // The bodies asleep or at rest, ascending; none when no body sleeps.
    void sleepRecords(std::vector<BodySleep> &out) const;
    // The bodies the last step moved: every one, or, when bodies sleep, the awake ones.
    int awakeCount(const EntityArray &bodies) const;
    // Wakes body i and its island, for an input that moves it between steps (a grab) or takes it
    // out.
    void wake(int i);

    // The contacts of the last step, in the order of their pairs. The records are the world's,
    // kept in storage it reuses from step to step: in a steady state a step allocates nothing.
    ContactList contacts;

private:
    PairSearch pairSearch;
    Solver solverKind;
    bool sleepingAllowed = true;
    StepSettings stepSettings;
    KeptPairs broadPhase;
    // Each body's pairing box this step, for the broad phase.
    std::vector<PairingBox> pairingBoxes;
    // The records contacts points into.
    std::vector<Contact> records;
    DesignedSolver designedSolver;
    StableSolver stableSolver;

    void clearContacts();
    void detectContacts(const EntityArray &bodies);
    void stepWithSleep(EntityArray &bodies);
    // The awake bodies' reaches, and what is kept of the bodies at rest when they change.
    void refreshAwake(const EntityArray &bodies);
    void detectAwakePairs(const EntityArray &bodies);
    void detectAllPairs(const EntityArray &bodies);
    void detectBroadPhasePairs(const EntityArray &bodies);
    // The collision table's contact of bodies i and j, its points appended to the records.
    void collidePair(const EntityArray &bodies, int i, int j);
    // This step's reach of each body beyond touching, nullptr for none (see StableTuning).
    const std::vector<float> *reaches = nullptr;
    // This step's contactKind() of each body, by index: asked once a step of each awake body, and
    // of the bodies at rest when they change, which nothing moves meanwhile.
    std::vector<int> contactKinds;
    void listContacts();
    ContactSolver &chosenSolver();

    SleepingBodies sleeping;
    RestingIndex restingIndex;
    // A broad phase of the awake bodies alone, which it takes by their places in the awake list,
    // and their boxes by those places.
    BroadPhase awakePhase;
    std::vector<PairingBox> awakeBoxes;
    std::vector<float> bodyReaches;
    std::vector<BodyPair> restingPairs;
};
