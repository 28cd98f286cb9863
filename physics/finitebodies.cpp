#include "physics/finitebodies.h"

#include "core/entityarray.h"

int countNonFiniteBodies(const EntityArray &bodies) {
    int count = 0;
    for (int i = 0; i < bodies.size(); ++i) {
        if (!isFiniteBody(*bodies[i]))
            ++count;
    }
    return count;
}

double kineticEnergy(const EntityArray &bodies) {
    double energy = 0;
    for (int i = 0; i < bodies.size(); ++i) {
        const BaseEntity &body = *bodies[i];
        if (body.inverseMass == 0 || !isFiniteBody(body))
            continue;
        const double vx = body.velocity.x;
        const double vy = body.velocity.y;
        energy += 0.5 * body.mass * (vx * vx + vy * vy);
    }
    return energy;
}
