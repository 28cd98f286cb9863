#include "physics/baseentity.h"

namespace {

float inverseOf(float mass) {
    return mass == 0 ? 0 : 1 / mass;
}

} // namespace

void BaseEntity::update() {
    velocity += velocityChangePerStep();
    position += velocity;
}

void BaseEntity::setMass(float m) {
    mass = m;
    inverseMass = inverseOf(m);
    inertia = inertiaOfMass(m);
    inverseInertia = inverseOf(inertia);
}

void BaseEntity::setStatic(bool s) {
    isStatic = s;
    inverseMass = s ? 0 : inverseOf(mass);
    inverseInertia = s ? 0 : inverseOf(inertia);
}
