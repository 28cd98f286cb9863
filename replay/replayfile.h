#pragma once

#include "math/vec2.h"
#include "scenes/scene.h"
#include "text/linetext.h"

#include <cstdint>  // std::uint64_t
#include <iosfwd>   // std::istream
#include <optional> // std::optional
#include <string>   // std::string
#include <vector>   // std::vector

// A recorded session: the scene it ran, the inputs given between its steps, and the step it ended
// at with a hash of the state there. As a file it is text, one record a line:
//
//   rigid2d-replay 2
//   scene grid 1000 stable
//   STEP spawn X Y
//   STEP restart
//   STEP solver designed
//   STEP scene NAME COUNT [SOLVER]
//   STEP grab INDEX X Y
//   STEP drag X Y
//   STEP release
//   STEP hash HASH
//   STEP back TO
//   STEP end HASH
//
// The scene line names the solver; a scene line without one, and every file of version 1 (which
// has only spawn, restart and end records), means the designed solver. A solver record rebuilds
// the scene at step 0 with that solver, a scene record builds another scene (without a solver:
// with its kind's default). grab takes hold of body INDEX, which must be a circle, and pulls it
// toward the target X Y; drag moves the target of the circle held, release lets it go. STEP counts
// the steps since the program started (a restart does not reset it) and never decreases from one
// record to the next, but after a back record. An input at step k acts after k steps and before
// step k + 1, in the order of the lines. X and Y are the spawned circle's centre in scene units,
// written as hex floats so that they are exact (decimal numbers are read too); HASH is
// stateHash() of the state at STEP, after the inputs of that step.
//
// A hash record is a checkpoint, written every checkpointInterval steps: the state's hash right
// after step STEP, before the inputs of that step. A back record says that at step STEP the
// person went back to step TO (TO <= STEP): every earlier input and checkpoint stamped after TO is
// dropped, as that history was undone, and the records after it count from TO, so their steps may
// be lower than the step of the back record itself.

// The version written; every version from 1 on is read.
constexpr int replayVersion = 2;
// "rigid2d-replay 2", the first line of every replay written.
extern const char replayHeaderLine[];
// A recording writes a checkpoint at every step that is a multiple of this.
constexpr long long checkpointInterval = 600;
// Spawn coordinates beyond this, in either direction, are refused.
constexpr float maxSpawnCoordinate = 1e9f;
// No record comes near this; a longer line is refused without being read to its end.
constexpr int maxReplayLineBytes = 256;

struct ReplayInput {
    enum class Kind { Spawn, Restart, Solver, Scene, Grab, Drag, Release };

    ReplayInput() = default;
    ReplayInput(long long step, Kind kind, Vec2 position = Vec2())
        : step(step), kind(kind), position(position) {}

    long long step = 0;
    Kind kind = Kind::Spawn;
    // The spawned circle's centre; the target of a grab or drag.
    Vec2 position;
    // The solver switched to.
    World::Solver solver = World::Solver::Designed;
    // The scene switched to.
    Scene scene;
    // The body grabbed.
    int index = 0;
    // The line of the file it was read from (0: not read from a file), for messages about
    // inputs that turn out to be impossible only when played.
    long long line = 0;
};

struct ReplayEnd {
    long long step = 0;
    std::uint64_t hash = 0;
};

// The hash of the state right after a step, before that step's inputs.
struct ReplayCheckpoint {
    long long step = 0;
    std::uint64_t hash = 0;
};

// At step `step` the person went back to step `to`.
struct ReplayBack {
    long long step = 0;
    long long to = 0;
};

struct Replay {
    Scene scene;
    // The inputs of the history as it finally went: step order, file order within a step.
    std::vector<ReplayInput> inputs;
    // In step order, one a step at most.
    std::vector<ReplayCheckpoint> checkpoints;
    std::optional<ReplayEnd> end;
    // The step of the last record: where playing the replay stops.
    long long lastStep = 0;
};

enum class EndRecord { Required, Optional };

// Reads a whole replay, checking every line, before anything is simulated. On the first fault
// returns nothing and describes it in fault, naming the input as name. Nothing in the input is
// trusted: line lengths, counts and numbers are all bounded.
std::optional<Replay> readReplay(std::istream &input, const std::string &name, EndRecord endRecord,
                                 FileFault &fault);
// The same for a file, named in messages as path is written.
std::optional<Replay> readReplayFile(const std::string &path, EndRecord endRecord,
                                     FileFault &fault);

// The lines that make up a replay, each with its line feed.
std::string replayHeader(const Scene &scene); // the version line and the scene line
std::string replayInputLine(const ReplayInput &input);
std::string replayCheckpointLine(const ReplayCheckpoint &checkpoint);
std::string replayBackLine(const ReplayBack &back);
std::string replayEndLine(const ReplayEnd &end);
