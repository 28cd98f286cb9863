#include "render/sceneframe.h"

#include "render/gl21.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions_2_1>

void beginSceneFrame(QSize pixels, const SceneView &view) {
    QOpenGLFunctions_2_1 *gl = currentGl21();
    if (!gl)
        return;
    gl->glViewport(0, 0, pixels.width(), pixels.height());
    gl->glClearColor(1, 1, 1, 1);
    gl->glClear(GL_COLOR_BUFFER_BIT);
    // The view on the model-view matrix, the projection left as the identity.
    gl->glMatrixMode(GL_MODELVIEW);
    gl->glLoadIdentity();
    gl->glOrtho(view.left, view.right, view.bottom, view.top, -1, 1);
}

QString missingOpenGl() {
    if (currentGl21())
        return QString();
    const QOpenGLContext *context = QOpenGLContext::currentContext();
    const QSurfaceFormat format = context ? context->format() : QSurfaceFormat();
    return QStringLiteral("OpenGL 2.1 compatibility context not available (got OpenGL %1.%2)")
        .arg(format.majorVersion())
        .arg(format.minorVersion());
}
