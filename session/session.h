#pragma once

#include "math/vec2.h"
#include "scenes/sandbox.h"
#include "session/replayplayer.h"

#include <optional> // std::optional

class SessionRecorder;

// The one door through which a program drives a simulation: every spawn, restart and step passes
// here, and only here is it decided what is recorded and what a replay forbids. While a replay
// plays, the person's inputs are refused, so the replay stays true; every input the sandbox takes,
// the replayed ones included, goes to the recorder.
class Session {
public:
    // The scene is built at once: ready for its first step.
    explicit Session(const Scene &scene, World::PairSearch search = World::PairSearch::BroadPhase);

    // Plays a recorded session of this scene from the current step: its inputs are given at the
    // steps they were recorded at, those due now at once.
    void play(Replay replay);
    // Whether a replay is playing and has not reached its last step and input.
    bool replaying() const;
    // Hands every input the sandbox takes from now on to recorder (null: to none).
    void recordTo(SessionRecorder *recorder);

    // A person's inputs, acting between steps. False when refused: during a replay, and for a
    // spawn, when the scene's array is full.
    bool spawn(Vec2 position);
    bool restart();
    // Rebuilds the scene at step 0 with another solver.
    bool switchSolver(World::Solver solver);
    // One step, then the replay's inputs due after it.
    void step();
    // Steps until totalSteps() reaches step.
    void playTo(long long step);

    const Sandbox &sandbox() const { return simulation; }
    // Spawns of the replay that found the array full and so changed nothing.
    long long refusedSpawns() const { return refused; }

private:
    // Gives the sandbox the input and records it if it took it.
    bool apply(const ReplayInput &input);
    void giveDueInputs();

    Sandbox simulation;
    std::optional<ReplayPlayer> player;
    SessionRecorder *recorder = nullptr;
    long long refused = 0;
};
