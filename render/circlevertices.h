#pragma once

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

// The perimeter of a circle as a 15-sided fan, clockwise on screen from its top point
// (x grows with sin θ, y with cos θ). The fan stops one step short of a full turn, so no vertex
// repeats the first. Colours follow a cosine rainbow around the edge, independent of the motion.
void circleVertices(Vec2 centre, float radius, CircleVertex (&out)[circleVertexCount]);
