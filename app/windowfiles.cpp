#include "app/windowfiles.h"

#include "cli/sceneoptions.h"
#include "render/framecapture.h"
#include "state/statefile.h"
#include "ui/frontend.h"
#include "ui/imagefile.h"
#include "ui/timedfilename.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cstdio>   // std::fprintf
#include <optional> // std::optional
#include <utility>  // std::move, std::exchange

namespace {

QString newFileName(const QString &extension) {
    return timedFileName(QDir::current(), QDateTime::currentDateTime(), extension);
}

} // namespace

WindowFiles::WindowFiles(FrontEnd &frontEnd, Say say) : frontEnd(frontEnd), say(std::move(say)) {}

WindowFiles::~WindowFiles() = default;

void WindowFiles::screenshotAt(const QString &path, long long step) {
    screenshotPath = path;
    screenshotStep = step;
}

void WindowFiles::run(KeyCommand command) {
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
        if (commandLineRecorder || keyRecorder)
            say(QStringLiteral("a recording cannot take a state opened: not while recording"));
        else if (!frontEnd.refusedDuringReplay())
            ask(command);
        break;
    case KeyCommand::ToggleRecording:
        if (commandLineRecorder)
            say(QStringLiteral("the session is recorded into the file of --record until the end"));
        else if (keyRecorder)
            endRecording();
        else
            startRecording();
        break;
    default:
        break;
    }
}

void WindowFiles::ask(KeyCommand command) {
    if (command == KeyCommand::TypeCircles) {
        ask(QStringLiteral("circles, 0 to %1").arg(maxSceneCircles),
            QString::number(frontEnd.session()->sandbox().scene().circles),
            [this](const QString &typed) { typeCircles(typed); });
        return;
    }
    const bool saving = command == KeyCommand::SaveState;
    const QString offered =
        saving || lastStateFile.isEmpty() ? newFileName(QStringLiteral(".state")) : lastStateFile;
    ask(saving ? QStringLiteral("save the state as") : QStringLiteral("open the state"), offered,
        [this, saving](const QString &path) { saving ? saveState(path) : openState(path); });
}

void WindowFiles::ask(const QString &question, const QString &offered, Answer answer) {
    answered = std::move(answer);
    prompt.open(question, offered);
}

void WindowFiles::answer(int key, bool control, const QString &text) {
    switch (prompt.key(key, control, text)) {
    case LinePrompt::Outcome::Editing:
        return;
    case LinePrompt::Outcome::Cancelled:
        say(QStringLiteral("nothing done"));
        return;
    case LinePrompt::Outcome::Accepted:
        break;
    }
    answered(prompt.text());
}

void WindowFiles::typeCircles(const QString &typed) {
    if (const std::optional<long long> circles = wholeNumber(typed.trimmed(), 0, maxSceneCircles))
        frontEnd.switchCircles(static_cast<int>(*circles));
    else
        say(QStringLiteral("expects a whole number from 0 to %1, not \"%2\"")
                .arg(maxSceneCircles)
                .arg(typed));
}

QStringList WindowFiles::statusLines() const {
    QStringList lines;
    if (keyRecorder)
        lines << QStringLiteral("recording into %1 (Ctrl+R stops)").arg(recordingPath);
    if (prompt.isOpen())
        lines << prompt.line()
              << QStringLiteral("Enter: go on, Escape: cancel, Ctrl+U: clear the line");
    return lines;
}

void WindowFiles::saveState(const QString &path) {
    FileFault fault;
    if (!writeStateFile(path.toLocal8Bit().toStdString(), stateToSave.sandbox, fault)) {
        say(QStringLiteral("could not save the state: %1")
                .arg(QString::fromStdString(fault.message())));
        return;
    }
    lastStateFile = path;
    say(QStringLiteral("saved the state of step %1 as %2")
            .arg(stateToSave.sandbox.sceneStep)
            .arg(path));
}

void WindowFiles::openState(const QString &path) {
    FileFault fault;
    const std::optional<SessionSnapshot> state =
        readStateFile(path.toLocal8Bit().toStdString(), fault);
    if (!state) {
        say(QStringLiteral("could not open: %1").arg(QString::fromStdString(fault.message())));
        return;
    }
    frontEnd.restore(*state);
    lastStateFile = path;
    say(QStringLiteral("opened %1 at step %2").arg(path).arg(state->sandbox.sceneStep));
}

// A replay of a recording started in the middle of a session has to rebuild the state it started
// at, so the file begins with the session's own start: its scene and every input since.
void WindowFiles::startRecording() {
    Session &session = *frontEnd.session();
    const std::optional<Recording> sofar = session.fromStart();
    if (!sofar) {
        say(QStringLiteral("a recording starts from a scene's step 0: not after a state opened"));
        return;
    }
    const QString path = newFileName(QStringLiteral(".replay"));
    auto recorder = std::make_unique<ReplayRecorder>("recording");
    FileFault fault;
    if (!recorder->open(path.toLocal8Bit().toStdString(), sofar->scene, fault)) {
        say(QStringLiteral("could not record: %1").arg(QString::fromStdString(fault.message())));
        return;
    }
    for (const SessionInput &input : sofar->inputs)
        recorder->record(input);
    if (recorder->failed()) {
        recorder.reset();
        QFile::remove(path);
        say(QStringLiteral("could not record into %1").arg(path));
        return;
    }
    session.recordTo(recorder.get());
    keyRecorder = std::move(recorder);
    recordingPath = path;
    say(QStringLiteral("recording from step 0 of the scene into %1").arg(path));
}

void WindowFiles::endRecording() {
    if (!keyRecorder)
        return;
    Session &session = *frontEnd.session();
    keyRecorder->finish(session.sandbox());
    session.recordTo(nullptr);
    const bool failed = keyRecorder->failed();
    keyRecorder.reset();
    say(failed ? QStringLiteral("could not write the recording %1").arg(recordingPath)
               : QStringLiteral("recorded steps 0 to %1 into %2")
                     .arg(session.sandbox().totalSteps())
                     .arg(recordingPath));
}

void WindowFiles::frameDrawn(QSize pixels) {
    if (pictureAsked)
        savePicture(pixels);
    if (!screenshotPath.isEmpty() && frontEnd.session()->sandbox().totalSteps() == screenshotStep)
        saveScreenshot(pixels);
}

void WindowFiles::savePicture(QSize pixels) {
    pictureAsked = false;
    const QString path = newFileName(QStringLiteral(".png"));
    const QImage image = captureFramebuffer(pixels);
    const QString fault =
        image.isNull() ? QStringLiteral("no picture to save") : saveImageFile(image, path);
    say(fault.isEmpty() ? QStringLiteral("saved the picture as %1").arg(path)
                        : QStringLiteral("could not save the picture %1: %2").arg(path, fault));
}

// Once: the program may draw another frame before it ends.
void WindowFiles::saveScreenshot(QSize pixels) {
    const QString path = std::exchange(screenshotPath, QString());
    const QImage image = captureFramebuffer(pixels);
    const QString fault =
        image.isNull() ? QStringLiteral("no picture to save") : saveImageFile(image, path);
    if (!fault.isEmpty()) {
        std::fprintf(stderr, "rigid2d: --screenshot: %s: %s\n", qPrintable(path),
                     qPrintable(fault));
        QCoreApplication::exit(1);
        return;
    }
    QCoreApplication::exit(0);
}
