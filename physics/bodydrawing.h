#pragma once

class Box;
class Circle;
class RectAngle;

// The engine draws nothing itself: a body's draw() hands the body to the routine a front end has
// installed for its kind, and does nothing while there is none (a program without a window).
struct BodyDrawing {
    void (*circle)(const Circle &circle) = nullptr;
    void (*rectangle)(const RectAngle &rect) = nullptr;
    void (*box)(const Box &box) = nullptr;
};

// The routines every body's draw() calls from now on.
void setBodyDrawing(const BodyDrawing &drawing);
const BodyDrawing &bodyDrawing();
