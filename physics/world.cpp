#include "physics/world.h"

#include "core/entityarray.h"
#include "physics/circle.h"
#include "physics/finitebodies.h"
#include "physics/rectangle.h"

#include <algorithm> // std::max
#include <utility>   // std::as_const

namespace {

// -(1 + e) for a restitution e of 0.8, the same for every pair.
constexpr float impulseFactor = -1.8f;
// Overlap left uncorrected, so resting contacts do not jitter.
constexpr float correctionSlop = 0.01f;
// Share of the remaining overlap removed per step.
constexpr float correctionFraction = 0.7f;

float clampToHalf(float d, float half) {
    if (d > half)
        return half;
    if (-half > d)
        return -half;
    return d;
}

// n.normalized(), kept a unit vector when n is so short that its squared length is subnormal and
// length() has lost precision: scaling by a power of two first is exact.
Vec2 direction(Vec2 n, float length) {
    constexpr float tiny = 0x1p-60f;
    return length < tiny ? (n * 0x1p64f).normalized() : n.normalized();
}

// The contact of a circle whose centre lies inside a rectangle (or on its boundary), d being the
// centre's offset from the rectangle's centre: the circle leaves through the nearest face. As for
// every circle-rectangle contact the normal points from the circle toward the rectangle, and the
// penetration is the radius plus the centre's depth behind that face. Ties go to the first face
// in the order left, right, bottom, top.
Contact *faceContact(Circle *circle, RectAngle *rect, Vec2 d, Vec2 half) {
    const float depths[] = {half.x + d.x, half.x - d.x, half.y + d.y, half.y - d.y};
    const Vec2 normals[] = {Vec2(1, 0), Vec2(-1, 0), Vec2(0, 1), Vec2(0, -1)};
    int nearest = 0;
    for (int face = 1; face < 4; ++face) {
        if (depths[face] < depths[nearest])
            nearest = face;
    }
    return new Contact{circle->radius + depths[nearest], normals[nearest], circle, rect};
}

bool bothFinite(const BaseEntity *a, const BaseEntity *b) {
    return isFiniteBody(*a) && isFiniteBody(*b);
}

} // namespace

World::World(PairSearch search, Solver solver)
    : collisionTable{{&World::circleVsCircle, &World::circleVsRect},
                     {&World::rectVsCircle, &World::rectVsRect}},
      pairSearch(search), solverKind(solver) {}

World::~World() {
    qDeleteAll(contacts);
}

void World::step(EntityArray &bodies) {
    clearContacts();
    detectContacts(bodies);
    if (solverKind == Solver::Stable) {
        stableSolver.step(bodies, contacts, contactBodies);
        return;
    }
    applyImpulses();
    integrate(bodies);
    correctPositions();
}

void World::resume(Solver solver, const std::vector<PairImpulse> &warmStart) {
    solverKind = solver;
    clearContacts();
    stableSolver.setWarmStart(warmStart);
}

void World::clearContacts() {
    qDeleteAll(contacts);
    // Unlike clear(), erase keeps the list's storage: a steady state allocates only the contacts.
    contacts.erase(contacts.begin(), contacts.end());
    contactBodies.clear();
}

void World::collide(BaseEntity *a, BaseEntity *b) {
    (this->*collisionTable[a->type()][b->type()])(a, b);
}

void World::collidePair(const EntityArray &bodies, int i, int j) {
    BaseEntity *a = bodies[i];
    const int found = contacts.size();
    collide(a, bodies[j]);
    if (solverKind == Solver::Stable && contacts.size() != found)
        contactBodies.push_back(contacts.last()->a == a ? ContactBodies{i, j}
                                                        : ContactBodies{j, i});
}

