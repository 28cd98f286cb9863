#include "physics/world.h"

#include "core/entityarray.h"
#include "physics/shapes.h"

#include <algorithm> // std::sort
#include <utility>   // std::swap

namespace {

// Each revision of the stable solver, as files name it.
//
// Revision 1 pushes overlap out at 0.2 units per step at most, with contacts as springs ten times
// critically damped, found only where the shapes touch. It holds grids up to about 5000 circles;
// beyond, the bottom rows cannot carry the weight and sink into each other.
//
// Revision 2 looks ahead: a moving body's contacts are found a quarter unit before it touches,
// plus the distance its speed covers in a step, so that falling rows stop on the rows below
// instead of landing in them; what overlap is left is pushed out at up to 1 unit per step, enough
// to hold the weight of hundreds of rows, and the contacts are damped a hundred times critically
// so that the push-out does not ring through the pile. Measured on grids of 1000 to 32000 circles
// and columns of 1000 and 10000 after 3000 steps.
//
// Revision 3 leaves no overlap alone and damps the contacts that turn their bodies ten times
// critically. With a slop, a resting contact switches between counting as apart (the bodies may
// close the gap, nothing pushes) and the spring from one sub-step to the next, and a pyramid of
// boxes slides sideways on itself: its top moved 8.5 units in 500 steps under revision 2, 0.1
// under this one. A hundred times critically, the springs of boxes resting on boxes give way
// unevenly: the pyramid's deepest overlap was 3.8 % of a box, 0.3 % now. Circles without friction
// keep the heavier damping, which holds the tallest grids still. Bodies at rest fall asleep under
// it and cost nothing until something touches them (see SleepingBodies).
//
// Revision 4 lets a contact without friction that turns a body resist the turning with its normal
// impulse over a quarter unit. A box dropped on the frictionless circles of a grid came to rest
// in a groove between two of them and rocked there for ever, half a radian either way, the
// contacts' directions found at the start of each step feeding the rocking, and its pile never
// fell asleep again. Contacts with friction and those of circles alone are as in revision 3, so
// the pyramid, the stack, the mix and the circle scenes keep their bits.
constexpr StableTuning revision1{0.2f, 10.0f, 0.0f, false, 10.0f, 0.05f, false};
constexpr StableTuning revision2{1.0f, 100.0f, 0.25f, true, 100.0f, 0.05f, false};
constexpr StableTuning revision3{1.0f, 100.0f, 0.25f, true, 10.0f, 0.0f, true};
constexpr StableTuning revision4{1.0f, 100.0f, 0.25f, true, 10.0f, 0.0f, true, 0.25f};

const StableTuning &tuningOf(World::Solver solver) {
    switch (solver) {
    case World::Solver::StableRevision1:
        return revision1;
    case World::Solver::StableRevision2:
        return revision2;
    case World::Solver::StableRevision3:
        return revision3;
    case World::Solver::Designed:
    case World::Solver::Stable:
        break;
    }
    return revision4;
}

bool pairBefore(const BodyPair &x, const BodyPair &y) {
    return x.lower < y.lower || (x.lower == y.lower && x.higher < y.higher);
}

} // namespace

World::World(PairSearch search, Solver solver)
    : pairSearch(search), solverKind(solver), stableSolver(tuningOf(solver)) {}

World::~World() = default;

void World::setSettings(const StepSettings &settings) {
    if (settings.gravity.x != stepSettings.gravity.x ||
        settings.gravity.y != stepSettings.gravity.y) {
        sleeping.wakeAll();
        stableSolver.wakeUp({});
    }
    stepSettings = settings;
}

bool World::sleepsWith(Solver solver) {
    return solver != Solver::Designed && tuningOf(solver).sleeps;
}

void World::sleepRecords(std::vector<BodySleep> &out) const {
    if (sleeps())
        sleeping.records(out);
    else
        out.clear();
}

int World::awakeCount(const EntityArray &bodies) const {
    return sleeps() ? static_cast<int>(sleeping.awakeBodies().size()) : bodies.size();
}

