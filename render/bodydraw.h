#pragma once

class Box;
class Circle;
class RectAngle;

// The bodies' own drawing, each body on its own through OpenGL 2.1 client arrays into the current
// context; nothing without one. A circle is a fan of its 15 perimeter vertices with the colour
// ramp, a rectangle a quad in the walls' colour, a box a turned quad filled and outlined.
void drawCircle(const Circle &circle);
void drawRectangle(const RectAngle &rect);
void drawBox(const Box &box);

// From now on every body's draw() draws it with these.
void useOpenGLBodyDrawing();
