#include "app/launchoptions.h"
#include "app/mainwindow.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSurfaceFormat>

#include <cstdio> // std::fputs, std::fprintf

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
    // A first reading before the GUI starts, which needs a display: --help, --version and bad
    // values are answered without one.
    {
        const QCoreApplication core(argc, argv);
        const LaunchRequest request = readLaunchOptions(QCoreApplication::arguments(), false);
        if (request.outcome != LaunchRequest::Outcome::Run)
            return answer(request);
    }

    QGuiApplication app(argc, argv);
    // Qt has taken its own options out: whatever is left must be ours.
    const LaunchRequest request = readLaunchOptions(QCoreApplication::arguments(), true);
    if (request.outcome != LaunchRequest::Outcome::Run)
        return answer(request);

    QSurfaceFormat format;
    format.setSamples(1);

    MainWindow window(request.options);
    window.setFormat(format);
    window.resize(1280, 720);
    window.show();

    return app.exec();
}
