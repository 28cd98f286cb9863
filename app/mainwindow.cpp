#include "app/mainwindow.h"

#include "cli/fileargument.h"
#include "cli/sceneoptions.h"
#include "render/framecapture.h"
#include "render/gl21.h"
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

#include <cstdio>  // std::fprintf
#include <string>  // std::string
#include <utility> // std::move

namespace {

// The keys' table numbers keys as Qt does.
static_assert(KeyCode::Escape == Qt::Key_Escape && KeyCode::Left == Qt::Key_Left &&
              KeyCode::Up == Qt::Key_Up && KeyCode::Right == Qt::Key_Right &&
              KeyCode::Down == Qt::Key_Down && KeyCode::PageUp == Qt::Key_PageUp &&
              KeyCode::PageDown == Qt::Key_PageDown && KeyCode::F1 == Qt::Key_F1 &&
              KeyCode::F12 == Qt::Key_F12 && KeyCode::Delete == Qt::Key_Delete);

WindowSize windowSize(QSize size) {
    return WindowSize{size.width(), size.height()};
}

WindowPoint windowPoint(QPointF position) {
    return WindowPoint{position.x(), position.y()};
}

PointerButton pointerButton(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return PointerButton::Left;
    case Qt::RightButton:
        return PointerButton::Right;
    default:
        return PointerButton::Other;
    }
}

} // namespace

MainWindow::MainWindow(const LaunchOptions &options)
    : options(options), frontEnd(options, [this] { return clock.nsecsElapsed(); }),
      screenshotStep(options.steps) {
    clock.start();
    frontEnd.stopAt(options.steps);
    frontEnd.afterEveryStep([this] { checkReplay(); });
    frontEnd.whenRefused([this] { sayRefused(); });
}

MainWindow::~MainWindow() = default;

void MainWindow::initialize() {
    if (const std::string missing = missingOpenGl(); !missing.empty()) {
        qCritical("%s", missing.c_str());
        QCoreApplication::exit(1);
        return;
    }
    Session &session = frontEnd.begin(options.scene, windowSize(geometry().size()));
    if (stateToStart)
        frontEnd.restore(*stateToStart);
    stateToStart.reset();
    session.recordTo(recorder);
    if (replayToPlay)
        session.play(std::move(*replayToPlay));
    replayToPlay.reset();
    checkReplay();
}

void MainWindow::render() {
    if (!frontEnd.session())
        return;
    const qreal ratio = devicePixelRatio();
    const QRect g = geometry();
    const QSize pixels(static_cast<int>(g.width() * ratio), static_cast<int>(g.height() * ratio));
    frontEnd.frame(pixels.width(), pixels.height());
    drawPanels(pixels, ratio);
    if (pictureAsked)
        savePicture(pixels);
    if (!options.screenshot.isEmpty() &&
        frontEnd.session()->sandbox().totalSteps() == screenshotStep)
        saveScreenshot(pixels);
}

