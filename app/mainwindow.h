#pragma once

#include "app/framestatistics.h"
#include "app/launchoptions.h"
#include "app/statsoverlay.h"
#include "app/steppacer.h"
#include "physics/replayplayer.h"
#include "physics/sandbox.h"
#include "render/bodybatch.h"
#include "window/openglwindow.h"

#include <QElapsedTimer>
#include <QSize>

#include <optional> // std::optional

class EntityArray;
class SessionRecorder;
class World;

// The demonstration's window: it owns the scene being simulated, builds it on the first frame
// and then advances it by one step per rendered frame (or at a fixed rate), draws every body,
// and answers the keys and the mouse between steps.
class MainWindow : public OpenGLWindow {
public:
    explicit MainWindow(const LaunchOptions &options = LaunchOptions());
    ~MainWindow() override;

    const EntityArray &bodies() const { return sandbox.bodies(); }
    const World &physics() const { return sandbox.physics(); }
    const Sandbox &simulation() const { return sandbox; }
    bool paused() const { return isPaused; }
    bool overlayShown() const { return overlay.shown(); }

    // Plays a recorded session of the window's scene from the first frame on and pauses at its
    // last step (or at --steps). Until then the person's spawns and restarts are ignored, so the
    // replay stays true; pausing and single steps work as usual.
    void play(Replay replay);
    bool replaying() const;
    // Hands every spawn and restart the sandbox takes, replayed ones included, to the recorder.
    void recordTo(SessionRecorder *sessionRecorder) { recorder = sessionRecorder; }

protected:
    void initialize() override;
    void render() override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    int stepsForThisFrame();
    void timedStep();
    void giveReplayInputs();
    void record(const ReplayInput &input);
    void setPaused(bool paused);
    // pixels: the framebuffer's size, ratio device pixels to each logical pixel.
    void drawOverlay(QSize pixels, double ratio);
    void saveScreenshot(QSize pixels);

    LaunchOptions options;
    Sandbox sandbox;
    StepPacer pacer;
    FrameStatistics statistics;
    StatsOverlay overlay;
    std::optional<ReplayPlayer> player;
    SessionRecorder *recorder = nullptr;
    QElapsedTimer clock;
    bool isPaused;
    // Above 0: the step to pause at.
    long long stopAtStep;
    // The window's logical size when the scene was built: the extent of the scene units.
    QSize sceneSize;
    BodyBatch batch;
};
