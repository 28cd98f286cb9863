// rigid2d-trace built with Emscripten and run by Node.js: the same program as the desktop's, which
// prints the same bytes, its command line read without Qt. Options are written "--NAME VALUE" or
// "--NAME=VALUE"; for --help and --version, ask the desktop program.

#include "tools/tracecore.h"

#include <cstdio>   // std::fprintf
#include <optional> // std::optional
#include <string>   // std::string
#include <utility>  // std::pair

namespace {

// Reads argv into arguments; on a fault, returns false with error set as Qt's parser says it.
bool readArguments(int argc, char **argv, TraceArguments &arguments, std::string &error) {
    const std::pair<const char *, std::optional<std::string> *> options[] = {
        {"scene", &arguments.scene.scene},    {"bodies", &arguments.scene.bodies},
        {"solver", &arguments.scene.solver},  {"replay", &arguments.replay},
        {"save-state", &arguments.saveState}, {"load-state", &arguments.loadState},
    };
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
            arguments.positional.push_back(argument);
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(2, equals - 2);
        std::optional<std::string> *value = nullptr;
        for (const auto &[option, target] : options) {
            if (name == option)
                value = target;
        }
        if (!value) {
            error = "Unknown option '" + name + "'.";
            return false;
        }
        if (equals != std::string::npos)
            *value = argument.substr(equals + 1);
        else if (i + 1 < argc)
            *value = argv[++i];
        else {
            error = "Missing value after '" + argument + "'.";
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char **argv) {
    TraceArguments arguments;
    std::string error;
    std::optional<TraceRequest> request;
    if (readArguments(argc, argv, arguments, error))
        request = traceRequest(arguments, error);
    if (!request) {
        std::fprintf(stderr, "%s\n", traceUsage(error).c_str());
        return 2;
    }
    return runTrace(*request);
}
