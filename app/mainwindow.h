#pragma once

#include "app/framestatistics.h"
#include "app/launchoptions.h"
#include "app/statsoverlay.h"
#include "app/steppacer.h"
#include "render/bodybatch.h"
#include "render/sceneframe.h"
#include "session/session.h"
#include "window/openglwindow.h"

#include <QElapsedTimer>
#include <QSize>

#include <optional> // std::optional
#include <utility>  // std::move

class SessionRecorder;

// The demonstration's window: it builds its session's scene on the first frame and then advances
// it by one step per rendered frame (or at a fixed rate), draws every body, and maps the keys and
// the mouse onto the session between steps.
class MainWindow : public OpenGLWindow {
public:
    explicit MainWindow(const LaunchOptions &options = LaunchOptions());
    ~MainWindow() override;

    // Null until the first frame has built the scene.
    const Session *session() const { return simulation ? &*simulation : nullptr; }
    bool paused() const { return isPaused; }
    const StatsOverlay &statistics() const { return overlay; }

    // Plays a recorded session of the window's scene from the first frame on and pauses at its
    // last step (or at --steps). Until then the person's spawns and restarts are refused, so the
    // replay stays true; pausing and single steps work as usual.
    void play(Replay replay);
    // Starts from a saved state of the window's scene instead of its step 0.
    void startFrom(SessionSnapshot state) { stateToStart = std::move(state); }
    // Hands every spawn and restart the session takes, replayed ones included, to the recorder.
    void recordTo(SessionRecorder *sessionRecorder) { recorder = sessionRecorder; }

protected:
    void initialize() override;
    void render() override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    int stepsForThisFrame();
    void timedStep();
    void setPaused(bool paused);
    // pixels: the framebuffer's size, ratio device pixels to each logical pixel.
    void drawOverlay(QSize pixels, double ratio);
    void saveScreenshot(QSize pixels);

    LaunchOptions options;
    std::optional<Session> simulation;
    std::optional<Replay> replayToPlay;
    std::optional<SessionSnapshot> stateToStart;
    SessionRecorder *recorder = nullptr;
    StepPacer pacer;
    FrameStatistics frameStatistics;
    StatsOverlay overlay;
    QElapsedTimer clock;
    bool isPaused;
    // Above 0: the step to pause at.
    long long stopAtStep;
    // The window's logical size when the scene was built: the extent of the scene units.
    QSize sceneSize;
    SceneView view;
    BodyBatch batch;
};
