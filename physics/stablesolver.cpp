#include "physics/stablesolver.h"

#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "physics/bodypair.h"

#include <algorithm> // std::max, std::min
#include <cmath>     // std::isfinite, std::sqrt
#include <utility>   // std::swap

namespace {

// Chosen by measurement on the grid scenes of 1000 to 10000 circles. Fewer sub-steps let the
// bottom of a column of hundreds of circles sink; more cost time and gain nothing.
constexpr int substeps = 4;
constexpr float substep = 0.25f;       // 1 / substeps, exact
constexpr float inverseSubstep = 4.0f; // substeps
// Approach speeds (units per step) below this do not bounce: a resting circle gains 0.02 per
// step from gravity, a settling one a few times that.
constexpr float restitutionThreshold = 0.5f;
// Overlap left alone, so touching bodies do not jitter.
constexpr float slop = 0.05f;
// The fastest a contact pushes overlapping bodies apart, units per step. Faster push-out through
// a long column adds up to launch its top; slower cannot hold a column of 600 circles up.
constexpr float maxPushOut = 0.2f;

// The contacts as springs of one cycle per step, ten times critically damped: the soft
// constraint's push-out rate per unit of overlap, the share of a full impulse each pass applies,
// and the share of the accumulated impulse each pass lets go. Fixed by the constants above;
// evaluated once, in single precision, in this order.
struct Softness {
    float biasRate;
    float massScale;
    float impulseScale;
};

Softness contactSoftness() {
    const float omega = 6.2831855f; // 2 pi, one cycle per step
    const float dampingRatio = 10.0f;
    const float a1 = 2.0f * dampingRatio + substep * omega;
    const float a2 = substep * omega * a1;
    const float a3 = 1.0f / (1.0f + a2);
    return Softness{omega / a1, a2 * a3, a3};
}

const Softness softness = contactSoftness();

bool pairBefore(const PairImpulse &p, BodyPair pair) {
    return p.lower < pair.lower || (p.lower == pair.lower && p.higher < pair.higher);
}

bool samePair(const PairImpulse &p, BodyPair pair) {
    return p.lower == pair.lower && p.higher == pair.higher;
}

} // namespace

void StableSolver::step(const EntityArray &bodies, const ContactList &contacts,
                        const StepSettings &settings) {
    const std::size_t count = static_cast<std::size_t>(bodies.size());
    velocities.resize(count);
    displacements.assign(count, Vec2(0, 0));
    kicks.resize(count);
    inverseMasses.resize(count);
    spins.resize(count);
    turns.assign(count, 0.0f);
    inverseInertias.resize(count);
    frictions.resize(count);
    round.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const BaseEntity *body = bodies[static_cast<int>(i)];
        velocities[i] = body->velocity;
        kicks[i] = body->velocityChangePerStep(settings.gravity) * substep;
        inverseMasses[i] = body->inverseMass;
        spins[i] = body->angularVelocity;
        inverseInertias[i] = body->inverseInertia;
        frictions[i] = body->friction;
        round[i] = body->type() == BodyType::Circle;
    }
    buildRows(contacts);
    for (int s = 0; s < substeps; ++s) {
        for (std::size_t i = 0; i < count; ++i)
            velocities[i] += kicks[i];
        applyWarmStart();
        solve<true>();
        for (std::size_t i = 0; i < count; ++i) {
            displacements[i] += velocities[i] * substep;
            turns[i] += spins[i] * substep;
        }
        solve<false>();
    }
    applyRestitution(settings.restitution);
    keepImpulses();
    for (std::size_t i = 0; i < count; ++i) {
        BaseEntity *body = bodies[static_cast<int>(i)];
        body->position += displacements[i];
        body->velocity = velocities[i];
        body->angularVelocity = spins[i];
        // A body that did not turn keeps its rotation to the bit.
        if (turns[i] != 0)
            body->rotation = body->rotation.turned(turns[i]);
    }
}

