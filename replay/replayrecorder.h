#pragma once

#include "replay/replayfile.h"
#include "session/sessionrecorder.h"

#include <cstdio>  // std::FILE
#include <string>  // std::string
#include <utility> // std::move

class Sandbox;

// Writes a session to a replay file as it goes: the header when opened, then every input the
// session takes, and at the end the step reached with the hash of the state there. Each line is
// handed to the system as soon as it is written, so a crash loses at most the last one.
class ReplayRecorder : public SessionRecorder {
public:
    // source: what the messages about a failed write name the recording by.
    explicit ReplayRecorder(std::string source = "--record") : source(std::move(source)) {}
    ~ReplayRecorder() override;
    ReplayRecorder(const ReplayRecorder &) = delete;
    ReplayRecorder &operator=(const ReplayRecorder &) = delete;

    // Creates or empties the file and writes the header. False, with fault set, when that fails.
    bool open(const std::string &path, const Scene &scene, FileFault &fault);
    void record(const SessionInput &input) override;
    void recordCheckpoint(const Checkpoint &checkpoint) override;
    void recordBack(const GoingBack &back) override;
    // The end record, from the sandbox's step and state.
    void finish(const Sandbox &sandbox);
    // Whether a write has failed; the first failure is reported on standard error and nothing is
    // written after it.
    bool failed() const { return writeFailed; }

private:
    // Writes and flushes the line; false when either fails.
    bool put(const std::string &line);
    // put(), reporting the first failure.
    void write(const std::string &line);

    std::string source;
    std::string path;
    std::FILE *file = nullptr;
    bool writeFailed = false;
};
