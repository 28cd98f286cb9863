#include "app/mainwindow.h"

#include "app/qtcompat.h"
#include "app/sandboxinput.h"
#include "core/entityarray.h"
#include "physics/finitebodies.h"
#include "physics/world.h"
#include "render/framecapture.h"

#include <QCoreApplication>
#include <QDebug>
#include <QKeyEvent>
#include <QMouseEvent>

#include <cstdio>  // std::fprintf
#include <utility> // std::move

MainWindow::MainWindow(const LaunchOptions &options)
    : options(options), pacer(options.rate), isPaused(options.paused), stopAtStep(options.steps) {
    if (options.overlay)
        overlay.toggle();
    clock.start();
}

MainWindow::~MainWindow() = default;

void MainWindow::initialize() {
    if (const QString missing = missingOpenGl(); !missing.isEmpty()) {
        qCritical("%s", qPrintable(missing));
        QCoreApplication::exit(1);
        return;
    }
    // Scene units are the window's logical pixels at start-up, origin bottom-left, y upward. The
    // view is never changed, so the picture stretches with the window.
    sceneSize = geometry().size();
    view = SceneView{0, static_cast<double>(sceneSize.width()), 0,
                     static_cast<double>(sceneSize.height())};
    simulation.emplace(options.scene);
    if (stateToStart)
        simulation->restore(*stateToStart);
    stateToStart.reset();
    simulation->recordTo(recorder);
    if (replayToPlay)
        simulation->play(std::move(*replayToPlay));
    replayToPlay.reset();
}

void MainWindow::render() {
    if (!simulation)
        return;
    const qreal ratio = devicePixelRatio();
    const QRect g = geometry();
    const QSize pixels(static_cast<int>(g.width() * ratio), static_cast<int>(g.height() * ratio));
    beginSceneFrame(pixels, view);

    for (int steps = stepsForThisFrame(); steps > 0; --steps)
        timedStep();
    batch.draw(simulation->sandbox().bodies(), view);

    frameStatistics.frameShown(clock.nsecsElapsed());
    if (overlay.shown())
        drawOverlay(pixels, ratio);
    if (!options.screenshot.isEmpty() && simulation->sandbox().totalSteps() == options.steps)
        saveScreenshot(pixels);
}

// One step per frame by design; a fixed rate when asked for; none while paused. The run pauses
// at the step the command line asked it to stop at, once.
int MainWindow::stepsForThisFrame() {
    if (isPaused)
        return 0;
    int steps = options.rate > 0 ? pacer.stepsForFrame(clock.nsecsElapsed()) : 1;
    const long long now = simulation->sandbox().totalSteps();
    if (stopAtStep > 0 && stopAtStep - now <= steps) {
        steps = static_cast<int>(stopAtStep - now);
        stopAtStep = 0;
        isPaused = true;
    }
    return steps;
}

void MainWindow::timedStep() {
    const long long start = clock.nsecsElapsed();
    simulation->step();
    frameStatistics.stepTaken(clock.nsecsElapsed() - start);
}

void MainWindow::play(Replay replay) {
    const long long lastStep = replay.lastStep;
    replayToPlay = std::move(replay);
    if (stopAtStep > 0)
        return;
    if (lastStep > 0)
        stopAtStep = lastStep;
    else
        isPaused = true;
}

void MainWindow::setPaused(bool paused) {
    isPaused = paused;
    if (!paused)
        pacer.restart(clock.nsecsElapsed());
}

void MainWindow::drawOverlay(QSize pixels, double ratio) {
    const Sandbox &sandbox = simulation->sandbox();
    OverlayFigures figures;
    figures.solver = solverName(sandbox.scene().solver);
    figures.step = sandbox.sceneStep();
    figures.bodies = sandbox.bodies().size();
    figures.full = sandbox.full();
    figures.contacts = sandbox.physics().contacts.size();
    figures.meanStepMicroseconds = frameStatistics.meanStepMicroseconds();
    figures.framesPerSecond = frameStatistics.framesPerSecond();
    figures.paused = isPaused;
    figures.nonFinite = countNonFiniteBodies(sandbox.bodies());
    overlay.draw(figures, pixels, ratio);
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
    else if (event->button() == Qt::LeftButton && simulation)
        simulation->spawn(scenePointAt(qtcompat::mousePosition(*event), size(), sceneSize));
}

void MainWindow::keyPressEvent(QKeyEvent *event) {
    if (!simulation)
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
        simulation->restart();
        break;
    case KeyCommand::SwitchSolver: {
        const bool designed = simulation->sandbox().scene().solver == World::Solver::Designed;
        simulation->switchSolver(designed ? World::Solver::Stable : World::Solver::Designed);
        break;
    }
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
