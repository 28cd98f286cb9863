#include "replay/replayrecorder.h"

#include "scenes/sandbox.h"
#include "text/statetext.h"

#include <cerrno>  // errno
#include <cstring> // std::strerror

ReplayRecorder::~ReplayRecorder() {
    if (file)
        std::fclose(file);
}

bool ReplayRecorder::open(const std::string &filePath, const Scene &scene, FileFault &fault) {
    path = filePath;
    errno = 0;
    file = std::fopen(path.c_str(), "wb");
    if (!file || !put(replayHeader(scene))) {
        fault = FileFault{path, 0, std::strerror(errno)};
        return false;
    }
    return true;
}

void ReplayRecorder::record(const SessionInput &input) {
    write(replayInputLine(input));
}

void ReplayRecorder::recordCheckpoint(const Checkpoint &checkpoint) {
    write(replayCheckpointLine(checkpoint));
}

void ReplayRecorder::recordBack(const GoingBack &back) {
    write(replayBackLine(back));
}

void ReplayRecorder::finish(const Sandbox &sandbox) {
    write(replayEndLine(ReplayEnd{sandbox.totalSteps(), stateHash(sandbox.bodies())}));
}

bool ReplayRecorder::put(const std::string &line) {
    return std::fwrite(line.data(), 1, line.size(), file) == line.size() && std::fflush(file) == 0;
}

void ReplayRecorder::write(const std::string &line) {
    if (!file || writeFailed)
        return;
    errno = 0;
    if (put(line))
        return;
    writeFailed = true;
    std::fprintf(stderr, "rigid2d: %s: could not write \"%s\": %s\n", source.c_str(), path.c_str(),
                 std::strerror(errno));
}
