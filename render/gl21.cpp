#include "render/gl21.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions_2_1>

QOpenGLFunctions_2_1 *currentGl21() {
    QOpenGLContext *context = QOpenGLContext::currentContext();
    return context ? context->versionFunctions<QOpenGLFunctions_2_1>() : nullptr;
}
