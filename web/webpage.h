#pragma once

#include "replay/replayrecorder.h"
#include "ui/frontend.h"
#include "ui/stepmedian.h"

#include <memory> // std::unique_ptr
#include <string> // std::string
#include <vector> // std::vector

// The web page's front end: the shared FrontEnd in a canvas, recording every session it runs in
// the page's memory so that it can be downloaded, and opening replays and saved states given as
// text (picked, dropped or carried by a link). What the page shows besides the canvas (overlay,
// help, plots, messages) is HTML, written from what this gives.
class WebPage {
public:
    // sceneSize: the canvas's size in logical (CSS) pixels when the page starts.
    WebPage(const Scene &scene, const FrontEndOptions &options, WindowSize sceneSize);

    FrontEnd &frontEnd() { return front; }
    // The overlay's figures, with the median step time the page measures.
    OverlayFigures figures() const;
    // One frame into the canvas's framebuffer.
    void frame(int pixelWidth, int pixelHeight);

    // Opens a replay or a saved state, told apart by its first line, named name in messages. On
    // a fault, returns "NAME:LINE: what is wrong", as the desktop says it, and changes nothing.
    std::string open(const std::string &name, const std::string &text);
    // The session recorded since the page started or last opened a file, with an end record for
    // the current step: a replay file.
    std::string recording() const;
    // What the page says about the session: a replay playing, its outcome, a fault; or nothing.
    const std::string &status() const { return message; }

private:
    // A new session of scene, recorded from its start.
    Session &startSession(const Scene &scene);
    void checkReplay();

    FrontEnd front;
    StepMedian median;
    WindowSize designedSize;
    std::unique_ptr<ReplayRecorder> recorder;
    // The replay being played, named as it was opened, and its end.
    std::string replayName;
    std::optional<ReplayEnd> replayEnd;
    bool replayChecked = true;
    std::string message;
};
