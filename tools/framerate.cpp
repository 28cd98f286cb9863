// Measures the frames per second of the demo window against a window of the same size that only
// clears and swaps, the fastest this render loop can go on this machine and display. The two run
// in turn, several rounds each, so a change in the machine's load touches both alike.
// Usage: rigid2d-framerate [SECONDS_PER_ROUND] [ROUNDS]   (default 2 and 3)

#include "app/mainwindow.h"
#include "window/openglwindow.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QOpenGLFunctions>
#include <QTest>
#include <cstdio> // std::printf

namespace {

// The render loop's floor: clear, nothing else.
class ClearWindow : public OpenGLWindow {
public:
    int frames = 0;

protected:
    void render() override {
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        ++frames;
    }
};

class CountingMainWindow : public MainWindow {
public:
    int frames = 0;

protected:
    void render() override {
        MainWindow::render();
        ++frames;
    }
};

template <typename Window> double framesPerSecond(Window &window, int milliseconds) {
    window.resize(1280, 720);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 0;
    QTest::qWait(200); // let the first frames settle
    const int start = window.frames;
    QElapsedTimer timer;
    timer.start();
    QTest::qWait(milliseconds);
    const double fps = (window.frames - start) * 1000.0 / timer.elapsed();
    window.hide();
    return fps;
}

} // namespace

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    const int milliseconds = args.size() > 1 ? static_cast<int>(args[1].toDouble() * 1000) : 2000;
    const int rounds = args.size() > 2 ? args[2].toInt() : 3;
    if (milliseconds <= 0 || rounds <= 0) {
        std::fprintf(stderr, "usage: rigid2d-framerate [SECONDS_PER_ROUND] [ROUNDS]\n");
        return 2;
    }

    QSurfaceFormat format;
    format.setSamples(1);
    ClearWindow clear;
    CountingMainWindow demo;
    clear.setFormat(format);
    demo.setFormat(format);

    double clearTotal = 0;
    double demoTotal = 0;
    for (int round = 0; round < rounds; ++round) {
        const double clearFps = framesPerSecond(clear, milliseconds);
        const double demoFps = framesPerSecond(demo, milliseconds);
        std::printf("round %d: clear-and-swap %.1f fps, demo %.1f fps\n", round + 1, clearFps,
                    demoFps);
        clearTotal += clearFps;
        demoTotal += demoFps;
    }
    std::printf(
        "mean: clear-and-swap %.1f fps, demo %.1f fps, demo at %.1f %% of the loop's limit\n",
        clearTotal / rounds, demoTotal / rounds, 100 * demoTotal / clearTotal);
    return 0;
}
