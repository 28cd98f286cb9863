#include "render/gl21.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions_2_1>
#include <QtGlobal>

// Qt 6 moved the versioned function tables out of QOpenGLContext into the QtOpenGL module.
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
#include <QOpenGLVersionFunctionsFactory>
#endif

QOpenGLFunctions_2_1 *currentGl21() {
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (!context)
        return nullptr;
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_2_1>(context);
#else
    return context->versionFunctions<QOpenGLFunctions_2_1>();
#endif
}
