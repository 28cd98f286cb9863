#include "physics/stablesolver.h"

#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "physics/bodypair.h"

#include <algorithm> // std::max
#include <cmath>     // std::isfinite
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

} // namespace

void StableSolver::step(const EntityArray &bodies, const ContactList &contacts,
                        const StepSettings &settings) {
    const std::size_t count = static_cast<std::size_t>(bodies.size());
    velocities.resize(count);
    displacements.assign(count, Vec2(0, 0));
    kicks.resize(count);
    inverseMasses.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const BaseEntity *body = bodies[static_cast<int>(i)];
        velocities[i] = body->velocity;
        kicks[i] = body->velocityChangePerStep(settings.gravity) * substep;
        inverseMasses[i] = body->inverseMass;
    }
    buildRows(contacts);
    for (int s = 0; s < substeps; ++s) {
        for (std::size_t i = 0; i < count; ++i)
            velocities[i] += kicks[i];
        applyWarmStart();
        solve<true>();
        for (std::size_t i = 0; i < count; ++i)
            displacements[i] += velocities[i] * substep;
        solve<false>();
    }
    applyRestitution(settings.restitution);
    keepImpulses();
    for (std::size_t i = 0; i < count; ++i) {
        BaseEntity *body = bodies[static_cast<int>(i)];
        body->position += displacements[i];
        body->velocity = velocities[i];
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
        const bool kept = cached < impulses.size() && impulses[cached].lower == pair.lower &&
                          impulses[cached].higher == pair.higher;
        const float approach = c->normal.dot(velocities[b] - velocities[a]);
        rows.push_back(Row{c->indexA, c->indexB, c->normal, c->penetration, inverseMasses[a],
                           inverseMasses[b], 1.0f / inverseMassSum, approach,
                           kept ? impulses[cached].impulse : 0.0f, 0.0f});
    }
}

void StableSolver::applyWarmStart() {
    for (const Row &r : rows) {
        const Vec2 p = r.normal * r.impulse;
        velocities[static_cast<std::size_t>(r.a)] -= p * r.inverseMassA;
        velocities[static_cast<std::size_t>(r.b)] += p * r.inverseMassB;
    }
}

// A contact whose bodies have left the finite numbers (an impulse overflowed into one of them)
// gives a non-finite impulse, and is passed over so that the overflow goes no further.
template <bool useBias> void StableSolver::solve() {
    for (Row &r : rows) {
        const std::size_t a = static_cast<std::size_t>(r.a);
        const std::size_t b = static_cast<std::size_t>(r.b);
        // Negative while the bodies overlap by more than the slop; as the bodies move during the
        // step it follows them along the normal found at detection.
        const float separation =
            r.normal.dot(displacements[b] - displacements[a]) - r.penetration + slop;
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
        const float vn = r.normal.dot(velocities[b] - velocities[a]);
        const float unclamped =
            r.impulse - r.normalMass * massScale * (vn + bias) - impulseScale * r.impulse;
        if (!std::isfinite(unclamped))
            continue;
        const float accumulated = std::max(unclamped, 0.0f);
        const Vec2 p = r.normal * (accumulated - r.impulse);
        r.impulse = accumulated;
        r.maxImpulse = std::max(r.maxImpulse, accumulated);
        velocities[a] -= p * r.inverseMassA;
        velocities[b] += p * r.inverseMassB;
    }
}

void StableSolver::applyRestitution(float restitution) {
    for (Row &r : rows) {
        if (!(r.approach < -restitutionThreshold) || r.maxImpulse == 0)
            continue;
        const std::size_t a = static_cast<std::size_t>(r.a);
        const std::size_t b = static_cast<std::size_t>(r.b);
        const float vn = r.normal.dot(velocities[b] - velocities[a]);
        const float unclamped = r.impulse - r.normalMass * (vn + restitution * r.approach);
        if (!std::isfinite(unclamped))
            continue;
        const float accumulated = std::max(unclamped, 0.0f);
        const Vec2 p = r.normal * (accumulated - r.impulse);
        r.impulse = accumulated;
        velocities[a] -= p * r.inverseMassA;
        velocities[b] += p * r.inverseMassB;
    }
}

void StableSolver::keepImpulses() {
    spareImpulses.clear();
    for (const Row &r : rows) {
        const BodyPair pair = bodyPair(r.a, r.b);
        spareImpulses.push_back(PairImpulse{pair.lower, pair.higher, r.impulse});
    }
    std::swap(impulses, spareImpulses);
}
