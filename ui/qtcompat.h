#pragma once

// What app/ uses of the few Qt interfaces that differ between Qt 5 and Qt 6, so that the rest of
// the folder is written once for both.

#include <QMouseEvent>
#include <QPointF>
#include <QTextStream>
#include <QWheelEvent>
#include <QtGlobal>

namespace qtcompat {

// Ends a debug-stream line. Qt 5.14 moved endl into the Qt namespace; Qt 6 has only Qt::endl.
#if QT_VERSION >= QT_VERSION_CHECK(5, 14, 0)
inline QTextStream &lineEnd(QTextStream &stream) {
    return Qt::endl(stream);
}
#else
inline QTextStream &lineEnd(QTextStream &stream) {
    return endl(stream);
}
#endif

// Where the event happened, in the window's logical pixels, unrounded: Qt 6 calls it position(),
// Qt 5 localPos().
inline QPointF mousePosition(const QMouseEvent &event) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return event.position();
#else
    return event.localPos();
#endif
}

// Where a wheel turned, likewise: position() from Qt 5.14 on, posF() before.
inline QPointF wheelPosition(const QWheelEvent &event) {
#if QT_VERSION >= QT_VERSION_CHECK(5, 14, 0)
    return event.position();
#else
    return event.posF();
#endif
}

} // namespace qtcompat
