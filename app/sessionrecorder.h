#pragma once

#include "physics/replayfile.h"

#include <QFile>
#include <QString>

#include <string> // std::string

class Sandbox;

// Writes a session to a replay file as it goes: the header when opened, then every input the
// sandbox takes, and at the end the step reached with the hash of the state there. Each line is
// handed to the system as soon as it is written, so a crash loses at most the last one.
class SessionRecorder {
public:
    // Creates or empties the file and writes the header. False, with error set to one line, when
    // that fails.
    bool open(const QString &path, const Scene &scene, QString &error);
    void record(const ReplayInput &input);
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

    QFile file;
    bool writeFailed = false;
};
