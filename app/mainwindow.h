#pragma once

#include "app/launchoptions.h"
#include "render/bodybatch.h"
#include "render/debuglayers.h"
#include "render/textpanel.h"
#include "replay/replayfile.h"
#include "session/session.h"
#include "ui/camera.h"
#include "ui/controls.h"
#include "ui/framestatistics.h"
#include "ui/lineprompt.h"
#include "ui/notice.h"
#include "ui/pointerinput.h"
#include "ui/statsoverlay.h"
#include "ui/stephistory.h"
#include "ui/steppacer.h"
#include "window/openglwindow.h"

#include <QElapsedTimer>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <optional> // std::optional
#include <utility>  // std::move
#include <vector>   // std::vector

class SessionRecorder;

// The demonstration's window: it builds its session's scene on the first frame and then advances
// it by one step per rendered frame (or at a fixed rate), draws every body through its camera,
// and maps the keys and the mouse onto the session, the camera and the drawings between steps.
class MainWindow : public OpenGLWindow {
public:
    explicit MainWindow(const LaunchOptions &options = LaunchOptions());
    ~MainWindow() override;

    // Null until the first frame has built the scene.
    const Session *session() const { return simulation ? &*simulation : nullptr; }
    bool paused() const { return isPaused; }
    const StatsOverlay &statistics() const { return overlay; }
    const Camera &view() const { return camera; }
    // The areas the panels covered in the last frame, in logical pixels.
    const std::vector<QRect> &panelAreas() const { return areas; }
    // The lines shown at the bottom: a replay playing, a prompt, what the window just did.
    QStringList statusLines() const;
    // Whether the state of a replay played in the window differed from the file's, at a
    // checkpoint or at its end; the program then ends with exit code 1.
    bool replayDiverged() const { return diverged.has_value(); }

    // Plays a recorded session of the window's scene from the first frame on and pauses at its
    // last step (or at --steps). Until then the person's inputs to the session are refused, so
    // the replay stays true; pausing, single steps, the view and the drawings work as usual.
    void play(Replay replay);
    // Starts from a saved state of the window's scene instead of its step 0; --steps then counts
    // from the state's step.
    void startFrom(SessionSnapshot state);
    // Hands every input the session takes, replayed ones included, to the recorder.
    void recordTo(SessionRecorder *sessionRecorder) { recorder = sessionRecorder; }

protected:
    void initialize() override;
    void render() override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    int stepsForThisFrame();
    void timedStep();
    void setPaused(bool paused);
    // The keys that act on the simulation.
    void run(KeyCommand command);
    // The keys that change the session: each an input, recorded, refused during a replay.
    void changeSession(KeyCommand command);
    // The keys that change only what is shown: panels, layers, the view; and Escape.
    void changeView(KeyCommand command);
    // Builds another scene at step 0, paused as it was; the solver stays if one was chosen.
    void switchScene(SceneKind kind, int circles);
    // The current scene with that many circles.
    void switchCircles(int circles);
    // pixels: the framebuffer's size, ratio device pixels to each logical pixel.
    void drawPanels(QSize pixels, double ratio);
    // A file's name or a number of circles, asked for at the bottom: the prompt opens with an
    // answer to edit, and Enter acts on it.
    void ask(KeyCommand command);
    void answerPrompt(QKeyEvent *event);
    void saveState(const QString &path);
    void openState(const QString &path);
    // The frame just drawn, into a file named by the time.
    void savePicture(QSize pixels);
    void saveScreenshot(QSize pixels);
    // After a step: a replayed input that cannot be played ends the program as a bad file
    // would, and the first state that differs from the file's is said in the window and on
    // standard error.
    void checkReplay();
    // While a replay plays, says that the person's inputs to the session are refused, and
    // returns true.
    bool refusedDuringReplay();

    LaunchOptions options;
    std::optional<Session> simulation;
    std::optional<Recording> replayToPlay;
    // The replay played: where it ends, and what the state there must hash to.
    long long replayLastStep = 0;
    std::optional<ReplayEnd> replayEnd;
    bool replayEndChecked = false;
    std::optional<Divergence> diverged;
    std::optional<SessionSnapshot> stateToStart;
    std::optional<PointerInput> pointer;
    SessionRecorder *recorder = nullptr;
    // Whether the command line or the S key chose the solver, which scene switches then keep.
    bool solverChosen;
    StepPacer pacer;
    FrameStatistics frameStatistics;
    StatsOverlay overlay;
    StepHistory history;
    TextPanel helpPanel;
    bool helpShown = false;
    TextPanel statusPanel;
    Notice notice;
    LinePrompt prompt;
    // What the prompt asks for: SaveState, OpenState or TypeCircles.
    KeyCommand asked = KeyCommand::None;
    // The state at the moment Ctrl+S was pressed, saved once its file is named.
    SessionSnapshot stateToSave;
    // The state file last saved or opened, offered when the next one is asked for.
    QString lastStateFile;
    bool pictureAsked = false;
    std::vector<QRect> areas;
    Camera camera;
    DebugLayers debugLayers;
    QElapsedTimer clock;
    bool isPaused;
    // Above 0: the step to pause at.
    long long stopAtStep;
    // The step whose frame --screenshot saves.
    long long screenshotStep;
    BodyBatch batch;
};
