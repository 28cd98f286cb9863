#pragma once

class Box;

constexpr int boxVertexCount = 4;

// The corners of a box as x, y pairs in fan order, clockwise on screen in the box's own frame
// from its lower-left corner (lower-left, upper-left, upper-right, lower-right), turned with it.
void boxVertices(const Box &box, float (&out)[2 * boxVertexCount]);