// Rows in the contacts' order, each starting from its pair's impulse of the previous step: both
// lists are sorted by pair, so one merge finds them.
void StableSolver::buildRows(const ContactList &contacts) {
    rows.clear();
    std::size_t cached = 0;
    for (const Contact *c : contacts) {
        const std::size_t a = static_cast<std::size_t>(c->indexA);
        const std::size_t b = static_cast<std::size_t>(c->indexB);
        const float inverseMassSum = inverseMasses[a] + inverseMasses[b];
        if (inverseMassSum == 0)
            continue; // neither body can move
        const BodyPair pair = bodyPair(c->indexA, c->indexB);
        while (cached < impulses.size() && pairBefore(impulses[cached], pair))
            ++cached;
        // The same point of the pair: one of its (at most two) points of the step before.
        std::size_t kept = cached;
        while (kept < impulses.size() && samePair(impulses[kept], pair) &&
               impulses[kept].featureId != c->featureId)
            ++kept;
        const bool found = kept < impulses.size() && samePair(impulses[kept], pair);
        Row r{c->indexA,
              c->indexB,
              c->normal,
              c->penetration,
              inverseMasses[a],
              inverseMasses[b],
              1.0f / inverseMassSum,
              0.0f,
              found ? impulses[kept].impulse : 0.0f,
              0.0f,
              c->featureId,
              false,
              Vec2(),
              Vec2(),
              0.0f,
              0.0f,
              0.0f,
              0.0f,
              0.0f,
              0.0f,
              0.0f,
              0.0f,
              found ? impulses[kept].tangentImpulse : 0.0f};
        r = turningRow(r, *c);
        r.approach = r.normal.dot(relativeVelocity(r));
        rows.push_back(r);
    }
}

// A circle's every contact pushes along a line through its centre; its lever is 0 exactly rather
// than the rounding noise of cross(anchor, normal), so a circle without friction never turns. A
// body that cannot turn (a wall) has no lever either: a point with neither friction nor a lever
// takes the linear path alone, to the bit as it did before bodies could turn.
StableSolver::Row StableSolver::turningRow(Row r, const Contact &c) const {
    const std::size_t a = static_cast<std::size_t>(r.a);
    const std::size_t b = static_cast<std::size_t>(r.b);
    const float fa = frictions[a];
    const float fb = frictions[b];
    r.friction = fa > 0 && fb > 0 ? std::sqrt(fa * fb) : 0.0f;
    r.anchorA = c.anchorA;
    r.anchorB = c.anchorA + (c.a->position - c.b->position);
    const bool leverA = !round[a] && inverseInertias[a] != 0;
    const bool leverB = !round[b] && inverseInertias[b] != 0;
    r.normalLeverA = leverA ? cross(r.anchorA, r.normal) : 0.0f;
    r.normalLeverB = leverB ? cross(r.anchorB, r.normal) : 0.0f;
    r.turning = r.friction > 0 || r.normalLeverA != 0 || r.normalLeverB != 0;
    if (!r.turning) {
        r.tangentImpulse = 0;
        return r;
    }
    r.inverseInertiaA = inverseInertias[a];
    r.inverseInertiaB = inverseInertias[b];
    const float angularMass = r.inverseInertiaA * r.normalLeverA * r.normalLeverA +
                              r.inverseInertiaB * r.normalLeverB * r.normalLeverB;
    r.normalMass = 1.0f / (r.inverseMassA + r.inverseMassB + angularMass);
    const Vec2 tangent(r.normal.y, -r.normal.x);
    r.tangentLeverA = cross(r.anchorA, tangent);
    r.tangentLeverB = cross(r.anchorB, tangent);
    const float tangentAngularMass = r.inverseInertiaA * r.tangentLeverA * r.tangentLeverA +
                                     r.inverseInertiaB * r.tangentLeverB * r.tangentLeverB;
    r.tangentMass = 1.0f / (r.inverseMassA + r.inverseMassB + tangentAngularMass);
    if (r.friction == 0)
        r.tangentImpulse = 0;
    return r;
}

Vec2 StableSolver::relativeVelocity(const Row &r) const {
    const std::size_t a = static_cast<std::size_t>(r.a);
    const std::size_t b = static_cast<std::size_t>(r.b);
    if (!r.turning)
        return velocities[b] - velocities[a];
    return (velocities[b] + cross(spins[b], r.anchorB)) -
           (velocities[a] + cross(spins[a], r.anchorA));
}

// p on the bodies' velocities, and on their spins the turning impulses turnA and turnB (the
// impulse's moment about each body's position).
void StableSolver::applyImpulse(const Row &r, Vec2 p, float turnA, float turnB) {
    const std::size_t a = static_cast<std::size_t>(r.a);
    const std::size_t b = static_cast<std::size_t>(r.b);
    velocities[a] -= p * r.inverseMassA;
    velocities[b] += p * r.inverseMassB;
    if (r.turning) {
        spins[a] -= r.inverseInertiaA * turnA;
        spins[b] += r.inverseInertiaB * turnB;
    }
}