void World::wake(int i) {
    sleeping.wake(i);
    stableSolver.wakeUp(sleeping.asleepFlags());
}

void World::step(EntityArray &bodies) {
    if (sleeps()) {
        stepWithSleep(bodies);
        return;
    }
    clearContacts();
    reaches = solverKind == Solver::Designed ? nullptr : stableSolver.reaches(bodies);
    detectContacts(bodies);
    chosenSolver().step(bodies, contacts, stepSettings);
}

void World::resume(Solver solver, const std::vector<PairImpulse> &warmStart,
                   const std::vector<BodySleep> &sleep) {
    solverKind = solver;
    clearContacts();
    stableSolver.retune(tuningOf(solver));
    sleeping.setRecords(sleeps() ? sleep : std::vector<BodySleep>());
    stableSolver.setWarmStart(warmStart, sleeping.asleepFlags());
}

// Detection and solving go over the awake bodies alone. A contact found between an awake body and
// a sleeping one wakes the sleeper's island, whose bodies then find their own contacts: the
// detection runs again until it wakes no more.
void World::stepWithSleep(EntityArray &bodies) {
    sleeping.fit(bodies, stepSettings.gravity);
    for (;;) {
        refreshAwake(bodies);
        clearContacts();
        if (pairSearch == PairSearch::AllPairs)
            detectAllPairs(bodies);
        else
            detectAwakePairs(bodies);
        listContacts();
        if (!sleeping.wakeTouched(contacts))
            break;
        stableSolver.wakeUp(sleeping.asleepFlags());
        sleeping.fit(bodies, stepSettings.gravity);
    }
    stableSolver.stepBodies(bodies, contacts, stepSettings, sleeping.awakeBodies());
    if (sleeping.update(
            bodies, contacts, [this](int i) { return stableSolver.displacement(i); },
            [this](int i) { return stableSolver.turned(i); })) {
        stableSolver.putToSleep(sleeping.asleepFlags());
        sleeping.fit(bodies, stepSettings.gravity);
    }
}

void World::refreshAwake(const EntityArray &bodies) {
    const std::size_t count = static_cast<std::size_t>(bodies.size());
    bodyReaches.resize(count);
    contactKinds.resize(count);
    const bool changed = sleeping.takeChange();
    const std::vector<int> &resting = sleeping.restingBodies();
    if (changed) {
        for (const int i : resting) {
            bodyReaches[static_cast<std::size_t>(i)] = stableSolver.reachOf(*bodies[i]);
            contactKinds[static_cast<std::size_t>(i)] = contactKind(*bodies[i]);
        }
    }
    // Each awake body's kind and bounds once, for its pairs with the awake bodies and with those
    // at rest alike.
    const std::vector<int> &awake = sleeping.awakeBodies();
    awakeBoxes.resize(awake.size());
    for (std::size_t k = 0; k < awake.size(); ++k) {
        const BaseEntity &body = *bodies[awake[k]];
        const int kind = body.type();
        const float reach = stableSolver.reachOf(body, kind);
        bodyReaches[static_cast<std::size_t>(awake[k])] = reach;
        contactKinds[static_cast<std::size_t>(awake[k])] = contactKind(body, kind);
        if (pairSearch == PairSearch::BroadPhase)
            setPairingBox(awakeBoxes[k], body, kind, reach);
    }
    reaches = &bodyReaches;
    if (pairSearch == PairSearch::BroadPhase && changed)
        restingIndex.rebuild(bodies, resting, bodyReaches);
}

