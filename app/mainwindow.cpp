#include "app/mainwindow.h"

#include "app/qtcompat.h"
#include "physics/baseentity.h"
#include "physics/scene.h"
#include "physics/world.h"
#include "render/gl21.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions_2_1>

namespace {

constexpr int entityCapacity = 1024;

} // namespace

MainWindow::MainWindow() : entities(entityCapacity), world(std::make_unique<World>()) {}

MainWindow::~MainWindow() {
    deleteEntities(entities);
}

void MainWindow::initialize() {
    QOpenGLFunctions_2_1 *gl = currentGl21();
    if (!gl) {
        const QSurfaceFormat format = QOpenGLContext::currentContext()->format();
        qCritical("OpenGL 2.1 compatibility context not available (got OpenGL %d.%d)",
                  format.majorVersion(), format.minorVersion());
        QCoreApplication::exit(1);
        return;
    }
    // Scene units are the window's logical pixels at start-up, origin bottom-left, y upward.
    // The projection is never set again, so the picture stretches with the window. No matrix
    // mode is selected: this multiplies the initial model-view matrix.
    const QRect g = geometry();
    gl->glOrtho(0, g.width(), 0, g.height(), -1, 1);
    populateDemoScene(entities);
}

void MainWindow::render() {
    QOpenGLFunctions_2_1 *gl = currentGl21();
    if (!gl)
        return;
    const qreal ratio = devicePixelRatio();
    const QRect g = geometry();
    gl->glViewport(0, 0, static_cast<int>(g.width() * ratio), static_cast<int>(g.height() * ratio));
    gl->glClearColor(1, 1, 1, 1);
    gl->glClear(GL_COLOR_BUFFER_BIT);

    world->step(entities);
    for (int i = 0; i < entities.size(); ++i)
        entities[i]->draw();
}

void MainWindow::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::RightButton)
        qDebug() << "Right mouse click!" << qtcompat::lineEnd;
}
