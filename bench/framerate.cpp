// Measures the frames per second of a scene's window against a window of the same size that only
// clears and swaps, the fastest this render loop can go on this machine and display, and the
// designed per-body drawing against the window's batched drawing. The windows run in turn,
// several rounds each, so a change in the machine's load touches all of them alike.
//
// Frames are paced by Qt's update requests, which wait Qt's idle time (5 ms unless
// QT_QPA_UPDATE_IDLE_TIME says otherwise) before the next frame. Qt reads that variable once, at
// start-up, so the unpaced figures come from a second run of this program with it set to 0.
// Usage: rigid2d-framerate [--scene demo|column|grid] [--bodies N] [SECONDS_PER_ROUND] [ROUNDS]

#include "app/launchoptions.h"
#include "app/mainwindow.h"
#include "cli/sceneoptions.h"
#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "render/bodydraw.h"
#include "render/sceneframe.h"
#include "session/session.h"
#include "window/openglwindow.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <cstdio>     // std::printf, std::fprintf, std::fflush
#include <ctime>      // clock_gettime
#include <functional> // std::function
#include <limits>     // std::numeric_limits
#include <optional>   // std::optional
#include <vector>     // std::vector

namespace {

const char idleTimeVariable[] = "QT_QPA_UPDATE_IDLE_TIME";

// One clock for every window, so frame times can be compared.
QElapsedTimer frameClock;

// The processor time this thread has used. The machine may be shared: time the thread waited
// for a processor would count against whichever part of the frame it fell in.
qint64 threadNs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// The frames a window has rendered and when it finished the last one.
struct FrameCount {
    int frames = 0;
    qint64 lastNs = 0;
    // Runs after every frame.
    std::function<void()> afterFrame;

    void tick() {
        ++frames;
        lastNs = frameClock.nsecsElapsed();
        if (afterFrame)
            afterFrame();
    }
};

// Runs Qt's event loop, as the program's own loop runs, for the given time or until the window
// has rendered the given number of frames. (QTest's waits sleep between their rounds of events,
// which would pace the frames.)
void runEventLoop(FrameCount &count, int milliseconds,
                  int untilFrames = std::numeric_limits<int>::max()) {
    QEventLoop loop;
    count.afterFrame = [&] {
        if (count.frames >= untilFrames)
            loop.quit();
    };
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    if (count.frames < untilFrames)
        loop.exec();
    count.afterFrame = nullptr;
}

// The render loop's floor: clear, nothing else.
class ClearWindow : public OpenGLWindow {
public:
    FrameCount count;

protected:
    void render() override {
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        count.tick();
    }
};

// The program's window, drawing all bodies at once; it also keeps the time each frame spends in
// the render hook (viewport, clear, step, drawing calls), in processor time.
class BatchedWindow : public MainWindow {
public:
    using MainWindow::MainWindow;
    FrameCount count;
    std::vector<qint64> renderNs;

protected:
    void render() override {
        const qint64 start = threadNs();
        MainWindow::render();
        renderNs.push_back(threadNs() - start);
        count.tick();
    }
};

// The program's window as it was designed to draw: the same scene, view and frame, with each
// body drawing itself.
class PerBodyWindow : public OpenGLWindow {
public:
    explicit PerBodyWindow(const Scene &scene) : session(scene) {}

    FrameCount count;

protected:
    void initialize() override {
        view = SceneView{0, static_cast<double>(width()), 0, static_cast<double>(height())};
    }

    void render() override {
        const qreal ratio = devicePixelRatio();
        beginSceneFrame(static_cast<int>(width() * ratio), static_cast<int>(height() * ratio),
                        view);
        session.step();
        const EntityArray &bodies = session.sandbox().bodies();
        for (int i = 0; i < bodies.size(); ++i)
            bodies[i]->draw();
        count.tick();
    }

private:
    Session session;
    SceneView view;
};

// A timed stretch of a window's frames: those numbered firstFrame to endFrame - 1, counting from
// 0, which ended within ns nanoseconds.
struct Span {
    int firstFrame = 0;
    int endFrame = 0;
    qint64 ns = 0;

