#pragma once

#include "math/vec2.h"
#include "scenes/sandbox.h"
#include "session/replayplayer.h"

#include <optional> // std::optional
#include <string>   // std::string

class SessionRecorder;

// The one door through which a program drives a simulation: every spawn, restart, switch, grab
// and step passes here, and only here is it decided what is recorded and what a replay forbids.
// While a replay plays, the person's inputs are refused, so the replay stays true; every input the
// sandbox takes, the replayed ones included, goes to the recorder.
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
    // Builds another scene at step 0.
    bool switchScene(const Scene &scene);
    // Takes hold of the circle at index (see Sandbox::circleAt) and pulls it toward target:
    // before every step its velocity becomes (target - position) * 0.25. False, changing
    // nothing, when index is not a circle or during a replay.
    bool grab(int index, Vec2 target);
    // Moves the held circle's target; recorded at most once a step, with the target the step
    // used.
    bool drag(Vec2 target);
    // Lets go: the circle keeps the velocity it has, so a quick move and release throws it.
    bool release();
    // The circle held, or -1. A restart, a switch, or the circle leaving the finite numbers ends
    // the hold.
    int heldCircle() const { return held ? held->index : -1; }

    // One step, then the replay's inputs due after it.
    void step();
    // Steps until totalSteps() reaches step, or the replay is found to be impossible.
    void playTo(long long step);

    const Sandbox &sandbox() const { return simulation; }
    // Spawns of the replay that found the array full and so changed nothing.
    long long refusedSpawns() const { return refused; }
    // A replayed input that cannot be played at its step (a grab of a body that is not a circle,
    // a drag or release with nothing held): "LINE: what is wrong". The replay stops there.
    const std::optional<std::string> &replayFault() const { return fault; }

private:
    struct Hold {
        int index;
        Vec2 target;
        // Whether the recording has the current target.
        bool targetRecorded;
    };

    // Gives the sandbox the input and records it if it took it.
    bool apply(const ReplayInput &input);
    bool applyHold(const ReplayInput &input);
    void record(const ReplayInput &input);
    void giveDueInputs();
    // Before a step: records a moved target, then sets the held circle's velocity.
    void pullHeldCircle();

    Sandbox simulation;
    std::optional<ReplayPlayer> player;
    SessionRecorder *recorder = nullptr;
    long long refused = 0;
    std::optional<Hold> held;
    std::optional<std::string> fault;
};
