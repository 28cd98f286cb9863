#include "app/sandboxinput.h"

KeyCommand commandForKey(int key) {
    switch (key) {
    case Qt::Key_Space:
        return KeyCommand::TogglePause;
    case Qt::Key_N:
        return KeyCommand::StepOnce;
    case Qt::Key_R:
        return KeyCommand::Restart;
    case Qt::Key_S:
        return KeyCommand::SwitchSolver;
    case Qt::Key_H:
        return KeyCommand::ToggleOverlay;
    case Qt::Key_Escape:
        return KeyCommand::Close;
    default:
        return KeyCommand::None;
    }
}

Vec2 scenePointAt(QPointF position, QSize windowSize, QSize sceneSize) {
    const double x = position.x() * sceneSize.width() / windowSize.width();
    const double y =
        (windowSize.height() - position.y()) * sceneSize.height() / windowSize.height();
    return Vec2(static_cast<float>(x), static_cast<float>(y));
}
