#pragma once

#include "math/vec2.h"

constexpr int rectangleVertexCount = 4;

// The corners of a rectangle as x, y pairs in fan order, clockwise on screen from the lower-left
// corner: (x, y), (x, y + h), (x + w, y + h), (x + w, y).
void rectangleVertices(Vec2 position, int width, int height,
                       float (&out)[2 * rectangleVertexCount]);
