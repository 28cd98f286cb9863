#pragma once

#include "physics/baseentity.h"

#include <cmath> // std::isfinite

class EntityArray;

// A body whose position, velocity, orientation or spin is not finite (NaN or infinite: a bad
// value given to it, or an overflow after an absurd velocity) has left the simulation: it takes
// part in no contact, so nothing it holds can reach the bodies it would have touched. It still
// moves by its own velocity.
inline bool isFiniteBody(const BaseEntity &body) {
    return std::isfinite(body.position.x) && std::isfinite(body.position.y) &&
           std::isfinite(body.velocity.x) && std::isfinite(body.velocity.y) &&
           std::isfinite(body.rotation.c) && std::isfinite(body.rotation.s) &&
           std::isfinite(body.angularVelocity);
}

// The bodies of the array whose position or velocity is not finite.
int countNonFiniteBodies(const EntityArray &bodies);

// The kinetic energy of the finite circles and other bodies that can move, the sum of
// mass * |velocity|^2 / 2, in double precision; for display only, never fed back.
double kineticEnergy(const EntityArray &bodies);
