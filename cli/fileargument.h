#pragma once

#include "replay/replayfile.h"
#include "session/sessionhistory.h"

#include <QString>

#include <optional> // std::optional

class Session;
struct Divergence;

// The replay file named on a program's command line. On a fault prints "FILE:LINE: what is
// wrong" on standard error and returns nothing; the program then exits with code 2.
std::optional<Replay> readReplayArgument(const QString &path, EndRecord endRecord);
// The same for a saved state.
std::optional<SessionSnapshot> readStateArgument(const QString &path);

// After playing: when a replayed input could not be played at its step, prints
// "FILE:LINE: what is wrong" on standard error and returns true; the program then exits with
// code 2, printing no state.
bool reportReplayFault(const QString &path, const Session &session);

// Once a replay has been played: on standard error, how many of its spawns found the scene's
// array full ("FILE: N spawns refused: the scene's array holds C bodies"), if any did.
void warnOfRefusedSpawns(const QString &path, const Session &session);

// How the state a replay reached at its end differs from the file's end record, if it does.
std::optional<Divergence> divergenceAtEnd(const ReplayEnd &end, const Session &session);
// "replay diverged at step S: expected H1, got H2" on standard error: at a checkpoint, the first
// that differs, which names the stretch where the divergence began; at the end, the state there.
void reportDivergence(const Divergence &divergence);
