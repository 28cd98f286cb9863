#pragma once

#include "math/vec2.h"

// What a step depends on besides the bodies, which a person may change between steps. The
// defaults are the designed values; with them every step is the designed one, to the bit.
struct StepSettings {
    // The velocity a step adds to a body per unit of its weight, its mass times its gravity
    // scale: the designed (0, -1) pulls straight down by the weight itself.
    Vec2 gravity{0, -1};
    // The share of the approach speed a contact gives back.
    float restitution = 0.8f;
};
