#include "app/mainwindow.h"

#include "cli/fileargument.h"
#include "cli/sceneoptions.h"
#include "core/entityarray.h"
#include "physics/finitebodies.h"
#include "physics/world.h"
#include "render/framecapture.h"
#include "render/sceneframe.h"
#include "state/statefile.h"
#include "ui/imagefile.h"
#include "ui/panellayout.h"
#include "ui/qtcompat.h"
#include "ui/timedfilename.h"

#include <QCoreApplication>
#include <QDebug>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm> // std::min, std::max
#include <cmath>     // std::pow
#include <cstdio>    // std::fprintf
#include <utility>   // std::move

namespace {

// Zoom of the + and - keys: four presses double or halve the scale.
const double keyZoom = std::pow(2.0, 0.25);
// Share of the view the arrow keys move it by.
constexpr double keyPan = 0.1;
// Steps of Page Up and Page Down.
constexpr int stepsPerPage = 60;

} // namespace

MainWindow::MainWindow(const LaunchOptions &options)
    : options(options), solverChosen(options.solverChosen), pacer(options.rate),
      isPaused(options.paused), stopAtStep(options.steps), screenshotStep(options.steps) {
    if (options.overlay)
        overlay.toggle();
    if (options.layers) {
        for (const DebugLayers::Layer layer :
             {DebugLayers::Contacts, DebugLayers::Bounds, DebugLayers::Velocities})
            debugLayers.toggle(layer);
    }
    clock.start();
}

MainWindow::~MainWindow() = default;

void MainWindow::initialize() {
    if (const QString missing = missingOpenGl(); !missing.isEmpty()) {
        qCritical("%s", qPrintable(missing));
        QCoreApplication::exit(1);
        return;
    }
    // Scene units are the window's logical pixels at start-up, origin bottom-left, y upward.
    camera.reset(geometry().size());
    simulation.emplace(options.scene);
    if (stateToStart)
        simulation->restore(*stateToStart);
    stateToStart.reset();
    pointer.emplace(*simulation, camera);
    simulation->recordTo(recorder);
    if (replayToPlay)
        simulation->play(std::move(*replayToPlay));
    replayToPlay.reset();
    checkReplay();
}

void MainWindow::render() {
    if (!simulation)
        return;
    const qreal ratio = devicePixelRatio();
    const QRect g = geometry();
    const QSize pixels(static_cast<int>(g.width() * ratio), static_cast<int>(g.height() * ratio));
    beginSceneFrame(pixels, camera.view());

    for (int steps = stepsForThisFrame(); steps > 0; --steps)
        timedStep();
    const Sandbox &sandbox = simulation->sandbox();
    batch.draw(sandbox.bodies(), camera.view());
    debugLayers.draw(sandbox.bodies(), sandbox.physics().contacts);

    frameStatistics.frameShown(clock.nsecsElapsed());
    drawPanels(pixels, ratio);
    if (pictureAsked)
        savePicture(pixels);
    if (!options.screenshot.isEmpty() && sandbox.totalSteps() == screenshotStep)
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
    const long long took = clock.nsecsElapsed() - start;
    frameStatistics.stepTaken(took);
    if (overlay.shown())
        history.add(simulation->sandbox().totalSteps(), took / 1e3,
                    kineticEnergy(simulation->sandbox().bodies()));
    checkReplay();
}

void MainWindow::checkReplay() {
    if (reportReplayFault(options.replayFile, *simulation)) {
        QCoreApplication::exit(2);
        return;
    }
    if (diverged)
        return;
    diverged = simulation->divergence();
    // The end record is the state after the inputs of its step, before the person's own.
    if (!diverged && replayEnd && !replayEndChecked && !simulation->replaying() &&
        simulation->sandbox().totalSteps() == replayEnd->step) {
        replayEndChecked = true;
        diverged = divergenceAtEnd(*replayEnd, *simulation);
    }
    if (diverged)
        reportDivergence(*diverged);
}

bool MainWindow::refusedDuringReplay() {
    if (!simulation->replaying())
        return false;
    notice.show(
        QStringLiteral("the replay plays until step %1: no input before").arg(replayLastStep),
        clock.nsecsElapsed());
    return true;
}

void MainWindow::startFrom(SessionSnapshot state) {
    if (options.steps > 0) {
        stopAtStep = state.sandbox.totalSteps + options.steps;
        screenshotStep = stopAtStep;
    }
    stateToStart = std::move(state);
}

