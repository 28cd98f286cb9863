#pragma once

#include "session/sessionhistory.h"
#include "text/linetext.h"

#include <iosfwd>   // std::istream
#include <optional> // std::optional
#include <string>   // std::string

// A session's state saved as portable text: every float as a hex float, exactly as the trace
// prints it, so a state saved on one processor continues on any other to the same bits, and the
// file diffs and reads by eye. One record a line:
//
//   rigid2d-state 1
//   scene grid 1000 stable
//   steps SCENE_STEP TOTAL_STEPS
//   settings GX GY RESTITUTION DROP_RADIUS DROP_MASS SLOW_MOTION   (from version 2 on)
//   bodies N
//   INDEX 0 PX PY VX VY FX FY MASS INVERSE_MASS GRAVITY_SCALE STATIC RADIUS       (a circle)
//   INDEX 1 PX PY VX VY FX FY MASS INVERSE_MASS GRAVITY_SCALE STATIC WIDTH HEIGHT (a rectangle)
//   ...
//   warmstart K
//   LOWER HIGHER IMPULSE
//   ...
//   hash HASH
//
// INDEX counts from 0; STATIC is 0 or 1; the warm start is the stable solver's impulses by pair,
// in ascending order; HASH is stateHash() of the bodies, the number a replay's checkpoints and
// end record carry for the same state. A replay that was playing is not part of the file.
//
// The settings line (hex floats, each within its range, see settingRanges) is written, with
// version 2, only when the settings differ from the designed ones: a state with the designed
// settings is the version 1 file it always was, and a version 1 file has the designed settings.
//
// Version 3 holds what neither can: boxes (type 2, sized by HALF_WIDTH HALF_HEIGHT), and on every
// body line FRICTION COS SIN SPIN after STATIC, the orientation as its cosine and sine; each warm
// start line is "LOWER HIGHER FEATURE IMPULSE TANGENT_IMPULSE", the feature naming the point of the
// pair's contact. Its settings line is always there. A state an older version holds whole is
// written as that version. The rotational inertia is not written: it follows from the shape and
// the mass, as BaseEntity::setMass gives it, and is 0 for a body whose inverse mass is 0.

// Version 4 has version 3's lines and names the revision of the stable solver after its name, as
// replays do ("scene grid 1000 stable 2"); "stable" alone, in every version, is the stable
// solver's first revision, the only one the older versions can mean.
//
// Version 5 has version 4's lines and, after the warm start, the bodies' sleep: "sleep K", then one
// line "INDEX REST_STEPS ISLAND" for each body asleep or at rest, ascending, REST_STEPS the steps
// in a row it has been at rest and ISLAND the island it sleeps with, "-" for a body awake. The
// stable solver's revisions that let bodies sleep are written as version 5.

// The newest version; every version from 1 on is read.
constexpr int stateVersion = 5;
// "rigid2d-state 1", the first line of a state with the designed settings.
extern const char stateHeaderLine[];
// No record comes near this; a longer line is refused without being read to its end.
constexpr int maxStateLineBytes = 512;

std::string stateFileText(const SandboxState &state);
// Writes the state as the whole file (writeWholeFile): an old file there is replaced only once
// the new one is complete. False, with fault set, when that fails, or when a body's orientation or
// spin is not finite: the reader refuses those, so such a state is not written at all.
bool writeStateFile(const std::string &path, const SandboxState &state, FileFault &fault);

// Reads a whole state, checking every line and the hash. On the first fault returns nothing and
// describes it in fault, naming the input as name. Nothing in the input is trusted.
std::optional<SessionSnapshot> readState(std::istream &input, const std::string &name,
                                         FileFault &fault);
std::optional<SessionSnapshot> readStateFile(const std::string &path, FileFault &fault);
