#pragma once

#include <QPointF>
#include <QSize>

#include <Qt>

class Camera;
class Session;

// What the mouse does to the session and the view. The left button grabs the circle under the
// pointer (or drops a new one on empty space) and drags it; releasing throws it with the
// velocity it has. The right button writes the designed log line once on press, then drags the
// view; the wheel zooms about the pointer. Positions are logical pixels of a window of the given
// size.
class PointerInput {
public:
    PointerInput(Session &session, Camera &camera) : session(session), camera(camera) {}

    void press(Qt::MouseButton button, QPointF position, QSize windowSize);
    void move(QPointF position, QSize windowSize);
    void release(Qt::MouseButton button);
    // angleDegrees as Qt's wheel events give it: 15 for one notch of most wheels.
    void wheel(double angleDegrees, QPointF position, QSize windowSize);

private:
    Session &session;
    Camera &camera;
    bool holding = false;
    bool panning = false;
    QPointF panFrom;
};
