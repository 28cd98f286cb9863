#pragma once

#include "physics/broadphase.h"
#include "physics/contact.h"
#include "physics/stablesolver.h"

#include <QList>

class BaseEntity;
class EntityArray;

// The physics world: collision detection through a table indexed by body type, and one of two
// contact solvers: the designed single-pass impulse solver with linear position correction, which
// keeps no state between steps other than the contacts of the last step, or the stable solver,
// which also keeps each pair's impulse for the next step.
class World {
public:
    using CollisionRoutine = void (World::*)(BaseEntity *a, BaseEntity *b);

    // How the detection finds the pairs it hands to the collision table. Both give the same
    // contacts in the same order; AllPairs tests every pair and serves as the reference.
    enum class PairSearch { BroadPhase, AllPairs };

    // How the contacts are resolved. Designed: one impulse per contact, then one partial position
    // correction; piles of many circles crush themselves under it. Stable: sequential impulses
    // over sub-steps, warm started from the previous step, overlap pushed out softly (see
    // StableSolver); piles of thousands hold.
    enum class Solver { Designed, Stable };

    explicit World(PairSearch search = PairSearch::BroadPhase, Solver solver = Solver::Designed);
    ~World();
    World(const World &) = delete;
    World &operator=(const World &) = delete;

    // Advances every body by one step: clear, detect, then impulses, integrate, correct with the
    // designed solver, or the stable solver's own step.
    void step(EntityArray &bodies);

    Solver solver() const { return solverKind; }
    // The stable solver's impulses kept for the next step, by pair; empty with the designed one.
    const std::vector<PairImpulse> &warmStart() const { return stableSolver.warmStart(); }
    // Goes on from a state taken between steps: with that solver and the stable solver's impulses
    // as warmStart() gave them then. The last step's contacts are dropped (their bodies may be
    // gone); the broad phase's kept order is only where its next sort starts, so it stays.
    void resume(Solver solver, const std::vector<PairImpulse> &warmStart);

    // Each routine appends at most one contact, at the end of the list; none when the position
    // or velocity of either body is not finite.
    void circleVsCircle(BaseEntity *a, BaseEntity *b);
    void circleVsRect(BaseEntity *c, BaseEntity *r);
    // The circle becomes a of the contact, as with circleVsRect.
    void rectVsCircle(BaseEntity *r, BaseEntity *c);
    // Rectangles never collide with each other.
    void rectVsRect(BaseEntity *, BaseEntity *) {}

    // Row: a->type(), column: b->type().
    CollisionRoutine collisionTable[2][2];
    // The contacts of the last step, owned by the world, in the order of their pairs.
    QList<Contact *> contacts;

private:
    PairSearch pairSearch;
    Solver solverKind;
    BroadPhase broadPhase;
    // For the stable solver: the bodies' indices of each contact, in the list's order.
    std::vector<ContactBodies> contactBodies;
    StableSolver stableSolver;

    void clearContacts();
    void detectContacts(const EntityArray &bodies);
    void detectAllPairs(const EntityArray &bodies);
    void detectBroadPhasePairs(const EntityArray &bodies);
    // The table routine for the pair, in the caller's order.
    void collide(BaseEntity *a, BaseEntity *b);
    // collide() for bodies i < j, noting their indices for the stable solver.
    void collidePair(const EntityArray &bodies, int i, int j);
    void applyImpulses();
    static void integrate(const EntityArray &bodies);
    void correctPositions();
};
