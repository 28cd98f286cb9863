#pragma once

#include <QRect>
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
    enum class Corner { TopLeft, TopRight, BottomLeft };
    // Logical pixels. The plots scale with the text.
    static constexpr int largestFontPixelSize = 14;
    static constexpr int smallestFontPixelSize = 9;

    TextPanel();
    ~TextPanel();
    TextPanel(const TextPanel &) = delete;
    TextPanel &operator=(const TextPanel &) = delete;

    // The most room the panel takes with these lines and plots, whatever the plots' values,
    // in logical pixels, its backdrop included.
    static QSize room(const QStringList &lines, const std::vector<Plot> &plots, int fontPixelSize);

    // Where and how large a panel is drawn.
    struct Place {
        Corner corner = Corner::TopLeft;
        int fontPixelSize = largestFontPixelSize;
        // The most height it may take, in logical pixels (0: any): the plots, then the lines
        // that do not fit are left out, the last line shown saying so.
        int maxHeight = 0;
    };

    // Draws over the current context's framebuffer, pixels in size at ratio device pixels to
    // each logical pixel, and returns the area covered, in logical pixels from the top-left
    // corner. Does nothing without OpenGL 2.1 (and returns an empty area).
    QRect draw(const QStringList &lines, QSize pixels, double ratio, const Place &place,
               const std::vector<Plot> &plots = {});

private:
    std::unique_ptr<QOpenGLPaintDevice> device;
};
