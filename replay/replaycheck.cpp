#include "replay/replaycheck.h"

#include "session/session.h"
#include "text/statetext.h"

#include <cstdint> // std::uint64_t

std::optional<Divergence> divergenceAtEnd(const ReplayEnd &end, const Session &session) {
    const std::uint64_t got = stateHash(session.sandbox().bodies());
    if (got == end.hash)
        return std::nullopt;
    return Divergence{end.step, end.hash, got};
}

std::optional<Divergence> replayDivergence(const Session &session,
                                           const std::optional<ReplayEnd> &end) {
    if (session.divergence() || !end)
        return session.divergence();
    return divergenceAtEnd(*end, session);
}

std::string divergenceMessage(const Divergence &divergence) {
    return "replay diverged at step " + std::to_string(divergence.step) + ": expected " +
           hashDigits(divergence.expected) + ", got " + hashDigits(divergence.got);
}

std::string replayFaultMessage(const std::string &name, const ReplayFault &fault) {
    return name + ':' + std::to_string(fault.input.source) + ": " + fault.what;
}