void MainWindow::play(Replay replay) {
    const long long lastStep = replay.recording.lastStep;
    replayLastStep = lastStep;
    replayEnd = replay.end;
    replayToPlay = std::move(replay.recording);
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

void MainWindow::drawPanels(QSize pixels, double ratio) {
    const Sandbox &sandbox = simulation->sandbox();
    OverlayFigures figures;
    if (overlay.shown()) {
        figures.scene = sandbox.scene().label();
        figures.solver = solverName(sandbox.scene().solver);
        figures.step = sandbox.sceneStep();
        figures.bodies = sandbox.bodies().size();
        figures.full = sandbox.full();
        figures.contacts = static_cast<int>(sandbox.physics().contacts.size());
        figures.meanStepMicroseconds = frameStatistics.meanStepMicroseconds();
        figures.framesPerSecond = frameStatistics.framesPerSecond();
        figures.paused = isPaused;
        figures.nonFinite = countNonFiniteBodies(sandbox.bodies());
    }
    const PanelRoom statisticsRoom = [&](int size) { return StatsOverlay::room(figures, size); };
    const PanelRoom helpRoom = [](int size) { return TextPanel::room(controlsHelp(), {}, size); };
    const QStringList status = statusLines();
    const PanelRoom statusRoom = [&](int size) { return TextPanel::room(status, {}, size); };
    const QSize logicalSize(static_cast<int>(pixels.width() / ratio),
                            static_cast<int>(pixels.height() / ratio));
    const PanelLayout layout = layOutPanels(
        logicalSize, overlay.shown() ? statisticsRoom : PanelRoom(),
        helpShown ? helpRoom : PanelRoom(), status.isEmpty() ? PanelRoom() : statusRoom);
    areas.clear();
    using Corner = TextPanel::Corner;
    if (layout.statusFontPixelSize > 0)
        areas.push_back(statusPanel.draw(status, pixels, ratio,
                                         {Corner::BottomLeft, layout.statusFontPixelSize}));
    if (layout.statistics)
        areas.push_back(overlay.draw(figures, history, sandbox.totalSteps(), pixels, ratio,
                                     {Corner::TopLeft, layout.fontPixelSize, layout.maxHeight}));
    if (layout.help)
        areas.push_back(helpPanel.draw(controlsHelp(), pixels, ratio,
                                       {Corner::TopRight, layout.fontPixelSize, layout.maxHeight}));
}

QStringList MainWindow::statusLines() const {
    QStringList lines;
    if (simulation && simulation->replaying())
        lines << QStringLiteral("replay: step %1 of %2")
                     .arg(simulation->sandbox().totalSteps())
                     .arg(replayLastStep);
    if (diverged)
        lines << QStringLiteral("the replay diverged at step %1").arg(diverged->step);
    if (prompt.isOpen())
        lines << prompt.line()
              << QStringLiteral("Enter: go on, Escape: cancel, Ctrl+U: clear the line");
    if (const QString said = notice.text(clock.nsecsElapsed()); !said.isEmpty())
        lines << said;
    return lines;
}

void MainWindow::saveScreenshot(QSize pixels) {
    const QImage image = captureFramebuffer(pixels);
    const QString fault = image.isNull() ? QStringLiteral("no picture to save")
                                         : saveImageFile(image, options.screenshot);
    if (!fault.isEmpty()) {
        std::fprintf(stderr, "rigid2d: --screenshot: could not write \"%s\": %s\n",
                     qPrintable(options.screenshot), qPrintable(fault));
        QCoreApplication::exit(1);
        return;
    }
    QCoreApplication::exit(0);
}

// Input acts between steps: events are handled between frames, and so between steps. Nothing
// acts before the scene exists.
void MainWindow::mousePressEvent(QMouseEvent *event) {
    if (pointer && event->button() == Qt::LeftButton && refusedDuringReplay())
        return;
    if (pointer)
        pointer->press(event->button(), qtcompat::mousePosition(*event), size());
    else if (event->button() == Qt::RightButton)
        qDebug() << "Right mouse click!" << qtcompat::lineEnd;
}

void MainWindow::mouseMoveEvent(QMouseEvent *event) {
    if (pointer)
        pointer->move(qtcompat::mousePosition(*event), size());
}

void MainWindow::mouseReleaseEvent(QMouseEvent *event) {
    if (pointer)
        pointer->release(event->button());
}

void MainWindow::wheelEvent(QWheelEvent *event) {
    if (pointer)
        pointer->wheel(event->angleDelta().y() / 8.0, qtcompat::wheelPosition(*event), size());
}

void MainWindow::keyPressEvent(QKeyEvent *event) {
    if (!simulation)
        return;
    if (prompt.isOpen()) {
        answerPrompt(event);
        return;
    }
    // A scene whose count is fixed takes its own; the others the count shown now.
    if (const std::optional<SceneKind> kind = sceneForKey(event->key())) {
        if (!refusedDuringReplay())
            switchScene(*kind, simulation->sandbox().scene().circles);
    } else {
        run(commandForKey(event->key(), event->modifiers() & Qt::ControlModifier));
    }
}

// The keys that act on the simulation; the others only change what is shown.
void MainWindow::run(KeyCommand command) {
    switch (command) {
    case KeyCommand::TogglePause:
        setPaused(!isPaused);
        break;
    case KeyCommand::StepOnce:
        if (isPaused)
            timedStep();
        break;
    case KeyCommand::StepBack:
    case KeyCommand::BackSixty:
        // Going back is exact: the state at that step, as it was first reached.
        if (isPaused)
            simulation->stepBack(command == KeyCommand::StepBack ? 1 : stepsPerPage);
        break;
    case KeyCommand::ForwardSixty:
        for (int s = 0; isPaused && s < stepsPerPage; ++s)
            timedStep();
        break;
    case KeyCommand::Restart:
    case KeyCommand::SwitchSolver:
    case KeyCommand::HalveCircles:
    case KeyCommand::DoubleCircles:
    case KeyCommand::TypeCircles:
        if (!refusedDuringReplay())
            changeSession(command);
        break;
    default:
        changeView(command);
        break;
    }
}

void MainWindow::changeSession(KeyCommand command) {
    const Scene &scene = simulation->sandbox().scene();
    switch (command) {
    case KeyCommand::Restart:
        simulation->restart();
        break;
    case KeyCommand::SwitchSolver:
        if (simulation->switchSolver(scene.solver == World::Solver::Designed
                                         ? World::Solver::Stable
                                         : World::Solver::Designed))
            solverChosen = true;
        break;
    case KeyCommand::HalveCircles:
    case KeyCommand::DoubleCircles:
        switchCircles(std::max(command == KeyCommand::DoubleCircles
                                   ? std::min(scene.circles * 2, maxSceneCircles)
                                   : scene.circles / 2,
                               1));
        break;
    case KeyCommand::TypeCircles:
        ask(command);
        break;
    default:
        break;
    }
}

void MainWindow::changeView(KeyCommand command) {
    switch (command) {
    case KeyCommand::ToggleOverlay:
        overlay.toggle();
        break;
    case KeyCommand::ToggleHelp:
        helpShown = !helpShown;
        break;
    case KeyCommand::ToggleContacts:
        debugLayers.toggle(DebugLayers::Contacts);
        break;
    case KeyCommand::ToggleBounds:
        debugLayers.toggle(DebugLayers::Bounds);
        break;
    case KeyCommand::ToggleVelocities:
        debugLayers.toggle(DebugLayers::Velocities);
        break;
    case KeyCommand::PanLeft:
    case KeyCommand::PanRight:
        camera.pan(command == KeyCommand::PanLeft ? -keyPan : keyPan, 0);
        break;
    case KeyCommand::PanUp:
    case KeyCommand::PanDown:
        camera.pan(0, command == KeyCommand::PanDown ? -keyPan : keyPan);
        break;
    case KeyCommand::ZoomIn:
    case KeyCommand::ZoomOut:
        camera.zoomAboutCentre(command == KeyCommand::ZoomIn ? keyZoom : 1 / keyZoom);
        break;
    case KeyCommand::ResetView:
        camera.reset();
        break;
    case KeyCommand::FrameAll:
        camera.frame(simulation->sandbox().bodies());
        break;
    case KeyCommand::SavePicture:
        pictureAsked = true;
        break;
    case KeyCommand::SaveState:
        simulation->take(stateToSave);
        ask(command);
        break;
    case KeyCommand::OpenState:
        if (recorder)
            notice.show(
                QStringLiteral("a recording cannot take a state opened: not while recording"),
                clock.nsecsElapsed());
        else if (!refusedDuringReplay())
            ask(command);
        break;
    case KeyCommand::Close:
        close();
        break;
    default:
        break;
    }
}

void MainWindow::switchScene(SceneKind kind, int circles) {
    const SceneKindInfo &info = sceneKindInfo(kind);
    Scene scene{kind, info.takesCount ? circles : info.defaultCircles, info.defaultSolver};
    if (solverChosen)
        scene.solver = simulation->sandbox().scene().solver;
    simulation->switchScene(scene);
}

// The demo's layout with another count is the column.
void MainWindow::switchCircles(int circles) {
    const SceneKind kind = simulation->sandbox().scene().kind;
    const SceneKindInfo &info = sceneKindInfo(kind);
    switchScene(info.takesCount || circles == info.defaultCircles ? kind : SceneKind::Column,
                circles);
}

void MainWindow::ask(KeyCommand command) {
    asked = command;
    if (command == KeyCommand::TypeCircles) {
        prompt.open(QStringLiteral("circles, 0 to %1").arg(maxSceneCircles),
                    QString::number(simulation->sandbox().scene().circles));
        return;
    }
    const QString offered =
        command == KeyCommand::SaveState || lastStateFile.isEmpty()
            ? timedFileName(QDir::current(), QDateTime::currentDateTime(), QStringLiteral(".state"))
            : lastStateFile;
    prompt.open(command == KeyCommand::SaveState ? QStringLiteral("save the state as")
                                                 : QStringLiteral("open the state"),
                offered);
}

void MainWindow::answerPrompt(QKeyEvent *event) {
    switch (prompt.key(event->key(), event->modifiers() & Qt::ControlModifier, event->text())) {
    case LinePrompt::Outcome::Editing:
        return;
    case LinePrompt::Outcome::Cancelled:
        notice.show(QStringLiteral("nothing done"), clock.nsecsElapsed());
        return;
    case LinePrompt::Outcome::Accepted:
        break;
    }
    if (asked == KeyCommand::SaveState)
        saveState(prompt.text());
    else if (asked == KeyCommand::OpenState)
        openState(prompt.text());
    else if (const std::optional<long long> circles =
                 wholeNumber(prompt.text().trimmed(), 0, maxSceneCircles))
        switchCircles(static_cast<int>(*circles));
    else
        notice.show(QStringLiteral("expects a whole number from 0 to %1, not \"%2\"")
                        .arg(maxSceneCircles)
                        .arg(prompt.text()),
                    clock.nsecsElapsed());
}

void MainWindow::saveState(const QString &path) {
    FileFault fault;
    if (!writeStateFile(path.toLocal8Bit().toStdString(), stateToSave.sandbox, fault)) {
        notice.show(QStringLiteral("could not save the state: %1")
                        .arg(QString::fromStdString(fault.message())),
                    clock.nsecsElapsed());
        return;
    }
    lastStateFile = path;
    notice.show(QStringLiteral("saved the state of step %1 as %2")
                    .arg(stateToSave.sandbox.sceneStep)
                    .arg(path),
                clock.nsecsElapsed());
}

void MainWindow::openState(const QString &path) {
    FileFault fault;
    const std::optional<SessionSnapshot> state =
        readStateFile(path.toLocal8Bit().toStdString(), fault);
    if (!state) {
        notice.show(
            QStringLiteral("could not open: %1").arg(QString::fromStdString(fault.message())),
            clock.nsecsElapsed());
        return;
    }
    simulation->restore(*state);
    history.clear();
    lastStateFile = path;
    notice.show(QStringLiteral("opened %1 at step %2").arg(path).arg(state->sandbox.sceneStep),
                clock.nsecsElapsed());
}

void MainWindow::savePicture(QSize pixels) {
    pictureAsked = false;
    const QString path =
        timedFileName(QDir::current(), QDateTime::currentDateTime(), QStringLiteral(".png"));
    const QImage image = captureFramebuffer(pixels);
    const QString fault =
        image.isNull() ? QStringLiteral("no picture to save") : saveImageFile(image, path);
    notice.show(fault.isEmpty() ? QStringLiteral("saved the picture as %1").arg(path)
                                : QStringLiteral("could not save the picture: %1").arg(fault),
                clock.nsecsElapsed());
}
