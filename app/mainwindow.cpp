#include "app/mainwindow.h"

#include "cli/fileargument.h"
#include "render/gl21.h"
#include "ui/panellayout.h"
#include "ui/qtcompat.h"

#include <QCoreApplication>
#include <QDebug>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <string>  // std::string
#include <utility> // std::move

namespace {

// The keys' table numbers keys as Qt does.
static_assert(KeyCode::Escape == Qt::Key_Escape && KeyCode::Left == Qt::Key_Left &&
              KeyCode::Up == Qt::Key_Up && KeyCode::Right == Qt::Key_Right &&
              KeyCode::Down == Qt::Key_Down && KeyCode::PageUp == Qt::Key_PageUp &&
              KeyCode::PageDown == Qt::Key_PageDown && KeyCode::F1 == Qt::Key_F1 &&
              KeyCode::F2 == Qt::Key_F2 && KeyCode::F12 == Qt::Key_F12 &&
              KeyCode::Delete == Qt::Key_Delete);

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
      files(frontEnd, [this](const QString &text) { say(text); }),
      settings(frontEnd, files, [this](const QString &text) { say(text); }) {
    clock.start();
    if (!options.screenshot.isEmpty())
        files.screenshotAt(options.screenshot, options.steps);
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
    session.recordTo(files.recorder());
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
    files.frameDrawn(pixels);
}

void MainWindow::checkReplay() {
    const Session *simulation = frontEnd.session();
    if (reportReplayFault(options.replayFile.toLocal8Bit().toStdString(), *simulation)) {
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

void MainWindow::say(const QString &text) {
    notice.show(text, clock.nsecsElapsed());
}

void MainWindow::sayRefused() {
    say(QStringLiteral("the replay plays until step %1: no input before").arg(replayLastStep));
}

void MainWindow::startFrom(SessionSnapshot state) {
    if (options.steps > 0) {
        const long long lastStep = state.sandbox.totalSteps + options.steps;
        frontEnd.stopAt(lastStep);
        if (!options.screenshot.isEmpty())
            files.screenshotAt(options.screenshot, lastStep);
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
    // The settings panel takes the help's place while it is open.
    const bool helpShown = frontEnd.helpShown() || settings.isOpen();
    const QStringList help = settings.isOpen() ? settings.lines() : qtLines(controlsHelp());
    const PanelRoom statisticsRoom = [&](int size) { return StatsOverlay::room(figures, size); };
    const PanelRoom helpRoom = [&](int size) { return TextPanel::room(help, {}, size); };
    const QStringList status = statusLines();
    const PanelRoom statusRoom = [&](int size) { return TextPanel::room(status, {}, size); };
    const QSize logicalSize(static_cast<int>(pixels.width() / ratio),
                            static_cast<int>(pixels.height() / ratio));
    const PanelLayout layout = layOutPanels(
        logicalSize, statisticsShown ? statisticsRoom : PanelRoom(),
        helpShown ? helpRoom : PanelRoom(), status.isEmpty() ? PanelRoom() : statusRoom);
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
    lines << files.statusLines();
    if (const QString said = notice.text(clock.nsecsElapsed()); !said.isEmpty())
        lines << said;
    return lines;
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
    const bool control = event->modifiers() & Qt::ControlModifier;
    if (files.prompting()) {
        files.answer(event->key(), control, event->text());
        return;
    }
    if (settings.isOpen() && settings.key(event->key()))
        return;
    const KeyCommand command = frontEnd.key(event->key(), control);
    if (command == KeyCommand::Close)
        close();
    else if (command == KeyCommand::ToggleSettings)
        settings.toggle();
    else
        files.run(command);
}
