#include "session/replayplayer.h"

#include <utility> // std::move

ReplayPlayer::ReplayPlayer(Replay replay) : played(std::move(replay)) {}

const ReplayInput *ReplayPlayer::nextDue(long long step) {
    if (next == played.inputs.size() || played.inputs[next].step > step)
        return nullptr;
    return &played.inputs[next++];
}

bool ReplayPlayer::finished(long long step) const {
    return next == played.inputs.size() && step >= played.lastStep;
}
