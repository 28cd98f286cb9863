#pragma once

#include "replay/replayfile.h"
#include "session/sessionhistory.h"

#include <QString>

#include <optional> // std::optional

class Session;

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
