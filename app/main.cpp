#include "app/launchoptions.h"
#include "app/mainwindow.h"
#include "app/sessionrecorder.h"
#include "physics/replayfile.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSurfaceFormat>

#include <cstdio>   // std::fputs, std::fprintf
#include <optional> // std::optional
#include <string>   // std::string
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

} // namespace

int main(int argc, char **argv) {
    // A first reading before the GUI starts, which needs a display: --help, --version, bad values
    // and bad replay files are answered without one.
    std::optional<Replay> replay;
    {
        const QCoreApplication core(argc, argv);
        const LaunchRequest request = readLaunchOptions(QCoreApplication::arguments(), false);
        if (request.outcome != LaunchRequest::Outcome::Run)
            return answer(request);
        const QString replayFile = request.options.replayFile;
        if (!replayFile.isEmpty()) {
            std::string error;
            replay = readReplayFile(replayFile, EndRecord::Optional, error);
            if (!replay) {
                std::fprintf(stderr, "%s\n", error.c_str());
                return 2;
            }
            if (const std::string warning = refusedSpawnsWarning(replayFile, *replay);
                !warning.empty())
                std::fprintf(stderr, "%s\n", warning.c_str());
        }
    }

    QGuiApplication app(argc, argv);
    // Qt has taken its own options out: whatever is left must be ours.
    const LaunchRequest request = readLaunchOptions(QCoreApplication::arguments(), true);
    if (request.outcome != LaunchRequest::Outcome::Run)
        return answer(request);
    LaunchOptions options = request.options;
    if (replay)
        options.scene = replay->scene;

    // Opened only now that every argument is known to be good, so a refused command line leaves
    // no file behind.
    SessionRecorder recorder;
    if (!options.recordFile.isEmpty()) {
        QString error;
        if (!recorder.open(options.recordFile, options.scene, error)) {
            std::fprintf(stderr, "rigid2d: %s\n", qPrintable(error));
            return 2;
        }
    }

    QSurfaceFormat format;
    format.setSamples(1);

    MainWindow window(options);
    if (replay)
        window.play(std::move(*replay));
    if (!options.recordFile.isEmpty())
        window.recordTo(&recorder);
    window.setFormat(format);
    window.resize(1280, 720);
    window.show();

    const int exitCode = app.exec();
    // A session that did not end well gets no end record, as after a crash.
    if (!options.recordFile.isEmpty() && exitCode == 0) {
        recorder.finish(window.simulation());
        if (recorder.failed())
            return 1;
    }
    return exitCode;
}
