#include "physics/replayplayer.h"

#include "physics/sandbox.h"

#include <utility> // std::move

ReplayPlayer::ReplayPlayer(Replay replay) : played(std::move(replay)) {}

void ReplayPlayer::giveDueInputs(Sandbox &sandbox, const InputTaken &taken) {
    const std::vector<ReplayInput> &inputs = played.inputs;
    for (; next < inputs.size() && inputs[next].step <= sandbox.totalSteps(); ++next) {
        const ReplayInput &input = inputs[next];
        bool took = true;
        if (input.kind == ReplayInput::Kind::Restart)
            sandbox.restart();
        else
            took = sandbox.spawn(input.position);
        if (took && taken)
            taken(input);
    }
}

void ReplayPlayer::playTo(Sandbox &sandbox, long long step) {
    giveDueInputs(sandbox);
    while (sandbox.totalSteps() < step) {
        sandbox.step();
        giveDueInputs(sandbox);
    }
}

bool ReplayPlayer::finished(const Sandbox &sandbox) const {
    return next == played.inputs.size() && sandbox.totalSteps() >= played.lastStep;
}
