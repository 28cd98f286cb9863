#include "physics/rectangle.h"
#include "render/gl21.h"
#include "render/rectanglevertices.h"
#include "render/wallcolor.h"

#include <QOpenGLFunctions_2_1>

void RectAngle::draw() const {
    QOpenGLFunctions_2_1 *gl = currentGl21();
    if (!gl)
        return;
    float vertices[2 * rectangleVertexCount];
    rectangleVertices(position, width, height, vertices);
    // A circle drawn before leaves the current colour undefined, so set it every time.
    gl->glColor4ub(wallRed, wallGreen, wallBlue, 255);
    gl->glEnableClientState(GL_VERTEX_ARRAY);
    gl->glVertexPointer(2, GL_FLOAT, 0, vertices);
    gl->glDrawArrays(GL_TRIANGLE_FAN, 0, rectangleVertexCount);
    gl->glDisableClientState(GL_VERTEX_ARRAY);
}