    double framesPerSecond() const { return ns > 0 ? (endFrame - firstFrame) * 1e9 / ns : 0; }
};

// Shows the window and times its frames for about the given time, from the end of one frame to
// the end of a later one, so that even a window of one frame per second is measured fairly.
template <typename Window> Span timeFrames(Window &window, int milliseconds) {
    constexpr int slowestFrameMs = 60000;
    window.resize(1280, 720);
    window.show();
    Span span;
    if (!QTest::qWaitForWindowExposed(&window))
        return span;
    FrameCount &count = window.count;
    runEventLoop(count, 200); // let the first frames settle
    runEventLoop(count, slowestFrameMs, count.frames + 1);
    span.firstFrame = count.frames;
    const qint64 firstNs = count.lastNs;
    runEventLoop(count, milliseconds);
    // The span ends with the next frame, or with the last one if none comes.
    runEventLoop(count, slowestFrameMs, count.frames + 1);
    window.hide();
    span.endFrame = count.frames;
    span.ns = count.lastNs - firstNs;
    return span;
}

// What the step and the drawing take of the batched window's timed frames, in processor time.
// The drawing is the render hook's time less the step's; the step is timed again without a
// window, over the very steps from the very states the window took, since the step is
// deterministic. The rest of the frame goes to rasterising (on OpenGL's own threads, if it has
// them), swapping, waiting for the next update and waiting for a processor.
void printFrameShares(const Scene &scene, const BatchedWindow &window,
                      const std::vector<Span> &spans) {
    std::vector<bool> timed(window.renderNs.size());
    int frames = 0;
    qint64 frameNs = 0;
    qint64 renderNs = 0;
    for (const Span &span : spans) {
        frames += span.endFrame - span.firstFrame;
        frameNs += span.ns;
        for (int f = span.firstFrame; f < span.endFrame; ++f) {
            timed[f] = true;
            renderNs += window.renderNs[f];
        }
    }
    if (frames == 0)
        return;

    Session session(scene);
    qint64 stepNs = 0;
    for (const bool isTimed : timed) {
        const qint64 start = threadNs();
        session.step();
        if (isTimed)
            stepNs += threadNs() - start;
    }

    const double frameMs = frameNs * 1e-6 / frames;
    const double stepMs = stepNs * 1e-6 / frames;
    const double drawMs = (renderNs - stepNs) * 1e-6 / frames;
    const double restMs = frameMs - stepMs - drawMs;
    std::printf("  batched frame %.3f ms: step %.3f ms (%.1f %%), drawing calls %.3f ms "
                "(%.1f %%), the rest %.3f ms (%.1f %%)\n",
                frameMs, stepMs, 100 * stepMs / frameMs, drawMs, 100 * drawMs / frameMs, restMs,
                100 * restMs / frameMs);
}

// One line naming what is wrong with the command line.
std::nullopt_t reject(const QString &what) {
    std::fprintf(stderr, "rigid2d-framerate: %s\n", qPrintable(what));
    return std::nullopt;
}

// Measures this process's pacing and prints it.
void measure(const LaunchOptions &options, int milliseconds, int rounds, const QString &pacing) {
    const Scene &scene = options.scene;
    QSurfaceFormat format;
    format.setSamples(1);
    ClearWindow clear;
    PerBodyWindow perBody(scene);
    BatchedWindow batched(options);
    clear.setFormat(format);
    perBody.setFormat(format);
    batched.setFormat(format);

    std::printf("%s:\n", qPrintable(pacing));
    double clearTotal = 0;
    double perBodyTotal = 0;
    double batchedTotal = 0;
    std::vector<Span> batchedSpans;
    for (int round = 0; round < rounds; ++round) {
        const double clearFps = timeFrames(clear, milliseconds).framesPerSecond();
        const double perBodyFps = timeFrames(perBody, milliseconds).framesPerSecond();
        batchedSpans.push_back(timeFrames(batched, milliseconds));
        const double batchedFps = batchedSpans.back().framesPerSecond();
        std::printf("  round %d: clear-and-swap %.1f fps, per body %.1f fps, batched %.1f fps\n",
                    round + 1, clearFps, perBodyFps, batchedFps);
        std::fflush(stdout);
        clearTotal += clearFps;
        perBodyTotal += perBodyFps;
        batchedTotal += batchedFps;
    }
    const double clearFps = clearTotal / rounds;
    const double perBodyFps = perBodyTotal / rounds;
    const double batchedFps = batchedTotal / rounds;
    std::printf("  mean: clear-and-swap %.1f fps, per body %.1f fps (%.1f %%), batched %.1f fps "
                "(%.1f %%, %.2fx slower)\n",
                clearFps, perBodyFps, 100 * perBodyFps / clearFps, batchedFps,
                100 * batchedFps / clearFps, clearFps / batchedFps);
    printFrameShares(scene, batched, batchedSpans);
    std::fflush(stdout);
}

// This program once more with the idle time 0, its output passed through; its exit code.
int measureUnpacedInChild(const QStringList &arguments) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(idleTimeVariable), QStringLiteral("0"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit) {
        std::fprintf(stderr, "rigid2d-framerate: the unpaced run failed\n");
        return 1;
    }
    return child.exitCode();
}

