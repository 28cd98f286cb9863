#pragma once

#include "math/vec2.h"

class BaseEntity;

// One overlap found in the current step. The normal is a unit vector pointing from a toward b;
// when a rectangle is involved, a is always the circle.
struct Contact {
    float penetration;
    Vec2 normal;
    BaseEntity *a;
    BaseEntity *b;
};
