#pragma once

#include "math/vec2.h"
#include "scenes/sandbox.h"
#include "session/replayplayer.h"
#include "session/sessionhistory.h"
#include "session/sessioninput.h"

#include <optional> // std::optional
#include <string>   // std::string
#include <vector>   // std::vector

class SessionRecorder;

// The first checkpoint of a replay whose state differs from the recorded hash.
struct Divergence {
    long long step = 0;
    std::uint64_t expected = 0;
    std::uint64_t got = 0;
};

// A replayed input that cannot be played at its step, and why: "grab of body 1, which is not a
// circle at step 3", "nothing is held at step 5".
struct ReplayFault {
    SessionInput input;
    std::string what;
};

// The one door through which a program drives a simulation: every spawn, restart, switch, grab
// and step passes here, and only here is it decided what is recorded and what a replay forbids.
// While a replay plays, the person's inputs are refused, so the replay stays true; every input the
// sandbox takes, the replayed ones included, goes to the recorder.
//
// The session keeps its own history: keyframes (see SessionHistory) and every input it took, with
// its step, so it can go back to any step since the oldest keyframe exactly as it was, by
// restoring the keyframe before it and stepping on with the same inputs.
class Session {
public:
    // The scene is built at once: ready for its first step.
    explicit Session(const Scene &scene, World::PairSearch search = World::PairSearch::BroadPhase);

    // Plays a recorded session of this scene from the current step: its inputs are given at the
    // steps they were recorded at, those due now at once, and its checkpoints are checked.
    void play(Recording recording);
    // Whether a replay is playing and has not reached its last step and input.
    bool replaying() const;
    // Hands every input the sandbox takes from now on to recorder (null: to none), and from then
    // on a checkpoint every checkpointInterval steps and every going back.
    void recordTo(SessionRecorder *recorder);

    // A person's inputs, acting between steps. False when refused: during a replay, and for a
    // spawn, when the scene's array is full.
    bool spawn(Vec2 position);
    // Drops a box (see Sandbox::dropBox); refused as a spawn is.
    bool dropBox(Vec2 position);
    bool restart();
    // Rebuilds the scene at step 0 with another solver.
    bool switchSolver(World::Solver solver);
    // Goes on from the bodies as they are with another solver.
    bool switchSolverInPlace(World::Solver solver);
    // Builds another scene at step 0.
    bool switchScene(const Scene &scene);
    // Gravity, restitution, the dropped circles and the slow motion from the next step on.
    bool changeSettings(const SandboxSettings &settings);
    // Takes the circle at index out (see Sandbox::remove); false unless it is a circle.
    bool remove(int index);
    // Takes out every circle dropped since the scene was built.
    bool clearDropped();
    // Takes hold of the circle at index (see Sandbox::bodyAt) and pulls it toward target:
    // before every step its velocity becomes (target - position) * 0.25. A box is held by the
    // point under target: before every step one impulse at that point gives the point the
    // velocity (target - point) * 0.25, so a box held by its corner swings. False,
    // changing nothing, when index is neither or during a replay.
    bool grab(int index, Vec2 target);
    // Moves the held circle's target; recorded at most once a step, with the target the step
    // used.
    bool drag(Vec2 target);
    // Lets go: the circle keeps the velocity it has, so a quick move and release throws it.
    bool release();
    // The circle held, or -1. A restart, a switch, or the circle leaving the finite numbers ends
    // the hold.
    int heldCircle() const { return hold.index; }

    // One step, then the replay's inputs due after it.
    void step();
    // Steps until totalSteps() reaches step, or the replay is found to be impossible.
    void playTo(long long step);

    // Copies everything the next step depends on into snapshot, reusing its memory.
    void take(SessionSnapshot &snapshot) const;
    // Puts the session back as take() found it; the run on from there is the very same run. The
    // history starts again from here, and a recording is not told: going back within a session
    // is goBackTo().
    void restore(const SessionSnapshot &snapshot);

    // Goes back to the state at step (its inputs given), no earlier than earliestStep(): a replay
    // playing goes back with it, and a recording writes the back record. False, changing nothing,
    // when step is not before the current one or the history is off.
    bool goBackTo(long long step);
    // goBackTo(totalSteps() - steps), or to earliestStep() when that is further.
    bool stepBack(long long steps = 1);
    // The furthest back goBackTo() reaches.
    long long earliestStep() const;
    // Keeping the history costs a keyframe every SessionHistory::keyframeInterval steps; a
    // program that never goes back may turn it off (which forgets it).
    void keepHistory(bool keep);
    const SessionHistory &history() const { return keyframes; }
    // The session from its start as a replay rebuilds it: the scene it was built with and every
    // input it took since, as its history finally went (what going back undid is left out), up to
    // the current step. Nothing once restore() has put it at a state no scene rebuilds, or once
    // the history was turned off, which forgets the inputs.
    std::optional<Recording> fromStart() const;

    const Sandbox &sandbox() const { return simulation; }
    // Spawns of the replay that found the array full and so changed nothing.
    long long refusedSpawns() const { return refused; }
    // The first checkpoint of the replay that the run did not match, if any.
    const std::optional<Divergence> &divergence() const { return firstDivergence; }
    // A replayed input that cannot be played at its step (a grab of a body that is not a circle,
    // a drag or release with nothing held). The replay stops there.
    const std::optional<ReplayFault> &replayFault() const { return fault; }

private:
    // An input given now, at the current step.
    SessionInput stampedNow(SessionInput::Kind kind, Vec2 position = Vec2()) const;
    // A person's input: refused while a replay plays, else apply().
    bool fromPerson(const SessionInput &input);
    // Gives the sandbox the input and records it if it took it.
    bool apply(const SessionInput &input);
    // Gives the sandbox the input; whether it took it.
    bool give(const SessionInput &input);
    bool giveHold(const SessionInput &input);
    bool giveRemoval(const SessionInput &input);
    // Keeps the input in the history and hands it to the recorder.
    void note(const SessionInput &input);
    // Before a step: the held circle's velocity, from the target; with noteTarget, a target
    // moved since the last step is noted first.
    void pullHeldCircle(bool noteTarget);
    // One step as the person gave it, or again when going back.
    void advance(bool noteTarget);
    void giveDueInputs();
    // Records a checkpoint and checks the replay's, as due right after a step.
    void checkpoint();
    // A keyframe when one is due, or when the history is empty (it starts here).
    void keepKeyframe();
    // Gives again the inputs taken at the current step, from the first of them at or after from.
    std::vector<SessionInput>::const_iterator
    giveAgain(std::vector<SessionInput>::const_iterator from);

    Sandbox simulation;
    std::optional<ReplayPlayer> player;
    SessionRecorder *recorder = nullptr;
    long long refused = 0;
    std::optional<Divergence> firstDivergence;
    std::optional<ReplayFault> fault;
    HeldCircle hold;
    // Whether the history and the recording have the held circle's current target.
    bool targetNoted = true;
    bool historyKept = true;
    SessionHistory keyframes;
    // Every input taken since the oldest keyframe, by step.
    std::vector<SessionInput> taken;
    // The scene the session was built with, while taken holds every input since.
    std::optional<Scene> startScene;
};
