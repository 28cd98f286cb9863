#include "app/launchoptions.h"
#include "app/mainwindow.h"
#include "cli/fileargument.h"
#include "render/bodydraw.h"
#include "replay/replayrecorder.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSurfaceFormat>

#include <cstdio>   // std::fputs, std::fprintf
#include <optional> // std::optional
#include <utility>  // std::move

namespace {

// Help and version on standard output with exit code 0; a bad argument as one line on standard
// error with exit code 2.
int answer(const LaunchRequest &request) {
    switch (request.outcome) {
    case LaunchRequest::Outcome::Help:
        std::fputs(qPrintable(request.message), stdout);
        return 0;
    case LaunchRequest::Outcome::Version:
        std::fputs("rigid2d " RIGID2D_VERSION "\n", stdout);
        return 0;
    default:
        std::fprintf(stderr, "rigid2d: %s\n", qPrintable(request.message));
        return 2;
    }
}

// What the command line asks for: the options, and the replay or the state named.
struct Launch {
    LaunchOptions options;
    std::optional<Replay> replay;
    std::optional<SessionSnapshot> state;
};

// Reads every argument and the files named before the GUI starts, which needs a display:
// --help, --version, bad arguments and bad files are answered without one. Sets exitCode when
// the program is to stop.
std::optional<Launch> checkBeforeTheGui(int argc, char **argv, int &exitCode) {
    const QCoreApplication core(argc, argv);
    const LaunchRequest request = readLaunchOptions(QCoreApplication::arguments());
    if (request.outcome != LaunchRequest::Outcome::Run) {
        exitCode = answer(request);
        return std::nullopt;
    }
    Launch launch{request.options, std::nullopt, std::nullopt};
    if (!launch.options.stateFile.isEmpty()) {
        launch.state = readStateArgument(launch.options.stateFile.toLocal8Bit().toStdString());
        if (!launch.state) {
            exitCode = 2;
            return std::nullopt;
        }
        launch.options.scene = launch.state->sandbox.scene;
    }
    if (!launch.options.replayFile.isEmpty()) {
        launch.replay = readReplayArgument(launch.options.replayFile.toLocal8Bit().toStdString(),
                                           EndRecord::Optional);
        if (!launch.replay) {
            exitCode = 2;
            return std::nullopt;
        }
        launch.options.scene = launch.replay->recording.scene;
    }
    return launch;
}

// Opened only once every argument is known to be good, so a refused command line leaves no file
// behind.
bool openRecording(ReplayRecorder &recorder, const LaunchOptions &options) {
    FileFault fault;
    if (recorder.open(options.recordFile.toLocal8Bit().toStdString(), options.scene, fault))
        return true;
    std::fprintf(stderr, "rigid2d: --record: cannot write \"%s\": %s\n",
                 qPrintable(options.recordFile), fault.what.c_str());
    return false;
}

} // namespace

int main(int argc, char **argv) {
    int exitCode = 0;
    std::optional<Launch> launch = checkBeforeTheGui(argc, argv, exitCode);
    if (!launch)
        return exitCode;
    const LaunchOptions &options = launch->options;
    std::optional<Replay> &replay = launch->replay;
    std::optional<SessionSnapshot> &state = launch->state;

    QGuiApplication app(argc, argv);
    // The window draws its bodies in batches; a body's own draw() draws it the same way.
    useOpenGLBodyDrawing();

    const bool recording = !options.recordFile.isEmpty();
    ReplayRecorder recorder;
    if (recording && !openRecording(recorder, options))
        return 2;

    QSurfaceFormat format;
    format.setSamples(1);
    MainWindow window(options);
    if (replay)
        window.play(std::move(*replay));
    if (state)
        window.startFrom(std::move(*state));
    if (recording)
        window.recordTo(&recorder);
    window.setFormat(format);
    window.resize(1280, 720);
    window.show();

    const int result = app.exec();
    if (result == 0)
        window.endRecording();
    const Session *session = window.session();
    if (session && !options.replayFile.isEmpty())
        warnOfRefusedSpawns(options.replayFile.toLocal8Bit().toStdString(), *session);
    // A session that did not end well gets no end record, as after a crash.
    if (session && recording && result == 0) {
        recorder.finish(session->sandbox());
        if (recorder.failed())
            return 1;
    }
    // Said when it happened; the program goes on, as a person may want to see what follows.
    if (result == 0 && window.replayDiverged())
        return 1;
    return result;
}
