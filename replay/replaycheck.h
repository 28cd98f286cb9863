#pragma once

#include "replay/replayfile.h"

#include <optional> // std::optional
#include <string>   // std::string

class Session;
struct Divergence;
struct ReplayFault;

// What every program that plays a replay checks of it and says about it, in the same words.

// How the state a replay reached at its end differs from the file's end record, if it does.
std::optional<Divergence> divergenceAtEnd(const ReplayEnd &end, const Session &session);

// The first way a played session differs from its recording: a checkpoint it did not match, or,
// when end is given, the end record's hash against the session's state now. Nothing when none.
std::optional<Divergence> replayDivergence(const Session &session,
                                           const std::optional<ReplayEnd> &end);

// "replay diverged at step S: expected H1, got H2": at a checkpoint, the first that differs,
// which names the stretch where the divergence began; at the end, the state there.
std::string divergenceMessage(const Divergence &divergence);

// "NAME:LINE: what is wrong" for a replayed input that could not be played at its step.
std::string replayFaultMessage(const std::string &name, const ReplayFault &fault);