// What the command line asks for.
struct Settings {
    LaunchOptions options;
    int milliseconds = 2000;
    int rounds = 3;
};

// Reads the command line. --help and --version print and exit; a bad argument prints one line and
// gives nothing.
std::optional<Settings> readSettings() {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Frames per second of a scene's window, drawing per body and batched, "
                       "against a window that only clears and swaps; paced by Qt's update "
                       "requests, then unpaced (%1=0) in a second run.")
            .arg(QString::fromLatin1(idleTimeVariable)));
    parser.addHelpOption();
    parser.addVersionOption();
    addSceneOptions(parser);
    parser.addOption({QStringLiteral("overlay"),
                      QStringLiteral("Show the statistics overlay in the batched window.")});
    parser.addOption({QStringLiteral("layers"),
                      QStringLiteral("Draw the contacts, bounds and velocities in the batched "
                                     "window.")});
    parser.addPositionalArgument(QStringLiteral("SECONDS"),
                                 QStringLiteral("Seconds each window is timed per round "
                                                "(default 2)."),
                                 QStringLiteral("[SECONDS]"));
    parser.addPositionalArgument(QStringLiteral("ROUNDS"),
                                 QStringLiteral("Rounds of all windows (default 3)."),
                                 QStringLiteral("[ROUNDS]"));
    if (!parser.parse(QCoreApplication::arguments()))
        return reject(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();

    Settings settings;
    QString error;
    const std::optional<Scene> scene = readSceneOptions(parser, error);
    if (!scene)
        return reject(error);
    settings.options.scene = *scene;
    settings.options.overlay = parser.isSet(QStringLiteral("overlay"));
    settings.options.layers = parser.isSet(QStringLiteral("layers"));
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 2)
        return reject(QStringLiteral("expects at most SECONDS and ROUNDS"));
    if (!positional.isEmpty()) {
        bool ok = false;
        const double seconds = positional[0].toDouble(&ok);
        if (!ok || !(seconds >= 0.1 && seconds <= 3600))
            return reject(QStringLiteral("SECONDS: expects a number from 0.1 to 3600, not \"%1\"")
                              .arg(positional[0]));
        settings.milliseconds = static_cast<int>(seconds * 1000);
    }
    if (positional.size() > 1) {
        const std::optional<long long> count = wholeNumber(positional[1], 1, 1000);
        if (!count)
            return reject(QStringLiteral("ROUNDS: expects a whole number from 1 to 1000, not "
                                         "\"%1\"")
                              .arg(positional[1]));
        settings.rounds = static_cast<int>(*count);
    }
    return settings;
}

} // namespace

int main(int argc, char **argv) {
    std::optional<Settings> settings;
    {
        // Read before the GUI starts, which needs a display: --help, --version and bad arguments
        // are answered without one.
        const QCoreApplication core(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("rigid2d-framerate"));
        QCoreApplication::setApplicationVersion(QStringLiteral(RIGID2D_VERSION));
        settings = readSettings();
        if (!settings)
            return 2;
    }
    QGuiApplication app(argc, argv);
    // The per-body window draws through the bodies' own draw().
    useOpenGLBodyDrawing();
    const LaunchOptions &options = settings->options;
    const int milliseconds = settings->milliseconds;
    const int rounds = settings->rounds;

    frameClock.start();
    const QByteArray idleTime = qgetenv(idleTimeVariable);
    if (idleTime == "0") {
        measure(options, milliseconds, rounds,
                QStringLiteral("unpaced (%1=0)").arg(QString::fromLatin1(idleTimeVariable)));
        return 0;
    }
    std::printf("scene %s, %d bodies, %d rounds of %.1f s per window\n",
                options.scene.label().c_str(), options.scene.bodyCount(), rounds,
                milliseconds / 1000.0);
    measure(options, milliseconds, rounds,
            idleTime.isEmpty()
                ? QStringLiteral("paced (Qt's update requests)")
                : QStringLiteral("paced (%1=%2)")
                      .arg(QString::fromLatin1(idleTimeVariable), QString::fromLatin1(idleTime)));
    return measureUnpacedInChild(QCoreApplication::arguments().mid(1));
}
