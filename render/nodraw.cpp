// The bodies' draw() in a headless build, which has no QtGui and so no OpenGL context: the same as
// the OpenGL routines do when no context is current.

#include "physics/circle.h"
#include "physics/rectangle.h"

void Circle::draw() const {}

void RectAngle::draw() const {}
