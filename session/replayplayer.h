#pragma once

#include "replay/replayfile.h"

#include <cstddef> // std::size_t

// Hands out a replay's inputs at the steps they were recorded at: an input recorded at step k
// after the k-th step (counted since the program started) and before the next one, in file order.
class ReplayPlayer {
public:
    explicit ReplayPlayer(Replay replay);

    const Replay &replay() const { return played; }

    // The next input recorded at or before step that has not been handed out, or null.
    const ReplayInput *nextDue(long long step);
    // Whether every input has been handed out and step has reached the replay's last step.
    bool finished(long long step) const;
    // The checkpoint recorded at step, or null.
    const ReplayCheckpoint *checkpointAt(long long step) const;

    // How many inputs have been handed out, and going back to such a count.
    std::size_t cursor() const { return next; }
    void seek(std::size_t cursor);
    // As after handing out every input recorded at or before step, and none after.
    void rewindTo(long long step);

private:
    Replay played;
    std::size_t next = 0;
};