// The tangent impulse that stops the point sliding, kept within the friction cone of the normal
// impulse accumulated so far.
void StableSolver::applyFriction(Row &r) {
    const Vec2 tangent(r.normal.y, -r.normal.x);
    const float vt = tangent.dot(relativeVelocity(r));
    const float limit = r.friction * r.impulse;
    const float unclamped = r.tangentImpulse - r.tangentMass * vt;
    if (!std::isfinite(unclamped))
        return;
    const float accumulated = std::max(-limit, std::min(unclamped, limit));
    const float change = accumulated - r.tangentImpulse;
    r.tangentImpulse = accumulated;
    applyImpulse(r, tangent * change, r.tangentLeverA * change, r.tangentLeverB * change);
}

void StableSolver::applyWarmStart() {
    for (const Row &r : rows) {
        if (!r.turning) {
            const Vec2 p = r.normal * r.impulse;
            velocities[static_cast<std::size_t>(r.a)] -= p * r.inverseMassA;
            velocities[static_cast<std::size_t>(r.b)] += p * r.inverseMassB;
            continue;
        }
        const Vec2 tangent(r.normal.y, -r.normal.x);
        const Vec2 p = r.normal * r.impulse + tangent * r.tangentImpulse;
        applyImpulse(r, p, r.normalLeverA * r.impulse + r.tangentLeverA * r.tangentImpulse,
                     r.normalLeverB * r.impulse + r.tangentLeverB * r.tangentImpulse);
    }
}

// A contact whose bodies have left the finite numbers (an impulse overflowed into one of them)
// gives a non-finite impulse, and is passed over so that the overflow goes no further.
template <bool useBias> void StableSolver::solve() {
    for (Row &r : rows) {
        const std::size_t a = static_cast<std::size_t>(r.a);
        const std::size_t b = static_cast<std::size_t>(r.b);
        if (r.friction > 0)
            applyFriction(r);
        // Negative while the bodies overlap by more than the slop; as the bodies move (and turn)
        // during the step it follows them along the normal found at detection.
        const Vec2 moved = r.turning ? (displacements[b] + cross(turns[b], r.anchorB)) -
                                           (displacements[a] + cross(turns[a], r.anchorA))
                                     : displacements[b] - displacements[a];
        const float separation = r.normal.dot(moved) - r.penetration + slop;
        float bias = 0;
        float massScale = 1;
        float impulseScale = 0;
        if (separation > 0) {
            // Apart: let them close the gap within this sub-step, no more.
            bias = separation * inverseSubstep;
        } else if (useBias) {
            bias = std::max(softness.biasRate * separation, -maxPushOut);
            massScale = softness.massScale;
            impulseScale = softness.impulseScale;
        }
        const float vn = r.normal.dot(relativeVelocity(r));
        const float unclamped =
            r.impulse - r.normalMass * massScale * (vn + bias) - impulseScale * r.impulse;
        if (!std::isfinite(unclamped))
            continue;
        const float accumulated = std::max(unclamped, 0.0f);
        const float change = accumulated - r.impulse;
        const Vec2 p = r.normal * change;
        r.impulse = accumulated;
        r.maxImpulse = std::max(r.maxImpulse, accumulated);
        applyImpulse(r, p, r.normalLeverA * change, r.normalLeverB * change);
    }
}

void StableSolver::applyRestitution(float restitution) {
    for (Row &r : rows) {
        if (!(r.approach < -restitutionThreshold) || r.maxImpulse == 0)
            continue;
        const float vn = r.normal.dot(relativeVelocity(r));
        const float unclamped = r.impulse - r.normalMass * (vn + restitution * r.approach);
        if (!std::isfinite(unclamped))
            continue;
        const float accumulated = std::max(unclamped, 0.0f);
        const float change = accumulated - r.impulse;
        const Vec2 p = r.normal * change;
        r.impulse = accumulated;
        applyImpulse(r, p, r.normalLeverA * change, r.normalLeverB * change);
    }
}

void StableSolver::keepImpulses() {
    spareImpulses.clear();
    for (const Row &r : rows) {
        const BodyPair pair = bodyPair(r.a, r.b);
        spareImpulses.push_back(
            PairImpulse{pair.lower, pair.higher, r.impulse, r.featureId, r.tangentImpulse});
    }
    std::swap(impulses, spareImpulses);
}
