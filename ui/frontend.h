#pragma once

#include "render/bodybatch.h"
#include "render/debuglayers.h"
#include "session/session.h"
#include "ui/camera.h"
#include "ui/controls.h"
#include "ui/framestatistics.h"
#include "ui/frontendoptions.h"
#include "ui/overlaylines.h"
#include "ui/pointerinput.h"
#include "ui/stephistory.h"
#include "ui/steppacer.h"

#include <functional> // std::function
#include <optional>   // std::optional

// What every front end of a session does, the desktop window and the web page alike, whatever
// draws its panels and wherever its events come from: it advances its session by one step per
// frame (or at a fixed rate), draws the bodies and the layers through its camera, and maps the
// keys and the pointer onto the session, the camera and the drawings, between steps.
class FrontEnd {
public:
    // now: a monotonic clock in nanoseconds.
    FrontEnd(const FrontEndOptions &options, std::function<long long()> now);

    // Builds the session's scene, in a window of sceneSize logical pixels: the designed view.
    Session &begin(const Scene &scene, WindowSize sceneSize);
    // Null until begin().
    Session *session() { return simulation ? &*simulation : nullptr; }
    const Session *session() const { return simulation ? &*simulation : nullptr; }
    // Called after every step, for a front end to act on what the step did.
    void afterEveryStep(std::function<void()> stepped) { afterStep = std::move(stepped); }

    // One frame into the current context's framebuffer, pixelWidth by pixelHeight: the steps due
    // now, then the bodies and the layers that are shown.
    void frame(int pixelWidth, int pixelHeight);
    // One step, timed for the statistics (and the plots, while the overlay is shown).
    void timedStep();
    // How long the last step took.
    long long lastStepNanoseconds() const { return lastStepNs; }

    // Acts on a key (see KeyCode), with Ctrl held or not, and returns its command. The commands
    // that need more than the session and the view (Close, TypeCircles, SaveState, OpenState,
    // SavePicture, ToggleRecording, ToggleSettings) are left to the front end.
    KeyCommand key(int keyCode, bool control);
    // Called when a person's input to the session is refused because a replay plays.
    void whenRefused(std::function<void()> refused) { onRefused = std::move(refused); }
    // Whether a replay plays, so the person's inputs to the session are refused (see
    // whenRefused()).
    bool refusedDuringReplay();
    // Builds scene at step 0, as the keys 1, 2, 3, [ and ] do; with solverChosen its solver
    // stays when the keys switch scenes later. False when the session refuses (a replay playing).
    bool choose(const Scene &scene, bool solverChosen);
    // The current scene with that many circles (the demo's layout with another count is the
    // column).
    void switchCircles(int circles);
    // Puts the session back to a state taken before or saved; the plots forget their past. R
    // goes back to that state from then on, instead of to step 0 of the scene.
    void restore(const SessionSnapshot &state);
    PointerInput &pointer() { return *pointing; }

    bool paused() const { return isPaused; }
    void setPaused(bool paused);
    // Pauses after step, the step count since the start (0: never).
    void stopAt(long long step) { stopAtStep = step; }
    long long stoppingAt() const { return stopAtStep; }
    bool overlayShown() const { return overlayOn; }
    bool helpShown() const { return helpOn; }
    // The overlay's figures as measured now; needs begin().
    OverlayFigures figures() const;
    const StepHistory &history() const { return steps; }
    const Camera &view() const { return camera; }

private:
    int stepsForThisFrame();
    // The keys that act on the simulation.
    void run(KeyCommand command);
    // The keys that change the session: each an input, recorded, refused during a replay.
    void changeSession(KeyCommand command);
    // The keys that change only what is shown: panels, layers, the view.
    void changeView(KeyCommand command);
    // Builds another scene at step 0, paused as it was; the solver stays if one was chosen.
    void switchScene(SceneKind kind, int circles);

    std::function<long long()> now;
    std::function<void()> afterStep;
    std::function<void()> onRefused;
    std::optional<Session> simulation;
    std::optional<PointerInput> pointing;
    bool solverChosen;
    StepPacer pacer;
    bool pacing;
    FrameStatistics frameStatistics;
    bool overlayOn;
    StepHistory steps;
    bool helpOn = false;
    Camera camera;
    DebugLayers debugLayers;
    bool isPaused;
    long long stopAtStep = 0;
    // Where R goes back to: the state opened last, if any.
    std::optional<SessionSnapshot> restartState;
    // The share of a step carried over from frame to frame in slow motion.
    double slowSteps = 0;
    long long lastStepNs = 0;
    BodyBatch batch;
};
