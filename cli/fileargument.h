#pragma once

#include "replay/replaycheck.h"
#include "replay/replayfile.h"
#include "session/sessionhistory.h"

#include <optional> // std::optional
#include <string>   // std::string
#include <vector>   // std::vector

class Session;
struct Divergence;

// The files named on a program's command line, named in messages as they were written there.

// The replay file named on a program's command line. On a fault prints "FILE:LINE: what is
// wrong" on standard error and returns nothing; the program then exits with code 2.
std::optional<Replay> readReplayArgument(const std::string &path, EndRecord endRecord);
// The same for a saved state.
std::optional<SessionSnapshot> readStateArgument(const std::string &path);

// After playing: when a replayed input could not be played at its step, prints
// "FILE:LINE: what is wrong" on standard error and returns true; the program then exits with
// code 2, printing no state.
bool reportReplayFault(const std::string &path, const Session &session);

// Once a replay has been played: on standard error, how many of its spawns found the scene's
// array full ("FILE: N spawns refused: the scene's array holds C bodies"), if any did.
void warnOfRefusedSpawns(const std::string &path, const Session &session);

// divergenceMessage() on standard error.
void reportDivergence(const Divergence &divergence);

// The messages of the checks of the options that name files (see fileoptions.h), for every way of
// reading a command line: "--OPTION: expects a file name", and "--OPTION: the scene comes from the
// file, so --A, --B and --C do not go with it" for the options given with it.
std::string emptyFileNameMessage(const std::string &option);
std::string sceneFromFileMessage(const std::string &option, const std::vector<std::string> &others);
