#pragma once

#include "math/vec2.h"

#include <cstdint> // std::uint32_t
#include <vector>

class BaseEntity;

// One point where two bodies touch, found in the current step. The normal is a unit vector
// pointing from a toward b; when a rectangle is involved, a is always the circle.
struct Contact {
    float penetration;
    Vec2 normal;
    BaseEntity *a;
    BaseEntity *b;
    // The array indices of a and b.
    int indexA;
    int indexB;
    // The point, from a's position: on a's surface along the normal.
    Vec2 anchorA;
    // Which features of the two shapes touch there (see ManifoldPoint).
    std::uint32_t featureId;
};

// The contacts of a step, in the order of their pairs (by lower index, then by higher), each pair's
// points in the manifold's order. The records belong to the world that found them.
using ContactList = std::vector<Contact *>;
