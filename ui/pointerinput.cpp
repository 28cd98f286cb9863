#include "ui/pointerinput.h"

#include "session/session.h"
#include "ui/camera.h"
#include "ui/qtcompat.h"

#include <QDebug>

#include <cmath> // std::pow

namespace {

// Four notches of the wheel double or halve the scale.
const double notchZoom = std::pow(2.0, 0.25);
constexpr double degreesPerNotch = 15;

} // namespace

void PointerInput::press(Qt::MouseButton button, QPointF position, QSize windowSize) {
    if (button == Qt::RightButton) {
        qDebug() << "Right mouse click!" << qtcompat::lineEnd;
        panning = true;
        panFrom = position;
        return;
    }
    if (button != Qt::LeftButton)
        return;
    const Vec2 point = camera.scenePoint(position, windowSize);
    const int circle = session.sandbox().circleAt(point);
    if (circle >= 0)
        holding = session.grab(circle, point);
    else
        session.spawn(point);
}

void PointerInput::move(QPointF position, QSize windowSize) {
    if (holding && session.heldCircle() >= 0)
        session.drag(camera.scenePoint(position, windowSize));
    if (panning) {
        camera.drag(panFrom, position, windowSize);
        panFrom = position;
    }
}

void PointerInput::release(Qt::MouseButton button) {
    if (button == Qt::RightButton)
        panning = false;
    if (button == Qt::LeftButton && holding) {
        holding = false;
        if (session.heldCircle() >= 0)
            session.release();
    }
}

void PointerInput::wheel(double angleDegrees, QPointF position, QSize windowSize) {
    camera.zoomAbout(position, windowSize, std::pow(notchZoom, angleDegrees / degreesPerNotch));
}
