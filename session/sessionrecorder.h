#pragma once

#include "session/sessioninput.h"

// A recording writes a checkpoint at every step that is a multiple of this.
constexpr long long checkpointInterval = 600;

// Where a session sends what a recording of it keeps: every input it takes, the replayed ones
// included, a checkpoint every checkpointInterval steps, and every going back. The replay file's
// writer is one.
class SessionRecorder {
public:
    virtual ~SessionRecorder() = default;

    virtual void record(const SessionInput &input) = 0;
    virtual void recordCheckpoint(const Checkpoint &checkpoint) = 0;
    virtual void recordBack(const GoingBack &back) = 0;
};
