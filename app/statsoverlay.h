#pragma once

#include <QSize>
#include <QStringList>

#include <memory> // std::unique_ptr

class QOpenGLPaintDevice;

// What the overlay reports, as the world and the window measured it.
struct OverlayFigures {
    long long step = 0;
    int bodies = 0;
    bool full = false;
    int contacts = 0;
    // Below 0: no step in the last second.
    double meanStepMicroseconds = -1;
    double framesPerSecond = 0;
    bool paused = false;
    // Bodies whose position or velocity left the finite numbers, and with them the simulation.
    int nonFinite = 0;
};

// The overlay's text, one line each.
QStringList overlayLines(const OverlayFigures &figures);

// A few lines of dark text in the window's top-left corner, drawn over the frame with QPainter;
// hidden until toggled. QPainter draws through shaders and state of its own: every piece of
// OpenGL state the bodies' drawing relies on is restored afterwards, so the frames after it are
// drawn exactly as if it had never been shown.
class StatsOverlay {
public:
    StatsOverlay();
    ~StatsOverlay();
    StatsOverlay(const StatsOverlay &) = delete;
    StatsOverlay &operator=(const StatsOverlay &) = delete;

    bool shown() const { return isShown; }
    void toggle() { isShown = !isShown; }

    // Draws over the current context's framebuffer, pixels in size at ratio device pixels to
    // each logical pixel.
    void draw(const QStringList &lines, QSize pixels, double ratio);

private:
    bool isShown = false;
    std::unique_ptr<QOpenGLPaintDevice> device;
};
