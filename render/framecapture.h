#pragma once

#include <QImage>
#include <QSize>

// The current context's framebuffer, pixels in size from its lower-left corner, as an image
// the right way up. Null without an OpenGL 2.1 context.
QImage captureFramebuffer(QSize pixels);
