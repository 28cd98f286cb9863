#include "app/mainwindow.h"

#include <QGuiApplication>
#include <QSurfaceFormat>

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);

    QSurfaceFormat format;
    format.setSamples(1);

    MainWindow window;
    window.setFormat(format);
    window.resize(1280, 720);
    window.show();

    return app.exec();
}
