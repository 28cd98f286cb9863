#include "render/framecapture.h"

#include "render/gl21.h"

QImage captureFramebuffer(QSize pixels) {
    Gl21 *gl = currentGl21();
    if (!gl)
        return QImage();
    QImage image(pixels, QImage::Format_RGBA8888);
    // Rows of four-byte pixels need no padding whatever GL_PACK_ALIGNMENT says.
    gl->glReadPixels(0, 0, pixels.width(), pixels.height(), GL_RGBA, GL_UNSIGNED_BYTE,
                     image.bits());
    // OpenGL's first row is the bottom one. The picture is opaque: whatever alpha the
    // framebuffer holds is not part of it.
    return image.mirrored().convertToFormat(QImage::Format_RGB888);
}
