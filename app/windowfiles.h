#pragma once

#include "replay/replayrecorder.h"
#include "session/sessionhistory.h"
#include "ui/controls.h"
#include "ui/lineprompt.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <functional> // std::function
#include <memory>     // std::unique_ptr

class FrontEnd;
class SessionRecorder;

// What the window does with files, and the prompt at its bottom that asks for a file's name (or
// for a number of circles, or a setting's value): Ctrl+S saves the state of the moment, Ctrl+O
// opens one, F12 saves the picture shown, Ctrl+R starts and stops a recording into a new file named
// by the time, and
// --screenshot saves the frame of its step and ends the program. Each says what it did through
// the say function, for the window to show.
class WindowFiles {
public:
    using Say = std::function<void(const QString &)>;
    using Answer = std::function<void(const QString &)>;

    WindowFiles(FrontEnd &frontEnd, Say say);
    ~WindowFiles();

    // The recorder of --record, which every input goes to from the session's start.
    void recordTo(SessionRecorder *recorder) { commandLineRecorder = recorder; }
    SessionRecorder *recorder() const { return commandLineRecorder; }
    // The frame that shows step is saved as path, and the program ends.
    void screenshotAt(const QString &path, long long step);

    // Acts on the keys of files and of the prompt (SaveState, OpenState, SavePicture,
    // ToggleRecording, TypeCircles); ignores the others.
    void run(KeyCommand command);
    // While the prompt is open every key goes to answer(): Qt's key code, Ctrl held or not, and
    // the text the key types.
    bool prompting() const { return prompt.isOpen(); }
    // Opens the prompt with question and text to edit; Enter hands what was typed to answer.
    void ask(const QString &question, const QString &offered, Answer answer);
    void answer(int key, bool control, const QString &text);
    // A line while a recording started by key goes on, and the prompt's while it is open.
    QStringList statusLines() const;
    // After a frame has been drawn into a framebuffer of pixels: saves the picture asked for.
    void frameDrawn(QSize pixels);
    // Ends a recording started by key with the state of the moment: when the window closes.
    void endRecording();

private:
    void ask(KeyCommand command);
    void typeCircles(const QString &typed);
    void saveState(const QString &path);
    void openState(const QString &path);
    // The frame just drawn, into a file named by the time.
    void savePicture(QSize pixels);
    void saveScreenshot(QSize pixels);
    void startRecording();

    FrontEnd &frontEnd;
    Say say;
    SessionRecorder *commandLineRecorder = nullptr;
    // The recording started by Ctrl+R, and its file.
    std::unique_ptr<ReplayRecorder> keyRecorder;
    QString recordingPath;
    LinePrompt prompt;
    // What acts on the prompt's answer.
    Answer answered;
    // The state at the moment Ctrl+S was pressed, saved once its file is named.
    SessionSnapshot stateToSave;
    // The state file last saved or opened, offered when the next one is asked for.
    QString lastStateFile;
    bool pictureAsked = false;
    QString screenshotPath;
    long long screenshotStep = 0;
};
