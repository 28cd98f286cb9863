#include "render/glstateguard.h"

#include "render/gl21.h"

namespace {

const GLenum matrixStacks[] = {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW};

} // namespace

GlStateGuard::GlStateGuard() : gl(currentGl21()) {
    if (!gl)
        return;
    gl->glPushAttrib(GL_ALL_ATTRIB_BITS);
    gl->glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    for (const GLenum stack : matrixStacks) {
        gl->glMatrixMode(stack);
        gl->glPushMatrix();
    }
}

GlStateGuard::~GlStateGuard() {
    if (!gl)
        return;
    gl->glUseProgram(0);
    gl->glBindBuffer(GL_ARRAY_BUFFER, 0);
    gl->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    gl->glActiveTexture(GL_TEXTURE0);
    gl->glBindTexture(GL_TEXTURE_2D, 0);
    for (const GLenum stack : matrixStacks) {
        gl->glMatrixMode(stack);
        gl->glPopMatrix();
    }
    gl->glPopClientAttrib();
    gl->glPopAttrib();
}
