#include "cli/fileargument.h"

#include "session/session.h"
#include "state/statefile.h"
#include "text/statetext.h"

#include <cstdio> // std::fprintf

std::optional<Replay> readReplayArgument(const QString &path, EndRecord endRecord) {
    FileFault fault;
    std::optional<Replay> replay =
        readReplayFile(path.toLocal8Bit().toStdString(), endRecord, fault);
    if (!replay)
        std::fprintf(stderr, "%s\n", fault.message().c_str());
    return replay;
}

std::optional<SessionSnapshot> readStateArgument(const QString &path) {
    FileFault fault;
    std::optional<SessionSnapshot> state = readStateFile(path.toLocal8Bit().toStdString(), fault);
    if (!state)
        std::fprintf(stderr, "%s\n", fault.message().c_str());
    return state;
}

void warnOfRefusedSpawns(const QString &path, const Session &session) {
    if (session.refusedSpawns() == 0)
        return;
    std::fprintf(stderr, "%s: %lld spawns refused: the scene's array holds %d bodies\n",
                 qPrintable(path), session.refusedSpawns(), session.sandbox().scene().capacity());
}

bool reportReplayFault(const QString &path, const Session &session) {
    if (!session.replayFault())
        return false;
    std::fprintf(stderr, "%s:%lld: %s\n", qPrintable(path), session.replayFault()->input.source,
                 session.replayFault()->what.c_str());
    return true;
}

std::optional<Divergence> divergenceAtEnd(const ReplayEnd &end, const Session &session) {
    const std::uint64_t got = stateHash(session.sandbox().bodies());
    if (got == end.hash)
        return std::nullopt;
    return Divergence{end.step, end.hash, got};
}

void reportDivergence(const Divergence &divergence) {
    std::fprintf(stderr, "replay diverged at step %lld: expected %s, got %s\n", divergence.step,
                 hashDigits(divergence.expected).c_str(), hashDigits(divergence.got).c_str());
}
