#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <memory> // std::unique_ptr
#include <vector> // std::vector

class QOpenGLPaintDevice;
class QPainter;

// A small line plot of the last values of a figure, oldest first.
struct Plot {
    QString title;
    std::vector<double> values;
};

// A few lines of dark text, and small plots under them, in a corner of the framebuffer, drawn
// over the frame with QPainter inside a GlStateGuard, so the frames after it are drawn exactly
// as if it had never been shown.
class TextPanel {
public:
    enum class Corner { TopLeft, TopRight };

    TextPanel();
    ~TextPanel();
    TextPanel(const TextPanel &) = delete;
    TextPanel &operator=(const TextPanel &) = delete;

    // Draws over the current context's framebuffer, pixels in size at ratio device pixels to
    // each logical pixel. Does nothing without OpenGL 2.1.
    void draw(const QStringList &lines, QSize pixels, double ratio, Corner corner = Corner::TopLeft,
              const std::vector<Plot> &plots = {});

private:
    std::unique_ptr<QOpenGLPaintDevice> device;
};
