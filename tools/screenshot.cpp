// Saves a PNG of the whole screen of the current X display: how the run script shows, on a
// machine without a monitor, what the demo drew in its virtual X server.

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio> // std::fprintf

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: rigid2d-screenshot FILE.png\n");
        return 2;
    }
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    if (shot.isNull() || !shot.save(args.at(1), "PNG")) {
        std::fprintf(stderr, "rigid2d-screenshot: could not write %s\n", qPrintable(args.at(1)));
        return 1;
    }
    return 0;
}
