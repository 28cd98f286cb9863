#pragma once

#include "math/vec2.h"
#include "ui/windowgeometry.h"

class Camera;
class Session;

enum class PointerButton { Left, Right, Other };

// What a press of the right button writes to the front end's log (Qt's debug log, the browser's
// console), as the designed demo does: the front end writes it, scene or not.
constexpr char rightClickLine[] = "Right mouse click!";

// What the mouse (or a finger) does to the session and the view. The left button grabs the circle
// or box under the pointer (or drops a new circle, or with Shift a box, on empty space) and drags
// it; releasing throws it with
// the velocity it has. The right button drags the view; the wheel zooms about the pointer.
// Positions are logical pixels of a window of the given size.
class PointerInput {
public:
    PointerInput(Session &session, Camera &camera) : session(session), camera(camera) {}

    // dropsBox (Shift held): a left press on empty space drops a box instead of a circle.
    void press(PointerButton button, WindowPoint position, WindowSize windowSize,
               bool dropsBox = false);
    void move(WindowPoint position, WindowSize windowSize);
    void release(PointerButton button);
    // angleDegrees as Qt's wheel events give it: 15 for one notch of most wheels.
    void wheel(double angleDegrees, WindowPoint position, WindowSize windowSize);
    // The circle under the pointer where it was last seen, or -1.
    int circlePointedAt() const;

private:
    Session &session;
    Camera &camera;
    bool holding = false;
    bool panning = false;
    WindowPoint panFrom;
    // In scene units; the pointer has not been seen while false.
    bool seen = false;
    Vec2 pointed;
};
