#pragma once

#include "math/vec2.h"
#include "scenes/scene.h"

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
//   STEP hash HASH
//   STEP back TO
//   STEP end HASH
//
// The scene line names the solver; a scene line without one, and every file of version 1 (which
// has neither solver names nor solver records), means the designed solver. A solver record
// rebuilds the scene at step 0 with that solver. STEP counts the steps since the program started (a
// restart does not reset it) and never decreases from one record to the next. An input at step k
// acts after k steps and before step k + 1, in the order of the lines. X and Y are the spawned
// circle's centre in scene units, written as hex floats so that they are exact (decimal numbers are
// read too); HASH is stateHash() of the state at STEP, after the inputs of that step.
//
// Version 2 adds two records. A hash record is a checkpoint, written every checkpointInterval
// steps: the state's hash right after step STEP, before the inputs of that step. A back record says
// that at step STEP the person went back to step TO (TO <= STEP): every earlier input and
// checkpoint stamped after TO is dropped, as that history was undone, and the records after it
// count from TO, so their steps may be lower than the step of the back record itself.

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
    enum class Kind { Spawn, Restart, Solver };
    long long step = 0;
    Kind kind = Kind::Spawn;
    // The spawned circle's centre.
    Vec2 position;
    // The solver switched to.
    World::Solver solver = World::Solver::Designed;
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

// What went wrong with a file the program reads or writes: "FILE:LINE: what is wrong", or
// "FILE: what is wrong" when no line is to blame (it cannot be opened, say).
struct FileFault {
    std::string file;
    // 0: the file as a whole.
    long long line = 0;
    std::string what;

    std::string message() const;
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
