#pragma once

#include "scenes/scene.h"
#include "ui/frontendoptions.h"

#include <QString>
#include <QStringList>

// What the command line asks of the demo window: how its front end starts (--solver, --paused,
// --overlay, --layers, --rate), and more. With no arguments: the designed demo, running, one step
// per displayed frame, until the window is closed.
struct LaunchOptions : FrontEndOptions {
    Scene scene;
    // When above 0: stop after this many steps.
    long long steps = 0;
    // When set (with steps): save the frame that shows the last step there, in the format of the
    // file's extension, and exit.
    QString screenshot;
    // When set: the recorded session to play; its scene replaces the one above.
    QString replayFile;
    // When set: where to record the session.
    QString recordFile;
    // When set: the saved state to start from; its scene replaces the one above.
    QString stateFile;
};

// The result of reading the command line: options to run with, or a reason to stop before any
// window opens.
struct LaunchRequest {
    enum class Outcome { Run, Help, Version, Error };
    Outcome outcome = Outcome::Run;
    LaunchOptions options;
    // For Help: the help text; for Error: one line naming the option and what it accepts.
    QString message;
};

// Reads the arguments (the program's name first) before QGuiApplication exists, which needs a
// display, so that --help, --version and every bad argument are answered without one. Qt's own
// options (-platform, -display, ...), which QGuiApplication and its platform plugins take out,
// are let through; any other unknown option or argument is an error.
LaunchRequest readLaunchOptions(const QStringList &arguments);
