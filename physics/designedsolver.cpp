#include "physics/designedsolver.h"

#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "physics/finitebodies.h"

#include <algorithm> // std::max

namespace {

// Overlap left uncorrected, so resting contacts do not jitter.
constexpr float correctionSlop = 0.01f;
// Share of the remaining overlap removed per step.
constexpr float correctionFraction = 0.7f;

// The sum of the bodies' inverse masses, or 0 when the contact is passed over: when neither body
// can move, or when a body has left the finite numbers since the contact was found (an impulse
// that overflowed), so that the overflow goes no further.
float inverseMassSum(const Contact &c) {
    if (!isFiniteBody(*c.a) || !isFiniteBody(*c.b))
        return 0;
    return c.a->inverseMass + c.b->inverseMass;
}

// One sequential pass: each contact sees the velocities left by the contacts before it.
// impulseFactor is -(1 + e) for the restitution e, the same for every pair: -1.8f for 0.8f.
void applyImpulses(const ContactList &contacts, float impulseFactor) {
    for (const Contact *c : contacts) {
        const float massSum = inverseMassSum(*c);
        if (massSum == 0)
            continue;
        const Vec2 rv = c->b->velocity - c->a->velocity;
        const float vn = c->normal.dot(rv);
        if (vn > 0)
            continue; // already separating
        const float magnitude = (vn * impulseFactor) / massSum;
        const Vec2 impulse = c->normal * magnitude;
        c->a->applyImpulse(-impulse);
        c->b->applyImpulse(impulse);
    }
}

// Position moves with the velocity the impulses left, before this step's gravity and force.
void integrate(const EntityArray &bodies, Vec2 gravity) {
    for (int i = 0; i < bodies.size(); ++i) {
        BaseEntity *body = bodies[i];
        body->position += body->velocity;
        body->velocity += body->velocityChangePerStep(gravity);
    }
}

// Uses the normals and depths found before integration, including contacts whose impulse was
// skipped.
void correctPositions(const ContactList &contacts) {
    for (const Contact *c : contacts) {
        const float massSum = inverseMassSum(*c);
        if (massSum == 0)
            continue;
        const float k = std::max(c->penetration - correctionSlop, 0.0f) / massSum;
        const Vec2 correction = (c->normal * correctionFraction) * k;
        c->a->position -= correction * c->a->inverseMass;
        c->b->position += correction * c->b->inverseMass;
    }
}

} // namespace

void DesignedSolver::step(const EntityArray &bodies, const ContactList &contacts,
                          const StepSettings &settings) {
    applyImpulses(contacts, -(1 + settings.restitution));
    integrate(bodies, settings.gravity);
    correctPositions(contacts);
}