void MainWindow::checkReplay() {
    const Session *simulation = frontEnd.session();
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

void MainWindow::sayRefused() {
    notice.show(
        QStringLiteral("the replay plays until step %1: no input before").arg(replayLastStep),
        clock.nsecsElapsed());
}

void MainWindow::startFrom(SessionSnapshot state) {
    if (options.steps > 0) {
        screenshotStep = state.sandbox.totalSteps + options.steps;
        frontEnd.stopAt(screenshotStep);
    }
    stateToStart = std::move(state);
}

void MainWindow::play(Replay replay) {
    const long long lastStep = replay.recording.lastStep;
    replayLastStep = lastStep;
    replayEnd = replay.end;
    replayToPlay = std::move(replay.recording);
    if (frontEnd.stoppingAt() > 0)
        return;
    if (lastStep > 0)
        frontEnd.stopAt(lastStep);
    else
        frontEnd.setPaused(true);
}

void MainWindow::drawPanels(QSize pixels, double ratio) {
    const bool statisticsShown = frontEnd.overlayShown();
    const OverlayFigures figures = statisticsShown ? frontEnd.figures() : OverlayFigures();
    const QStringList help = qtLines(controlsHelp());
    const PanelRoom statisticsRoom = [&](int size) { return StatsOverlay::room(figures, size); };
    const PanelRoom helpRoom = [&](int size) { return TextPanel::room(help, {}, size); };
    const QStringList status = statusLines();
    const PanelRoom statusRoom = [&](int size) { return TextPanel::room(status, {}, size); };
    const QSize logicalSize(static_cast<int>(pixels.width() / ratio),
                            static_cast<int>(pixels.height() / ratio));
    const PanelLayout layout = layOutPanels(
        logicalSize, statisticsShown ? statisticsRoom : PanelRoom(),
        frontEnd.helpShown() ? helpRoom : PanelRoom(), status.isEmpty() ? PanelRoom() : statusRoom);
    areas.clear();
    using Corner = TextPanel::Corner;
    if (layout.statusFontPixelSize > 0)
        areas.push_back(statusPanel.draw(status, pixels, ratio,
                                         {Corner::BottomLeft, layout.statusFontPixelSize}));
    if (layout.statistics)
        areas.push_back(overlay.draw(figures, frontEnd.history(),
                                     frontEnd.session()->sandbox().totalSteps(), pixels, ratio,
                                     {Corner::TopLeft, layout.fontPixelSize, layout.maxHeight}));
    if (layout.help)
        areas.push_back(helpPanel.draw(help, pixels, ratio,
                                       {Corner::TopRight, layout.fontPixelSize, layout.maxHeight}));
}

QStringList MainWindow::statusLines() const {
    QStringList lines;
    const Session *simulation = frontEnd.session();
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
    if (event->button() == Qt::RightButton)
        qDebug() << rightClickLine << qtcompat::lineEnd;
    if (!frontEnd.session() ||
        (event->button() == Qt::LeftButton && frontEnd.refusedDuringReplay()))
        return;
    frontEnd.pointer().press(pointerButton(event->button()),
                             windowPoint(qtcompat::mousePosition(*event)), windowSize(size()),
                             event->modifiers() & Qt::ShiftModifier);
}

void MainWindow::mouseMoveEvent(QMouseEvent *event) {
    if (frontEnd.session())
        frontEnd.pointer().move(windowPoint(qtcompat::mousePosition(*event)), windowSize(size()));
}

void MainWindow::mouseReleaseEvent(QMouseEvent *event) {
    if (frontEnd.session())
        frontEnd.pointer().release(pointerButton(event->button()));
}

void MainWindow::wheelEvent(QWheelEvent *event) {
    if (frontEnd.session())
        frontEnd.pointer().wheel(event->angleDelta().y() / 8.0,
                                 windowPoint(qtcompat::wheelPosition(*event)), windowSize(size()));
}

void MainWindow::keyPressEvent(QKeyEvent *event) {
    if (!frontEnd.session())
        return;
    if (prompt.isOpen()) {
        answerPrompt(event);
        return;
    }
    run(frontEnd.key(event->key(), event->modifiers() & Qt::ControlModifier));
}

void MainWindow::run(KeyCommand command) {
    switch (command) {
    case KeyCommand::TypeCircles:
        if (!frontEnd.refusedDuringReplay())
            ask(command);
        break;
    case KeyCommand::SavePicture:
        pictureAsked = true;
        break;
    case KeyCommand::SaveState:
        frontEnd.session()->take(stateToSave);
        ask(command);
        break;
    case KeyCommand::OpenState:
        if (recorder)
            notice.show(
                QStringLiteral("a recording cannot take a state opened: not while recording"),
                clock.nsecsElapsed());
        else if (!frontEnd.refusedDuringReplay())
            ask(command);
        break;
    case KeyCommand::Close:
        close();
        break;
    default:
        break;
    }
}

void MainWindow::ask(KeyCommand command) {
    asked = command;
    if (command == KeyCommand::TypeCircles) {
        prompt.open(QStringLiteral("circles, 0 to %1").arg(maxSceneCircles),
                    QString::number(frontEnd.session()->sandbox().scene().circles));
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
        frontEnd.switchCircles(static_cast<int>(*circles));
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
    frontEnd.restore(*state);
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
