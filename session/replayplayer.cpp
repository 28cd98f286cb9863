#include "session/replayplayer.h"

#include <algorithm> // std::lower_bound, std::upper_bound, std::min
#include <utility>   // std::move

ReplayPlayer::ReplayPlayer(Recording recording) : played(std::move(recording)) {}

const SessionInput *ReplayPlayer::nextDue(long long step) {
    if (next == played.inputs.size() || played.inputs[next].step > step)
        return nullptr;
    return &played.inputs[next++];
}

bool ReplayPlayer::finished(long long step) const {
    return next == played.inputs.size() && step >= played.lastStep;
}

const Checkpoint *ReplayPlayer::checkpointAt(long long step) const {
    const std::vector<Checkpoint> &checkpoints = played.checkpoints;
    const auto found = std::lower_bound(
        checkpoints.begin(), checkpoints.end(), step,
        [](const Checkpoint &checkpoint, long long s) { return checkpoint.step < s; });
    return found != checkpoints.end() && found->step == step ? &*found : nullptr;
}

void ReplayPlayer::seek(std::size_t cursor) {
    next = std::min(cursor, played.inputs.size());
}

void ReplayPlayer::rewindTo(long long step) {
    const std::vector<SessionInput> &inputs = played.inputs;
    const auto after =
        std::upper_bound(inputs.begin(), inputs.end(), step,
                         [](long long s, const SessionInput &input) { return s < input.step; });
    next = static_cast<std::size_t>(after - inputs.begin());
}
