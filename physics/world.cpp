#include "physics/world.h"

#include "core/entityarray.h"
#include "physics/shapes.h"

#include <utility> // std::swap

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
// keep the heavier damping, which holds the tallest grids still.
constexpr StableTuning revision1{0.2f, 10.0f, 0.0f, false, 10.0f, 0.05f};
constexpr StableTuning revision2{1.0f, 100.0f, 0.25f, true, 100.0f, 0.05f};
constexpr StableTuning revision3{1.0f, 100.0f, 0.25f, true, 10.0f, 0.0f};

const StableTuning &tuningOf(World::Solver solver) {
    switch (solver) {
    case World::Solver::StableRevision1:
        return revision1;
    case World::Solver::StableRevision2:
        return revision2;
    case World::Solver::Designed:
    case World::Solver::Stable:
        break;
    }
    return revision3;
}

} // namespace

World::World(PairSearch search, Solver solver)
    : pairSearch(search), solverKind(solver), stableSolver(tuningOf(solver)) {}

void World::step(EntityArray &bodies) {
    clearContacts();
    reaches = solverKind == Solver::Designed ? nullptr : stableSolver.reaches(bodies);
    detectContacts(bodies);
    chosenSolver().step(bodies, contacts, stepSettings);
}

void World::resume(Solver solver, const std::vector<PairImpulse> &warmStart) {
    solverKind = solver;
    clearContacts();
    stableSolver.retune(tuningOf(solver));
    stableSolver.setWarmStart(warmStart);
}

// clear() keeps the storage: a steady state allocates nothing.
void World::clearContacts() {
    contacts.clear();
    records.clear();
}

void World::detectContacts(const EntityArray &bodies) {
    if (pairSearch == PairSearch::AllPairs)
        detectAllPairs(bodies);
    else
        detectBroadPhasePairs(bodies);
    listContacts();
}

// Every pair once, by lower index first, then by higher: this fixes the order of the contacts.
void World::detectAllPairs(const EntityArray &bodies) {
    for (int i = 0; i < bodies.size(); ++i) {
        for (int j = i + 1; j < bodies.size(); ++j)
            collidePair(bodies, i, j);
    }
}

// Only the pairs that can touch, in the same order: the same contacts as detectAllPairs.
void World::detectBroadPhasePairs(const EntityArray &bodies) {
    broadPhase.findPairs(bodies, reaches);
    const std::vector<int> &partners = broadPhase.partners();
    for (int i = 0; i < bodies.size(); ++i) {
        for (int k = broadPhase.partnersBegin(i); k < broadPhase.partnersEnd(i); ++k)
            collidePair(bodies, i, partners[k]);
    }
}

void World::collidePair(const EntityArray &bodies, int i, int j) {
    const float reach =
        reaches ? (*reaches)[static_cast<std::size_t>(i)] + (*reaches)[static_cast<std::size_t>(j)]
                : 0.0f;
    const Collision found = collide(*bodies[i], *bodies[j], reach);
    if (found.reversed)
        std::swap(i, j);
    const Manifold &m = found.manifold;
    for (int k = 0; k < m.pointCount; ++k) {
        const ManifoldPoint &p = m.points[k];
        records.push_back(
            Contact{p.penetration, m.normal, bodies[i], bodies[j], i, j, p.anchorA, p.featureId});
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
