#include "tools/tracecore.h"

#include "cli/fileargument.h"
#include "core/entityarray.h"
#include "physics/finitebodies.h"
#include "replay/replaycheck.h"
#include "session/session.h"
#include "state/statefile.h"
#include "text/scenetext.h"
#include "text/statetext.h"
#include "text/wholenumber.h"

#include <cstdio>  // std::fwrite, std::fflush, std::fprintf
#include <limits>  // std::numeric_limits
#include <utility> // std::move

namespace {

int printState(const Sandbox &sandbox) {
    const std::string text = stateText(sandbox.bodies());
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    // The listing shows them as nan or inf; this says so where a reader looks for trouble.
    if (const int nonFinite = countNonFiniteBodies(sandbox.bodies()); nonFinite > 0)
        std::fprintf(stderr,
                     "rigid2d-trace: warning: %d of %d bodies have a position or velocity that is "
                     "not finite; they have left the simulation\n",
                     nonFinite, sandbox.bodies().size());
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}

// Prints the state, and saves it too when asked to.
int finish(const Session &session, const std::string &saveFile) {
    if (!saveFile.empty()) {
        SessionSnapshot snapshot;
        session.take(snapshot);
        FileFault fault;
        if (!writeStateFile(saveFile, snapshot.sandbox, fault)) {
            std::fprintf(stderr, "rigid2d-trace: --save-state: %s\n", fault.message().c_str());
            return 1;
        }
    }
    return printState(session.sandbox());
}

// Plays the file to its end step and checks its checkpoints on the way and the hash there, or to
// stopAt, checking the checkpoints passed.
int replay(const std::string &path, std::optional<long long> stopAt, const std::string &saveFile) {
    std::optional<Replay> read =
        readReplayArgument(path, stopAt ? EndRecord::Optional : EndRecord::Required);
    if (!read)
        return 2;
    const std::optional<ReplayEnd> end = read->end;
    Session session(read->recording.scene);
    session.keepHistory(false);
    session.play(std::move(read->recording));
    session.playTo(stopAt ? *stopAt : end->step);
    if (reportReplayFault(path, session))
        return 2;
    warnOfRefusedSpawns(path, session);
    if (finish(session, saveFile) != 0)
        return 1;
    // Stopped early, the end record is not reached: only the checkpoints passed count.
    const std::optional<Divergence> diverged =
        replayDivergence(session, stopAt ? std::nullopt : end);
    if (!diverged)
        return 0;
    reportDivergence(*diverged);
    return 1;
}

// Steps on from a saved state.
int continueState(const TraceRequest &request) {
    const std::optional<SessionSnapshot> state = readStateArgument(request.loadFile);
    if (!state)
        return 2;
    Session session(state->sandbox.scene);
    session.keepHistory(false);
    session.restore(*state);
    session.playTo(state->sandbox.totalSteps + *request.steps);
    return finish(session, request.saveFile);
}

} // namespace

std::optional<TraceRequest> traceRequest(const TraceArguments &arguments, std::string &error) {
    TraceRequest request;
    const std::optional<Scene> scene = sceneFromArguments(arguments.scene, error);
    if (!scene)
        return std::nullopt;
    request.scene = *scene;
    const bool sceneOptions =
        arguments.scene.scene || arguments.scene.bodies || arguments.scene.solver;
    const std::vector<std::string> sceneOptionNames{"scene", "bodies", "solver"};
    request.replaying = arguments.replay.has_value();
    if (arguments.replay && sceneOptions)
        error = sceneFromFileMessage("replay", sceneOptionNames);
    else if (arguments.saveState && arguments.saveState->empty())
        error = emptyFileNameMessage("save-state");
    else if (arguments.loadState && arguments.loadState->empty())
        error = emptyFileNameMessage("load-state");
    else if (arguments.loadState && (arguments.replay || sceneOptions))
        error = sceneFromFileMessage("load-state", {"replay", "scene", "bodies", "solver"});
    if (!error.empty())
        return std::nullopt;
    request.replayFile = arguments.replay.value_or(std::string());
    request.saveFile = arguments.saveState.value_or(std::string());
    request.loadFile = arguments.loadState.value_or(std::string());
    const std::vector<std::string> &positional = arguments.positional;
    if (positional.size() > 1 || (positional.empty() && !request.replaying)) {
        error = "expects one number of steps";
        return std::nullopt;
    }
    if (!positional.empty()) {
        request.steps = wholeNumber(positional.front(), 0, std::numeric_limits<long long>::max());
        if (!request.steps) {
            error = notAStepCount(positional.front());
            return std::nullopt;
        }
    }
    return request;
}

std::string notAStepCount(const std::string &argument) {
    return "STEPS: expects a whole number, 0 or more, not \"" + argument + '"';
}

std::string traceUsage(const std::string &why) {
    const std::string scenes = sceneNamesAsChoice();
    return "usage: rigid2d-trace [--scene " + scenes +
           "] [--bodies N] [--save-state FILE] STEPS, rigid2d-trace --load-state FILE STEPS, or "
           "rigid2d-trace --replay FILE [STEPS] (" +
           why + ")";
}

int runTrace(const TraceRequest &request) {
    if (request.replaying)
        return replay(request.replayFile, request.steps, request.saveFile);
    if (!request.loadFile.empty())
        return continueState(request);
    Session session(request.scene);
    session.keepHistory(false);
    session.playTo(*request.steps);
    return finish(session, request.saveFile);
}
