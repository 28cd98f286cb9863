#include "web/webpage.h"

#include "replay/replaycheck.h"
#include "state/statefile.h"
#include "text/statetext.h"

#include <emscripten.h>

#include <fstream>  // std::ifstream
#include <iterator> // std::istreambuf_iterator
#include <sstream>  // std::istringstream

namespace {

// Where the page records its session: a file in Emscripten's memory file system.
constexpr char recordingPath[] = "/session.replay";

long long nowNs() {
    return static_cast<long long>(emscripten_get_now() * 1e6);
}

} // namespace

WebPage::WebPage(const Scene &scene, const FrontEndOptions &options, WindowSize sceneSize)
    : front(options, nowNs), designedSize(sceneSize) {
    front.afterEveryStep([this] {
        median.add(front.lastStepNanoseconds());
        checkReplay();
    });
    startSession(scene);
}

Session &WebPage::startSession(const Scene &scene) {
    Session &session = front.begin(scene, designedSize);
    recorder = std::make_unique<ReplayRecorder>();
    FileFault fault;
    if (!recorder->open(recordingPath, scene, fault))
        message = fault.message();
    session.recordTo(recorder.get());
    return session;
}

OverlayFigures WebPage::figures() const {
    OverlayFigures figures = front.figures();
    figures.medianStepMicroseconds = median.microseconds();
    figures.medianSteps = static_cast<int>(median.steps());
    return figures;
}

void WebPage::frame(int pixelWidth, int pixelHeight) {
    front.frame(pixelWidth, pixelHeight);
}

std::string WebPage::open(const std::string &name, const std::string &text) {
    std::istringstream input(text);
    FileFault fault;
    if (text.compare(0, std::string(stateHeaderLine).size(), stateHeaderLine) == 0) {
        std::optional<SessionSnapshot> state = readState(input, name, fault);
        if (!state)
            return fault.message();
        startSession(state->sandbox.scene).restore(*state);
        replayEnd.reset();
        message = name + ": the saved state at step " + std::to_string(state->sandbox.totalSteps);
        return std::string();
    }
    std::optional<Replay> replay = readReplay(input, name, EndRecord::Optional, fault);
    if (!replay)
        return fault.message();
    const long long lastStep = replay->recording.lastStep;
    replayName = name;
    replayEnd = replay->end;
    replayChecked = false;
    startSession(replay->recording.scene).play(std::move(replay->recording));
    // As the desktop plays a replay: running, and paused at its last step.
    front.stopAt(lastStep);
    front.setPaused(lastStep == 0);
    message = name + ": playing to step " + std::to_string(lastStep);
    checkReplay();
    return std::string();
}

// Once the replay has been played: whether it went as recorded, as rigid2d-trace checks it.
void WebPage::checkReplay() {
    const Session &session = *front.session();
    if (replayChecked)
        return;
    if (session.replayFault()) {
        message = replayFaultMessage(replayName, *session.replayFault());
        replayChecked = true;
        return;
    }
    if (session.replaying())
        return;
    replayChecked = true;
    const std::optional<Divergence> diverged = replayDivergence(session, replayEnd);
    message = diverged ? divergenceMessage(*diverged)
                       : replayName + ": played to step " +
                             std::to_string(session.sandbox().totalSteps()) + ", hash " +
                             hashDigits(stateHash(session.sandbox().bodies()));
}

std::string WebPage::recording() const {
    std::ifstream file(recordingPath, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const Sandbox &sandbox = front.session()->sandbox();
    return text + replayEndLine(ReplayEnd{sandbox.totalSteps(), stateHash(sandbox.bodies())});
}
