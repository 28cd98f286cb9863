#include "render/gl21.h"

#include <QtGlobal>

// Qt 6 moved the versioned function tables out of QOpenGLContext into the QtOpenGL module.
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
#include <QOpenGLVersionFunctionsFactory>
#endif

Gl21 *currentGl21() {
    QOpenGLContext *current = QOpenGLContext::currentContext();
    if (!current)
        return nullptr;
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_2_1>(current);
#else
    return current->versionFunctions<QOpenGLFunctions_2_1>();
#endif
}

std::string missingOpenGl() {
    if (currentGl21())
        return std::string();
    const QOpenGLContext *context = QOpenGLContext::currentContext();
    const QSurfaceFormat format = context ? context->format() : QSurfaceFormat();
    return "OpenGL 2.1 compatibility context not available (got OpenGL " +
           std::to_string(format.majorVersion()) + "." + std::to_string(format.minorVersion()) +
           ")";
}

Gl21 *Gl21Cache::current() {
    QOpenGLContext *current = QOpenGLContext::currentContext();
    if (!current)
        return nullptr;
    if (current != context) {
        context = current;
        functions = currentGl21();
    }
    return functions;
}
