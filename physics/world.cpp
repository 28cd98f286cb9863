#include "physics/world.h"

#include "core/entityarray.h"
#include "physics/shapes.h"

#include <utility> // std::swap

World::World(PairSearch search, Solver solver) : pairSearch(search), solverKind(solver) {}

void World::step(EntityArray &bodies) {
    clearContacts();
    detectContacts(bodies);
    chosenSolver().step(bodies, contacts, stepSettings);
}

void World::resume(Solver solver, const std::vector<PairImpulse> &warmStart) {
    solverKind = solver;
    clearContacts();
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
    broadPhase.findPairs(bodies);
    const std::vector<int> &partners = broadPhase.partners();
    for (int i = 0; i < bodies.size(); ++i) {
        for (int k = broadPhase.partnersBegin(i); k < broadPhase.partnersEnd(i); ++k)
            collidePair(bodies, i, partners[k]);
    }
}

void World::collidePair(const EntityArray &bodies, int i, int j) {
    const Collision found = collide(*bodies[i], *bodies[j]);
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
    if (solverKind == Solver::Stable)
        return stableSolver;
    return designedSolver;
}
