#pragma once

#include "math/vec2.h"

#include <cmath> // std::sqrt

// The z component of the cross product of two vectors of the plane: a.x b.y - a.y b.x.
inline float cross(Vec2 a, Vec2 b) {
    return a.x * b.y - a.y * b.x;
}

// The velocity of a point at offset r from a centre turning at w radians per step: w × r.
inline Vec2 cross(float w, Vec2 r) {
    return Vec2(-w * r.y, w * r.x);
}

// An orientation kept as the cosine and sine of its angle rather than as the angle itself, so
// that nothing that turns a body needs sin, cos or atan2: their last bits differ between C
// libraries, and with them every state after them.
struct Rotation {
    float c = 1;
    float s = 0;

    // v turned by the rotation (counter-clockwise for a positive angle).
    Vec2 apply(Vec2 v) const { return Vec2(c * v.x - s * v.y, s * v.x + c * v.y); }
    // v turned back: the rotation's inverse applied.
    Vec2 applyInverse(Vec2 v) const { return Vec2(c * v.x + s * v.y, c * v.y - s * v.x); }

    // Turned on by angle radians, for the small angles of one step: the point (c, s) moved along
    // the circle's tangent by angle, then pulled back onto the circle by dividing by its length.
    // For a step of 0.1 radian the turn falls short of the true one by a third of a percent; the
    // same numbers come out everywhere, as + - * / and sqrt are exact to the last bit in IEEE
    // arithmetic.
    Rotation turned(float angle) const {
        const float turnedC = c - angle * s;
        const float turnedS = s + angle * c;
        const float length = std::sqrt(turnedC * turnedC + turnedS * turnedS);
        return Rotation{turnedC / length, turnedS / length};
    }
};
