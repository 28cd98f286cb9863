#include "window/openglwindow.h"

#include <QCoreApplication>
#include <QOpenGLContext>

OpenGLWindow::OpenGLWindow(QWindow *parent) : QWindow(parent) {
    setSurfaceType(QSurface::OpenGLSurface);
}

bool OpenGLWindow::event(QEvent *e) {
    if (e->type() == QEvent::UpdateRequest) {
        renderNow();
        return true;
    }
    return QWindow::event(e);
}

void OpenGLWindow::exposeEvent(QExposeEvent *) {
    if (isExposed())
        renderNow();
}

void OpenGLWindow::renderNow() {
    if (!isExposed())
        return;

    if (!context) {
        context = new QOpenGLContext(this);
        context->setFormat(requestedFormat());
        if (!context->create() || !context->makeCurrent(this)) {
            // Without a context nothing can be drawn: say so once and end with a failure code.
            qCritical("OpenGL context could not be created");
            QCoreApplication::exit(1);
            return;
        }
        initializeOpenGLFunctions();
        initialize();
    } else if (!context->isValid() || !context->makeCurrent(this)) {
        return; // a failed creation was reported already; a lost surface waits for an expose
    }

    render();
    context->swapBuffers(this);
    requestUpdate();
}
