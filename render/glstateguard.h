#pragma once

class QOpenGLFunctions_2_1;

// Keeps drawing done by others (QPainter, which draws through shaders and state of its own) from
// changing what the bodies' drawing relies on: every piece of fixed-function state, matrices
// included, is saved when the guard is made and put back when it goes, and what OpenGL's stacks
// do not hold (the program, buffer and texture bindings) is reset to what client arrays need:
// none bound.
class GlStateGuard {
public:
    // Does nothing without OpenGL 2.1.
    GlStateGuard();
    ~GlStateGuard();
    GlStateGuard(const GlStateGuard &) = delete;
    GlStateGuard &operator=(const GlStateGuard &) = delete;

private:
    QOpenGLFunctions_2_1 *gl;
};
