#include "cli/fileargument.h"

#include "replay/replaycheck.h"
#include "session/session.h"
#include "state/statefile.h"
#include "text/scenetext.h"

#include <cstdio> // std::fprintf

std::optional<Replay> readReplayArgument(const std::string &path, EndRecord endRecord) {
    FileFault fault;
    std::optional<Replay> replay = readReplayFile(path, endRecord, fault);
    if (!replay)
        std::fprintf(stderr, "%s\n", fault.message().c_str());
    return replay;
}

std::optional<SessionSnapshot> readStateArgument(const std::string &path) {
    FileFault fault;
    std::optional<SessionSnapshot> state = readStateFile(path, fault);
    if (!state)
        std::fprintf(stderr, "%s\n", fault.message().c_str());
    return state;
}

void warnOfRefusedSpawns(const std::string &path, const Session &session) {
    if (session.refusedSpawns() == 0)
        return;
    std::fprintf(stderr, "%s: %lld spawns refused: the scene's array holds %d bodies\n",
                 path.c_str(), session.refusedSpawns(), session.sandbox().scene().capacity());
}

bool reportReplayFault(const std::string &path, const Session &session) {
    if (!session.replayFault())
        return false;
    std::fprintf(stderr, "%s\n", replayFaultMessage(path, *session.replayFault()).c_str());
    return true;
}

void reportDivergence(const Divergence &divergence) {
    std::fprintf(stderr, "%s\n", divergenceMessage(divergence).c_str());
}

std::string emptyFileNameMessage(const std::string &option) {
    return "--" + option + ": expects a file name";
}

std::string sceneFromFileMessage(const std::string &option,
                                 const std::vector<std::string> &others) {
    std::vector<std::string> named;
    for (const std::string &other : others)
        named.push_back("--" + other);
    return "--" + option + ": the scene comes from the file, so " + inProse(named, "and") +
           " do not go with it";
}
