#pragma once

#include "app/launchoptions.h"
#include "app/windowfiles.h"
#include "app/windowsettings.h"
#include "render/textpanel.h"
#include "replay/replayfile.h"
#include "session/session.h"
#include "ui/frontend.h"
#include "ui/notice.h"
#include "ui/statsoverlay.h"
#include "window/openglwindow.h"

#include <QElapsedTimer>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <optional> // std::optional
#include <utility>  // std::move
#include <vector>   // std::vector

// The demonstration's window: it builds its session's scene on the first frame and then advances
// it by one step per rendered frame (or at a fixed rate), draws every body through its camera,
// and maps the keys and the mouse onto the session, the camera and the drawings between steps:
// the front end every front end shares, fed with Qt's events. The window adds its panels drawn
// over the frame, notices at the bottom, the files it saves and opens (see WindowFiles) and its
// settings panel.
class MainWindow : public OpenGLWindow {
public:
    explicit MainWindow(const LaunchOptions &options = LaunchOptions());
    ~MainWindow() override;

    // Null until the first frame has built the scene.
    const Session *session() const { return frontEnd.session(); }
    bool paused() const { return frontEnd.paused(); }
    bool overlayShown() const { return frontEnd.overlayShown(); }
    const StatsOverlay &statistics() const { return overlay; }
    const Camera &view() const { return frontEnd.view(); }
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
    void recordTo(SessionRecorder *sessionRecorder) { files.recordTo(sessionRecorder); }
    // Ends a recording started by key with the state of the moment, before the window goes.
    void endRecording() { files.endRecording(); }

protected:
    void initialize() override;
    void render() override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // pixels: the framebuffer's size, ratio device pixels to each logical pixel.
    void drawPanels(QSize pixels, double ratio);
    // After a step: a replayed input that cannot be played ends the program as a bad file
    // would, and the first state that differs from the file's is said in the window and on
    // standard error.
    void checkReplay();
    // Says that the person's inputs to the session are refused while a replay plays.
    void sayRefused();
    // A notice at the bottom for a few seconds.
    void say(const QString &text);

    LaunchOptions options;
    QElapsedTimer clock;
    FrontEnd frontEnd;
    std::optional<Recording> replayToPlay;
    // The replay played: where it ends, and what the state there must hash to.
    long long replayLastStep = 0;
    std::optional<ReplayEnd> replayEnd;
    bool replayEndChecked = false;
    std::optional<Divergence> diverged;
    std::optional<SessionSnapshot> stateToStart;
    StatsOverlay overlay;
    TextPanel helpPanel;
    TextPanel statusPanel;
    Notice notice;
    WindowFiles files;
    WindowSettings settings;
    std::vector<QRect> areas;
};
