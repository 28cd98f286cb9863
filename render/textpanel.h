#pragma once

#include <QSize>
#include <QStringList>

#include <memory> // std::unique_ptr

class QOpenGLPaintDevice;

// A few lines of dark text in the framebuffer's top-left corner, drawn over the frame with
// QPainter inside a GlStateGuard, so the frames after it are drawn exactly as if it had never
// been shown.
class TextPanel {
public:
    TextPanel();
    ~TextPanel();
    TextPanel(const TextPanel &) = delete;
    TextPanel &operator=(const TextPanel &) = delete;

    // Draws over the current context's framebuffer, pixels in size at ratio device pixels to
    // each logical pixel. Does nothing without OpenGL 2.1.
    void draw(const QStringList &lines, QSize pixels, double ratio);

private:
    std::unique_ptr<QOpenGLPaintDevice> device;
};
