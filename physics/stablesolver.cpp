#include "physics/stablesolver.h"

#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "physics/contact.h"

#include <algorithm> // std::max, std::min
#include <cmath>     // std::isfinite
#include <cstdlib>   // TUNING
#include <utility>   // std::swap

namespace {

float tune(const char *name, float value) {
    const char *text = std::getenv(name);
    return text ? static_cast<float>(std::atof(text)) : value;
}

const int substeps = static_cast<int>(tune("R_SUB", 4));
const int relaxIterations = static_cast<int>(tune("R_RELAX", 1));
const int solveIterations = static_cast<int>(tune("R_SOLVE", 1));
const float restitution = 0.8f;
const float restitutionThreshold = tune("R_RT", 0.5f);
const float slop = tune("R_SLOP", 0.05f);
const float hertz = tune("R_HZ", 1.0f);
const float dampingRatio = tune("R_ZETA", 10.0f);
const float maxPush = tune("R_PUSH", 1.0f);

} // namespace

StableSolver::Softness StableSolver::softness(float h) {
    const float omega = 6.2831855f * hertz;
    const float a1 = 2.0f * dampingRatio + h * omega;
    const float a2 = h * omega * a1;
    const float a3 = 1.0f / (1.0f + a2);
    return Softness{omega / a1, a2 * a3, a3};
}

namespace {

bool pairBefore(int lowerA, int higherA, const PairImpulse &b) {
    return lowerA < b.lower || (lowerA == b.lower && higherA < b.higher);
}

} // namespace

void StableSolver::step(const EntityArray &bodies, const QList<Contact *> &contacts,
                        const std::vector<ContactBodies> &bodiesOf) {
    const std::size_t count = static_cast<std::size_t>(bodies.size());
    velocities.resize(count);
    displacements.assign(count, Vec2(0, 0));
    kicks.resize(count);
    const float h = 1.0f / static_cast<float>(substeps);
    for (std::size_t i = 0; i < count; ++i) {
        const BaseEntity *body = bodies[static_cast<int>(i)];
        velocities[i] = body->velocity;
        kicks[i] = Vec2(body->force.x, body->force.y - body->gravityScale * body->mass) * h;
    }
    buildRows(contacts, bodiesOf);
    const Softness soft = softness(h);
    const float inverseH = static_cast<float>(substeps);
    for (int s = 0; s < substeps; ++s) {
        for (std::size_t i = 0; i < count; ++i)
            velocities[i] += kicks[i];
        applyWarmStart();
        for (int k = 0; k < solveIterations; ++k)
            solve(soft, inverseH, true);
        for (std::size_t i = 0; i < count; ++i)
            displacements[i] += velocities[i] * h;
        for (int k = 0; k < relaxIterations; ++k)
            solve(soft, inverseH, false);
    }
    applyRestitution();
    keepImpulses();
    for (std::size_t i = 0; i < count; ++i) {
        BaseEntity *body = bodies[static_cast<int>(i)];
        body->position += displacements[i];
        body->velocity = velocities[i];
    }
}

void StableSolver::buildRows(const QList<Contact *> &contacts,
                             const std::vector<ContactBodies> &bodiesOf) {
    rows.clear();
    std::size_t cached = 0;
    for (int k = 0; k < contacts.size(); ++k) {
        const Contact *c = contacts[k];
        const ContactBodies pair = bodiesOf[static_cast<std::size_t>(k)];
        const float inverseMassSum = c->a->inverseMass + c->b->inverseMass;
        if (inverseMassSum == 0)
            continue; // neither body can move
        const int lower = std::min(pair.a, pair.b);
        const int higher = std::max(pair.a, pair.b);
        while (cached < impulses.size() &&
               pairBefore(impulses[cached].lower, impulses[cached].higher,
                          PairImpulse{lower, higher, 0}))
            ++cached;
        float impulse = 0;
        if (cached < impulses.size() && impulses[cached].lower == lower &&
            impulses[cached].higher == higher)
            impulse = impulses[cached].impulse;
        const Vec2 rv = velocities[static_cast<std::size_t>(pair.b)] -
                        velocities[static_cast<std::size_t>(pair.a)];
        rows.push_back(Row{pair.a, pair.b, c->normal, c->penetration, c->a->inverseMass,
                           c->b->inverseMass, 1.0f / inverseMassSum, c->normal.dot(rv), impulse,
                           0.0f});
    }
}

void StableSolver::applyWarmStart() {
    for (const Row &r : rows) {
        const Vec2 p = r.normal * r.impulse;
        velocities[static_cast<std::size_t>(r.a)] -= p * r.inverseMassA;
        velocities[static_cast<std::size_t>(r.b)] += p * r.inverseMassB;
    }
}

void StableSolver::solve(const Softness &soft, float inverseH, bool useBias) {
    for (Row &r : rows) {
        const std::size_t a = static_cast<std::size_t>(r.a);
        const std::size_t b = static_cast<std::size_t>(r.b);
        const float separation =
            r.normal.dot(displacements[b] - displacements[a]) - r.penetration + slop;
        float bias = 0;
        float massScale = 1;
        float impulseScale = 0;
        if (separation > 0) {
            bias = separation * inverseH;
        } else if (useBias) {
            bias = std::max(soft.biasRate * separation, -maxPush);
            massScale = soft.massScale;
            impulseScale = soft.impulseScale;
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

void StableSolver::applyRestitution() {
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
    for (const Row &r : rows)
        spareImpulses.push_back(PairImpulse{std::min(r.a, r.b), std::max(r.a, r.b), r.impulse});
    std::swap(impulses, spareImpulses);
}
