#pragma once

#include "math/rotation.h"
#include "math/vec2.h"

// One vertex of a circle's fan, interleaved as OpenGL reads it: position, then RGBA colour.
struct CircleVertex {
    float x;
    float y;
    float red;
    float green;
    float blue;
    float alpha;
};

constexpr int circleVertexCount = 15;

// Vertex i of every circle's fan on the unit circle, with its colour: circles differ only by
// centre and radius, so these are the same for all of them.
struct CircleFanPoint {
    float sine;
    float cosine;
    float red;
    float green;
    float blue;
};

// Point i, 0 <= i < circleVertexCount, of the fan.
CircleFanPoint circleFanPoint(int i);

// A vertex coordinate on a circle: the product and the sum are each rounded to float, in this
// order. Every path that draws circles places its vertices through this one formula, so they agree
// to the last bit.
inline float onCircle(float centre, float radius, float unit) {
    return centre + radius * unit;
}

// Where fan point p lies on the unit circle of a circle turned by q: (sine, cosine) turned with the
// circle, so that its colours turn as it rolls. A circle that never turned keeps the point as it
// is, to the bit.
inline Vec2 turnedFanPoint(const CircleFanPoint &p, Rotation q) {
    if (q.c == 1 && q.s == 0)
        return Vec2(p.sine, p.cosine);
    return q.apply(Vec2(p.sine, p.cosine));
}

// The perimeter of a circle as a 15-sided fan, clockwise on screen from its top point
// (x grows with sin θ, y with cos θ) turned by the circle's rotation. The fan stops one step short
// of a full turn, so no vertex repeats the first. Colours follow a cosine rainbow around the edge,
// turning with the circle.
void circleVertices(Vec2 centre, float radius, CircleVertex (&out)[circleVertexCount],
                    Rotation rotation = Rotation());