// The awake bodies' pairs among themselves from their own broad phase (by their places in the
// awake list, which keeps the bodies' order), and with the bodies at rest from the index of those,
// sorted, taken together in the order of detectAllPairs: no pair is in both.
void World::detectAwakePairs(const EntityArray &bodies) {
    const std::vector<int> &awake = sleeping.awakeBodies();
    if (awake.empty())
        return;
    awakePhase.findPairs(awakeBoxes, bodies.maxSize());
    restingPairs.clear();
    restingIndex.pairsOf(awakeBoxes, awake, restingPairs);
    std::sort(restingPairs.begin(), restingPairs.end(), pairBefore);
    const std::vector<int> &partners = awakePhase.partners();
    auto resting = restingPairs.cbegin();
    for (int v = 0; v < static_cast<int>(awake.size()); ++v) {
        const int i = awake[static_cast<std::size_t>(v)];
        for (int k = awakePhase.partnersBegin(v); k < awakePhase.partnersEnd(v); ++k) {
            const BodyPair pair{i, awake[static_cast<std::size_t>(partners[k])]};
            for (; resting != restingPairs.cend() && pairBefore(*resting, pair); ++resting)
                collidePair(bodies, resting->lower, resting->higher);
            collidePair(bodies, pair.lower, pair.higher);
        }
    }
    for (; resting != restingPairs.cend(); ++resting)
        collidePair(bodies, resting->lower, resting->higher);
}

// clear() keeps the storage: a steady state allocates nothing.
void World::clearContacts() {
    contacts.clear();
    records.clear();
}

void World::detectContacts(const EntityArray &bodies) {
    contactKinds.resize(static_cast<std::size_t>(bodies.size()));
    for (int i = 0; i < bodies.size(); ++i)
        contactKinds[static_cast<std::size_t>(i)] = contactKind(*bodies[i]);
    if (pairSearch == PairSearch::AllPairs)
        detectAllPairs(bodies);
    else
        detectBroadPhasePairs(bodies);
    listContacts();
}

// Every pair once, by lower index first, then by higher: this fixes the order of the contacts.
// When bodies sleep, pairs of two bodies at rest are left out.
void World::detectAllPairs(const EntityArray &bodies) {
    const bool sleepy = sleeps();
    for (int i = 0; i < bodies.size(); ++i) {
        for (int j = i + 1; j < bodies.size(); ++j) {
            if (!sleepy || sleeping.isAwake(i) || sleeping.isAwake(j))
                collidePair(bodies, i, j);
        }
    }
}

// Only the pairs that can touch, in the same order: the same contacts as detectAllPairs.
void World::detectBroadPhasePairs(const EntityArray &bodies) {
    setPairingBoxes(pairingBoxes, bodies, reaches);
    broadPhase.findPairs(pairingBoxes, bodies.maxSize());
    const std::vector<int> &partners = broadPhase.partners();
    for (int i = 0; i < bodies.size(); ++i) {
        for (int k = broadPhase.partnersBegin(i); k < broadPhase.partnersEnd(i); ++k)
            collidePair(bodies, i, partners[k]);
    }
}

[[gnu::always_inline]] inline void World::collidePair(const EntityArray &bodies, int i, int j) {
    const float reach =
        reaches ? (*reaches)[static_cast<std::size_t>(i)] + (*reaches)[static_cast<std::size_t>(j)]
                : 0.0f;
    bool reversed = false;
    const Manifold m =
        collideKinds(*bodies[i], contactKinds[static_cast<std::size_t>(i)], *bodies[j],
                     contactKinds[static_cast<std::size_t>(j)], reach, reversed);
    if (reversed)
        std::swap(i, j);
    // Each record filled where it is kept: one made aside and copied in whole would be read back
    // from stores of other sizes, which the processor cannot forward, at every contact.
    for (int k = 0; k < m.pointCount; ++k) {
        const ManifoldPoint &p = m.points[k];
        Contact &c = records.emplace_back();
        c.penetration = p.penetration;
        c.normal = m.normal;
        c.a = bodies[i];
        c.b = bodies[j];
        c.indexA = i;
        c.indexB = j;
        c.anchorA = p.anchorA;
        c.featureId = p.featureId;
    }
}

// Once every record is in place, so that none moves while the list points to it.
void World::listContacts() {
    for (Contact &c : records)
        contacts.push_back(&c);
}

ContactSolver &World::chosenSolver() {
    if (solverKind != Solver::Designed)
        return stableSolver;
    return designedSolver;
}
