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

// A first reading before the GUI starts, which needs a display: --help, --version, bad values
// and bad replay or state files are answered without one. Sets exitCode when the program is to
// stop.
std::optional<Replay> checkBeforeTheGui(int argc, char **argv,
                                        std::optional<SessionSnapshot> &state,
                                        std::optional<int> &exitCode) {
    const QCoreApplication core(argc, argv);
    const LaunchRequest request = readLaunchOptions(QCoreApplication::arguments(), false);
    if (request.outcome != LaunchRequest::Outcome::Run) {
        exitCode = answer(request);
        return std::nullopt;
    }
    if (!request.options.stateFile.isEmpty()) {
        state = readStateArgument(request.options.stateFile);
        if (!state)
            exitCode = 2;
        return std::nullopt;
    }
    const QString replayFile = request.options.replayFile;
    if (replayFile.isEmpty())
        return std::nullopt;
    std::optional<Replay> replay = readReplayArgument(replayFile, EndRecord::Optional);
    if (!replay)
        exitCode = 2;
    return replay;
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
    std::optional<int> exitCode;
    std::optional<SessionSnapshot> state;
    std::optional<Replay> replay = checkBeforeTheGui(argc, argv, state, exitCode);
    if (exitCode)
        return *exitCode;

    QGuiApplication app(argc, argv);
    // The window draws its bodies in batches; a body's own draw() draws it the same way.
    useOpenGLBodyDrawing();
    // Qt has taken its own options out: whatever is left must be ours.
    const LaunchRequest request = readLaunchOptions(QCoreApplication::arguments(), true);
    if (request.outcome != LaunchRequest::Outcome::Run)
        return answer(request);
    LaunchOptions options = request.options;
    if (replay)
        options.scene = replay->recording.scene;
    if (state)
        options.scene = state->sandbox.scene;

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
    const Session *session = window.session();
    if (session && !options.replayFile.isEmpty())
        warnOfRefusedSpawns(options.replayFile, *session);
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