void World::detectContacts(const EntityArray &bodies) {
    if (pairSearch == PairSearch::AllPairs)
        detectAllPairs(bodies);
    else
        detectBroadPhasePairs(bodies);
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

// One sequential pass: each contact sees the velocities left by the contacts before it. A contact
// whose body has left the finite numbers since it was found (an impulse that overflowed) is
// passed over, here and in the correction, so the overflow goes no further.
void World::applyImpulses() {
    for (Contact *c : std::as_const(contacts)) {
        if (!bothFinite(c->a, c->b))
            continue;
        const float inverseMassSum = c->a->inverseMass + c->b->inverseMass;
        if (inverseMassSum == 0)
            continue; // neither body can move
        const Vec2 rv = c->b->velocity - c->a->velocity;
        const float vn = c->normal.dot(rv);
        if (vn > 0)
            continue; // already separating
        const float magnitude = (vn * impulseFactor) / inverseMassSum;
        const Vec2 impulse = c->normal * magnitude;
        c->a->applyImpulse(-impulse);
        c->b->applyImpulse(impulse);
    }
}

// Position moves with the velocity the impulses left, before this step's gravity and force.
void World::integrate(const EntityArray &bodies) {
    for (int i = 0; i < bodies.size(); ++i) {
        BaseEntity *body = bodies[i];
        body->position += body->velocity;
        body->velocity += Vec2(body->force.x, body->force.y - body->gravityScale * body->mass);
    }
}

// Uses the normals and depths found before integration, including contacts whose impulse was
// skipped.
void World::correctPositions() {
    for (Contact *c : std::as_const(contacts)) {
        if (!bothFinite(c->a, c->b))
            continue;
        const float inverseMassSum = c->a->inverseMass + c->b->inverseMass;
        if (inverseMassSum == 0)
            continue;
        const float k = std::max(c->penetration - correctionSlop, 0.0f) / inverseMassSum;
        const Vec2 correction = (c->normal * correctionFraction) * k;
        c->a->position -= correction * c->a->inverseMass;
        c->b->position += correction * c->b->inverseMass;
    }
}

// A body whose position or velocity is not finite makes no contact (see isFiniteBody); the tests
// are also written so that a NaN anywhere fails them.
void World::circleVsCircle(BaseEntity *a, BaseEntity *b) {
    if (!bothFinite(a, b))
        return;
    const Vec2 d = b->position - a->position;
    const float r = static_cast<Circle *>(a)->radius + static_cast<Circle *>(b)->radius;
    const float length = d.length();
    if (!(length <= r))
        return; // touching circles (length == r) do make a contact
    // Coincident centres (or a separation whose length rounds to 0) have no direction of their
    // own: push b straight up and a straight down.
    const Vec2 normal = length == 0 ? Vec2(0, 1) : direction(d, length);
    contacts.append(new Contact{r - length, normal, a, b});
}

void World::circleVsRect(BaseEntity *c, BaseEntity *r) {
    if (!bothFinite(c, r))
        return;
    auto *circle = static_cast<Circle *>(c);
    auto *rect = static_cast<RectAngle *>(r);
    const float width = static_cast<float>(rect->width);
    const float height = static_cast<float>(rect->height);
    const Vec2 min = r->position;
    const Vec2 max(r->position.x + width, r->position.y + height);
    const Vec2 half(width * 0.5f, height * 0.5f);
    const Vec2 centre((min.x + max.x) * 0.5f, (min.y + max.y) * 0.5f);
    const Vec2 d = c->position - centre;
    const Vec2 clamped(clampToHalf(d.x, half.x), clampToHalf(d.y, half.y));
    const Vec2 closest = centre + clamped;
    const Vec2 n = closest - c->position;
    // With the centre inside the rectangle or on its boundary, n is nothing but rounding noise
    // (often exactly zero) and has no usable direction.
    const bool insideOrOnEdge = (clamped.x == d.x || n.x == 0) && (clamped.y == d.y || n.y == 0);
    const float dist = n.length();
    if (insideOrOnEdge || dist == 0) {
        contacts.append(faceContact(circle, rect, d, half));
        return;
    }
    if (!(circle->radius > dist))
        return; // touching is not a contact here
    contacts.append(new Contact{circle->radius - dist, direction(n, dist), c, r});
}

void World::rectVsCircle(BaseEntity *r, BaseEntity *c) {
    circleVsRect(c, r);
}
