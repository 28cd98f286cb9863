#pragma once

#include "cli/sceneargument.h"
#include "scenes/scene.h"

#include <optional> // std::optional
#include <string>   // std::string
#include <vector>   // std::vector

// What rigid2d-trace does once its command line is read, shared by the desktop's program, which
// reads it with Qt, and the WebAssembly one Node.js runs, which reads it without.

// The command line as read: the options given, with their values, and the other arguments.
struct TraceArguments {
    SceneArguments scene;
    std::optional<std::string> replay;
    std::optional<std::string> saveState;
    std::optional<std::string> loadState;
    std::vector<std::string> positional;
};

// What it asks for: a scene and a number of steps, a saved state and a number of steps, or a
// replay and where to stop.
struct TraceRequest {
    Scene scene;
    bool replaying = false;
    std::string replayFile;
    // Empty when not asked for.
    std::string saveFile;
    std::string loadFile;
    std::optional<long long> steps;
};

// The request, or nothing with error set to one line saying what is wrong.
std::optional<TraceRequest> traceRequest(const TraceArguments &arguments, std::string &error);

// "STEPS: expects a whole number, 0 or more, not \"ARGUMENT\"".
std::string notAStepCount(const std::string &argument);

// The usage line that answers a bad command line (exit code 2), with why in brackets.
std::string traceUsage(const std::string &why);

// Runs the request: the state reached on standard output, faults and warnings on standard error.
// Returns the exit code: 0, 1 when a replay diverged or the output could not be written, 2 for a
// bad file.
int runTrace(const TraceRequest &request);
