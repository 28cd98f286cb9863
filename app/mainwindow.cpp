#include "app/mainwindow.h"

#include "app/qtcompat.h"
#include "app/sandboxinput.h"
#include "app/sessionrecorder.h"
#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "physics/finitebodies.h"
#include "physics/world.h"
#include "render/framecapture.h"
#include "render/gl21.h"

#include <QCoreApplication>
#include <QDebug>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions_2_1>

#include <cstdio>  // std::fprintf
#include <utility> // std::move

MainWindow::MainWindow(const LaunchOptions &options)
    : options(options), sandbox(options.scene), pacer(options.rate), isPaused(options.paused),
      stopAtStep(options.steps) {
    if (options.overlay)
        overlay.toggle();
    clock.start();
}

MainWindow::~MainWindow() = default;

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
    sceneSize = g.size();
    sandbox.restart();
    giveReplayInputs();
}

void MainWindow::render() {
    QOpenGLFunctions_2_1 *gl = currentGl21();
    if (!gl)
        return;
    const qreal ratio = devicePixelRatio();
    const QRect g = geometry();
    const QSize pixels(static_cast<int>(g.width() * ratio), static_cast<int>(g.height() * ratio));
    gl->glViewport(0, 0, pixels.width(), pixels.height());
    gl->glClearColor(1, 1, 1, 1);
    gl->glClear(GL_COLOR_BUFFER_BIT);

    for (int steps = stepsForThisFrame(); steps > 0; --steps)
        timedStep();
    batch.draw(sandbox.bodies());

    statistics.frameShown(clock.nsecsElapsed());
    if (overlay.shown())
        drawOverlay(pixels, ratio);
    if (!options.screenshot.isEmpty() && sandbox.totalSteps() == options.steps)
        saveScreenshot(pixels);
}

// One step per frame by design; a fixed rate when asked for; none while paused. The run pauses
// at the step the command line asked it to stop at, once.
int MainWindow::stepsForThisFrame() {
    if (isPaused)
        return 0;
    int steps = options.rate > 0 ? pacer.stepsForFrame(clock.nsecsElapsed()) : 1;
    if (stopAtStep > 0 && stopAtStep - sandbox.totalSteps() <= steps) {
        steps = static_cast<int>(stopAtStep - sandbox.totalSteps());
        stopAtStep = 0;
        isPaused = true;
    }
    return steps;
}

void MainWindow::timedStep() {
    const long long start = clock.nsecsElapsed();
    sandbox.step();
    statistics.stepTaken(clock.nsecsElapsed() - start);
    giveReplayInputs();
}

void MainWindow::play(Replay replay) {
    const long long lastStep = replay.lastStep;
    player.emplace(std::move(replay));
    if (stopAtStep > 0)
        return;
    if (lastStep > 0)
        stopAtStep = lastStep;
    else
        isPaused = true;
}

bool MainWindow::replaying() const {
    return player && !player->finished(sandbox);
}

void MainWindow::giveReplayInputs() {
    if (player)
        player->giveDueInputs(sandbox, [this](const ReplayInput &input) { record(input); });
}

void MainWindow::record(const ReplayInput &input) {
    if (recorder)
        recorder->record(input);
}

void MainWindow::setPaused(bool paused) {
    isPaused = paused;
    if (!paused)
        pacer.restart(clock.nsecsElapsed());
}

void MainWindow::drawOverlay(QSize pixels, double ratio) {
    OverlayFigures figures;
    figures.step = sandbox.sceneStep();
    figures.bodies = sandbox.bodies().size();
    figures.full = sandbox.full();
    figures.contacts = sandbox.physics().contacts.size();
    figures.meanStepMicroseconds = statistics.meanStepMicroseconds();
    figures.framesPerSecond = statistics.framesPerSecond();
    figures.paused = isPaused;
    figures.nonFinite = countNonFiniteBodies(sandbox.bodies());
    overlay.draw(overlayLines(figures), pixels, ratio);
}

void MainWindow::saveScreenshot(QSize pixels) {
    const QImage image = captureFramebuffer(pixels);
    if (image.isNull() || !image.save(options.screenshot, "PNG")) {
        std::fprintf(stderr, "rigid2d: --screenshot: could not write \"%s\"\n",
                     qPrintable(options.screenshot));
        QCoreApplication::exit(1);
        return;
    }
    QCoreApplication::exit(0);
}

// Input acts between steps: events are handled between frames, and so between steps. Nothing
// acts before the scene exists.
void MainWindow::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::RightButton)
        qDebug() << "Right mouse click!" << qtcompat::lineEnd;
    else if (event->button() == Qt::LeftButton && sceneSize.isValid() && !replaying()) {
        const Vec2 position = scenePointAt(qtcompat::mousePosition(*event), size(), sceneSize);
        if (sandbox.spawn(position))
            record(ReplayInput{sandbox.totalSteps(), ReplayInput::Kind::Spawn, position});
    }
}

void MainWindow::keyPressEvent(QKeyEvent *event) {
    if (!sceneSize.isValid())
        return;
    switch (commandForKey(event->key())) {
    case KeyCommand::TogglePause:
        setPaused(!isPaused);
        break;
    case KeyCommand::StepOnce:
        if (isPaused)
            timedStep();
        break;
    case KeyCommand::Restart:
        if (replaying())
            break;
        sandbox.restart();
        record(ReplayInput{sandbox.totalSteps(), ReplayInput::Kind::Restart, Vec2()});
        break;
    case KeyCommand::ToggleOverlay:
        overlay.toggle();
        break;
    case KeyCommand::Close:
        close();
        break;
    case KeyCommand::None:
        break;
    }
}
