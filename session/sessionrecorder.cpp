#include "session/sessionrecorder.h"

#include "scenes/sandbox.h"
#include "text/statetext.h"

#include <cerrno>  // errno
#include <cstring> // std::strerror

SessionRecorder::~SessionRecorder() {
    if (file)
        std::fclose(file);
}

bool SessionRecorder::open(const std::string &filePath, const Scene &scene, FileFault &fault) {
    path = filePath;
    errno = 0;
    file = std::fopen(path.c_str(), "wb");
    if (!file || !put(replayHeader(scene))) {
        fault = FileFault{path, 0, std::strerror(errno)};
        return false;
    }
    return true;
}

void SessionRecorder::record(const ReplayInput &input) {
    write(replayInputLine(input));
}

void SessionRecorder::recordCheckpoint(const ReplayCheckpoint &checkpoint) {
    write(replayCheckpointLine(checkpoint));
}

void SessionRecorder::recordBack(const ReplayBack &back) {
    write(replayBackLine(back));
}

void SessionRecorder::finish(const Sandbox &sandbox) {
    write(replayEndLine(ReplayEnd{sandbox.totalSteps(), fnv1a(stateText(sandbox.bodies()))}));
}

bool SessionRecorder::put(const std::string &line) {
    return std::fwrite(line.data(), 1, line.size(), file) == line.size() && std::fflush(file) == 0;
}

void SessionRecorder::write(const std::string &line) {
    if (!file || writeFailed)
        return;
    errno = 0;
    if (put(line))
        return;
    writeFailed = true;
    std::fprintf(stderr, "rigid2d: --record: could not write \"%s\": %s\n", path.c_str(),
                 std::strerror(errno));
}
