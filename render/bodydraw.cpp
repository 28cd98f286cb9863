#include "render/bodydraw.h"

#include "physics/bodydrawing.h"
#include "physics/box.h"
#include "physics/circle.h"
#include "physics/rectangle.h"
#include "render/boxvertices.h"
#include "render/circlevertices.h"
#include "render/gl21.h"
#include "render/rectanglevertices.h"
#include "render/wallcolor.h"

void drawCircle(const Circle &circle) {
    Gl21 *gl = currentGl21();
    if (!gl)
        return;
    CircleVertex vertices[circleVertexCount];
    circleVertices(circle.position, circle.radius, vertices, circle.rotation);
    gl->glEnableClientState(GL_VERTEX_ARRAY);
    gl->glEnableClientState(GL_COLOR_ARRAY);
    gl->glVertexPointer(2, GL_FLOAT, sizeof(CircleVertex), &vertices[0].x);
    gl->glColorPointer(4, GL_FLOAT, sizeof(CircleVertex), &vertices[0].red);
    gl->glDrawArrays(GL_TRIANGLE_FAN, 0, circleVertexCount);
    gl->glDisableClientState(GL_VERTEX_ARRAY);
    gl->glDisableClientState(GL_COLOR_ARRAY);
}

void drawRectangle(const RectAngle &rect) {
    Gl21 *gl = currentGl21();
    if (!gl)
        return;
    float vertices[2 * rectangleVertexCount];
    rectangleVertices(rect.position, rect.width, rect.height, vertices);
    // A circle drawn before leaves the current colour undefined, so set it every time.
    gl->glColor4ub(wallRed, wallGreen, wallBlue, 255);
    gl->glEnableClientState(GL_VERTEX_ARRAY);
    gl->glVertexPointer(2, GL_FLOAT, 0, vertices);
    gl->glDrawArrays(GL_TRIANGLE_FAN, 0, rectangleVertexCount);
    gl->glDisableClientState(GL_VERTEX_ARRAY);
}

void drawBox(const Box &box) {
    Gl21 *gl = currentGl21();
    if (!gl)
        return;
    float vertices[2 * boxVertexCount];
    boxVertices(box, vertices);
    gl->glEnableClientState(GL_VERTEX_ARRAY);
    gl->glVertexPointer(2, GL_FLOAT, 0, vertices);
    gl->glColor4ub(boxRed, boxGreen, boxBlue, 255);
    gl->glDrawArrays(GL_TRIANGLE_FAN, 0, boxVertexCount);
    gl->glColor4ub(wallRed, wallGreen, wallBlue, 255);
    gl->glDrawArrays(GL_LINE_LOOP, 0, boxVertexCount);
    gl->glDisableClientState(GL_VERTEX_ARRAY);
}

void useOpenGLBodyDrawing() {
    BodyDrawing drawing;
    drawing.circle = drawCircle;
    drawing.rectangle = drawRectangle;
    drawing.box = drawBox;
    setBodyDrawing(drawing);
}
