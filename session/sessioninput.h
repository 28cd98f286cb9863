#pragma once

#include "math/vec2.h"
#include "physics/world.h"
#include "scenes/sandboxsettings.h"
#include "scenes/scene.h"

#include <cstdint> // std::uint64_t
#include <vector>  // std::vector

// An input a session takes between steps, stamped with its step: the steps taken since the
// session started (a restart does not reset them). An input at step k acts after k steps and
// before step k + 1.
struct SessionInput {
    // Solver rebuilds the scene at step 0 with the solver; SolverInPlace goes on from the bodies
    // as they are. Remove takes one circle out, Clear every circle dropped.
    enum class Kind {
        Spawn,
        Restart,
        Solver,
        Scene,
        Grab,
        Drag,
        Release,
        SolverInPlace,
        Settings,
        Remove,
        Clear,
        DropBox
    };

    SessionInput() = default;
    SessionInput(long long step, Kind kind, Vec2 position = Vec2())
        : step(step), kind(kind), position(position) {}

    long long step = 0;
    Kind kind = Kind::Spawn;
    // The spawned circle's or dropped box's centre; the target of a grab or drag.
    Vec2 position;
    // The solver switched to.
    World::Solver solver = World::Solver::Designed;
    // The scene switched to.
    Scene scene;
    // The settings changed to.
    SandboxSettings settings;
    // The body grabbed or removed.
    int index = 0;
    // Where a played input came from, for messages about one that turns out impossible only when
    // played: the line of the file it was read from (0: a person gave it).
    long long source = 0;
};

// The state's hash (stateHash()) right after step `step`, before the inputs given at that step.
struct Checkpoint {
    long long step = 0;
    std::uint64_t hash = 0;
};

// At step `step` the session went back to step `to`: what it took after `to` is undone.
struct GoingBack {
    long long step = 0;
    long long to = 0;
};

// A session as recorded, to be played again.
struct Recording {
    // The scene it started with.
    Scene scene;
    // The inputs of the history as it finally went: step order, the order given within a step.
    std::vector<SessionInput> inputs;
    // In step order, one a step at most.
    std::vector<Checkpoint> checkpoints;
    // Where playing it stops.
    long long lastStep = 0;
};
