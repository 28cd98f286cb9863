#pragma once

#include "scenes/scene.h"
#include "session/sessioninput.h"
#include "text/linetext.h"

#include <cstdint>  // std::uint64_t
#include <iosfwd>   // std::istream
#include <optional> // std::optional
#include <string>   // std::string

// A recorded session as a file: the scene it ran, the inputs given between its steps, and the step
// it ended at with a hash of the state there. It is text, one record a line:
//
//   rigid2d-replay 5
//   scene grid 1000 stable 2
//   STEP spawn X Y
//   STEP restart
//   STEP solver designed
//   STEP solver-in-place stable 2
//   STEP settings GX GY RESTITUTION DROP_RADIUS DROP_MASS SLOW_MOTION
//   STEP remove INDEX
//   STEP clear
//   STEP scene NAME COUNT [SOLVER [REVISION]]
//   STEP grab INDEX X Y
//   STEP drag X Y
//   STEP release
//   STEP hash HASH
//   STEP back TO
//   STEP box X Y
//   STEP end HASH
//
// The scene line names the solver; a scene line without one, and every file of version 1 (which
// has only spawn, restart and end records), means the designed solver. From version 5 on, the
// stable solver is followed by the revision the file was made with ("stable 2"); "stable" alone,
// in every version, is its first revision, the only one files of versions 1 to 4 can mean. A
// solver record rebuilds the scene at step 0 with that solver, a scene record builds another scene
// (without a solver: with its kind's default). From version 3 on, a solver-in-place record goes on
// from the bodies as they are with that solver, and a settings record changes the gravity, the
// restitution, the dropped circles' radius and mass and the slow motion from the next step on (hex
// floats, each within its range, see settingRanges; a replay starts with the designed values);
// remove takes circle INDEX out, the bodies after it moving down one place, and clear takes out
// every circle dropped since the scene was built. From version 4 on, box drops a box centred at X
// Y. grab takes hold of body INDEX, which must be a circle or a box, and pulls it toward the target
// X Y (a box by the point at X Y); drag moves the target of the body held, release lets it go. STEP
// counts the steps since the program started (a restart does not reset it) and never decreases from
// one record to the next, but after a back record. An input at step k acts after k steps and before
// step k + 1, in the order of the lines. X and Y are the spawned circle's centre or the target in
// scene units, written as hex floats so that they are exact (decimal numbers are read too).
//
// Both records with a HASH carry stateHash(), 16 lower-case hex digits, but of states on either
// side of a step's inputs. The end record's is of the state the recording ended with: at STEP,
// after the inputs of that step. A hash record is a checkpoint, written every checkpointInterval
// steps: the state right after step STEP, before the inputs of that step.
//
// A back record says that at step STEP the person went back to step TO (TO <= STEP): every earlier
// input and checkpoint stamped after TO is dropped, as that history was undone, and the records
// after it count from TO, so their steps may be lower than the step of the back record itself.

// The version written; every version from 1 on is read.
constexpr int replayVersion = 5;
// "rigid2d-replay 5", the first line of every replay written.
extern const char replayHeaderLine[];
// Spawn coordinates beyond this, in either direction, are refused.
constexpr float maxSpawnCoordinate = 1e9f;
// No record comes near this; a longer line is refused without being read to its end.
constexpr int maxReplayLineBytes = 256;

// The hash of the state at the step the recording ended, after that step's inputs.
struct ReplayEnd {
    long long step = 0;
    std::uint64_t hash = 0;
};

// A replay file: the recorded session, each input's source its line, and the end record when
// the file has one.
struct Replay {
    Recording recording;
    std::optional<ReplayEnd> end;
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
std::string replayInputLine(const SessionInput &input);
std::string replayCheckpointLine(const Checkpoint &checkpoint);
std::string replayBackLine(const GoingBack &back);
std::string replayEndLine(const ReplayEnd &end);
