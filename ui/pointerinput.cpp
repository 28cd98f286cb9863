#include "ui/pointerinput.h"

#include "session/session.h"
#include "ui/camera.h"

#include <cmath> // std::pow

namespace {

// Four notches of the wheel double or halve the scale.
const double notchZoom = std::pow(2.0, 0.25);
constexpr double degreesPerNotch = 15;

} // namespace

void PointerInput::press(PointerButton button, WindowPoint position, WindowSize windowSize,
                         bool dropsBox) {
    seen = true;
    pointed = camera.scenePoint(position, windowSize);
    if (button == PointerButton::Right) {
        panning = true;
        panFrom = position;
        return;
    }
    if (button != PointerButton::Left)
        return;
    const Vec2 point = camera.scenePoint(position, windowSize);
    // A circle wins over a box it lies on: circles are drawn over boxes.
    int body = session.sandbox().bodyAt(point, BodyType::Circle);
    if (body < 0)
        body = session.sandbox().bodyAt(point, BodyType::Box);
    if (body >= 0)
        holding = session.grab(body, point);
    else if (dropsBox)
        session.dropBox(point);
    else
        session.spawn(point);
}

void PointerInput::move(WindowPoint position, WindowSize windowSize) {
    seen = true;
    pointed = camera.scenePoint(position, windowSize);
    if (holding && session.heldCircle() >= 0)
        session.drag(camera.scenePoint(position, windowSize));
    if (panning) {
        camera.drag(panFrom, position, windowSize);
        panFrom = position;
    }
}

void PointerInput::release(PointerButton button) {
    if (button == PointerButton::Right)
        panning = false;
    if (button == PointerButton::Left && holding) {
        holding = false;
        if (session.heldCircle() >= 0)
            session.release();
    }
}

void PointerInput::wheel(double angleDegrees, WindowPoint position, WindowSize windowSize) {
    camera.zoomAbout(position, windowSize, std::pow(notchZoom, angleDegrees / degreesPerNotch));
}

int PointerInput::circlePointedAt() const {
    return seen ? session.sandbox().bodyAt(pointed, BodyType::Circle) : -1;
}
