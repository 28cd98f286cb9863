#pragma once

#include "physics/replayfile.h"

#include <cstddef>    // std::size_t
#include <functional> // std::function

class Sandbox;

// Gives a sandbox a replay's inputs at the steps they were recorded at: an input recorded at step
// k after the sandbox's k-th step (counted by totalSteps()) and before the next one, in file order.
class ReplayPlayer {
public:
    explicit ReplayPlayer(Replay replay);

    const Replay &replay() const { return played; }

    // Called with each input the sandbox has taken, as it takes it.
    using InputTaken = std::function<void(const ReplayInput &)>;

    // Gives the sandbox, in file order, every input recorded up to its current step that it has
    // not had yet. Call it once the scene has been built and after every step.
    void giveDueInputs(Sandbox &sandbox, const InputTaken &taken = {});
    // From a sandbox whose scene has just been built: its inputs and steps up to step, the
    // inputs at step included.
    void playTo(Sandbox &sandbox, long long step);
    // Whether every input has been given and the sandbox has reached the replay's last step.
    bool finished(const Sandbox &sandbox) const;

private:
    Replay played;
    std::size_t next = 0;
};
