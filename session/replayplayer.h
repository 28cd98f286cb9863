#pragma once

#include "session/sessioninput.h"

#include <cstddef> // std::size_t

// Hands out a recording's inputs at the steps they were recorded at: an input recorded at step k
// after the k-th step (counted since the session started) and before the next one, in the order
// they were given.
class ReplayPlayer {
public:
    explicit ReplayPlayer(Recording recording);

    // The next input recorded at or before step that has not been handed out, or null.
    const SessionInput *nextDue(long long step);
    // Whether every input has been handed out and step has reached the recording's last step.
    bool finished(long long step) const;
    // The checkpoint recorded at step, or null.
    const Checkpoint *checkpointAt(long long step) const;

    // How many inputs have been handed out, and going back to such a count.
    std::size_t cursor() const { return next; }
    void seek(std::size_t cursor);
    // As after handing out every input recorded at or before step, and none after.
    void rewindTo(long long step);

private:
    Recording played;
    std::size_t next = 0;
};
