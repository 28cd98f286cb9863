#include "physics/rectangle.h"
#include "render/gl21.h"
#include "render/wallcolor.h"

#include <QOpenGLFunctions_2_1>

void RectAngle::draw() const {
    QOpenGLFunctions_2_1 *gl = currentGl21();
    if (!gl)
        return;
    const float x = position.x;
    const float y = position.y;
    const float x2 = x + static_cast<float>(width);
    const float y2 = y + static_cast<float>(height);
    const float vertices[] = {x, y, x, y2, x2, y2, x2, y};
    // A circle drawn before leaves the current colour undefined, so set it every time.
    gl->glColor4ub(wallRed, wallGreen, wallBlue, 255);
    gl->glEnableClientState(GL_VERTEX_ARRAY);
    gl->glVertexPointer(2, GL_FLOAT, 0, vertices);
    gl->glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
    gl->glDisableClientState(GL_VERTEX_ARRAY);
}
