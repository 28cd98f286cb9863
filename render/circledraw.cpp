#include "physics/circle.h"
#include "render/circlevertices.h"
#include "render/gl21.h"

#include <QOpenGLFunctions_2_1>

void Circle::draw() const {
    QOpenGLFunctions_2_1 *gl = currentGl21();
    if (!gl)
        return;
    CircleVertex vertices[circleVertexCount];
    circleVertices(position, radius, vertices);
    gl->glEnableClientState(GL_VERTEX_ARRAY);
    gl->glEnableClientState(GL_COLOR_ARRAY);
    gl->glVertexPointer(2, GL_FLOAT, sizeof(CircleVertex), &vertices[0].x);
    gl->glColorPointer(4, GL_FLOAT, sizeof(CircleVertex), &vertices[0].red);
    gl->glDrawArrays(GL_TRIANGLE_FAN, 0, circleVertexCount);
    gl->glDisableClientState(GL_VERTEX_ARRAY);
    gl->glDisableClientState(GL_COLOR_ARRAY);
}
