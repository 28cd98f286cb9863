#include "bench/runcontext.h"

#include <benchmark/benchmark.h>

#ifdef RIGID2D_BENCH_HAVE_BOX2D
#include <box2d/box2d.h>
#endif
#ifdef RIGID2D_BENCH_HAVE_CHIPMUNK
#include <chipmunk/chipmunk.h>
#endif

#include <fstream> // std::ifstream
#include <string>  // std::string, std::getline

namespace {

// The first "model name" line of /proc/cpuinfo, or nothing where there is none.
std::string processorModel() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    const std::string key = "model name";
    for (std::string line; std::getline(cpuinfo, line);) {
        const std::string::size_type colon = line.find(':');
        if (line.compare(0, key.size(), key) == 0 && colon != std::string::npos)
            return line.substr(colon + 2);
    }
    return {};
}

} // namespace

void addRunContext() {
    benchmark::AddCustomContext("compiler", RIGID2D_BENCH_COMPILER);
    benchmark::AddCustomContext("flags", RIGID2D_BENCH_FLAGS);
    const std::string model = processorModel();
    if (!model.empty())
        benchmark::AddCustomContext("cpu", model);
#ifdef RIGID2D_BENCH_HAVE_BOX2D
    benchmark::AddCustomContext("box2d", std::to_string(b2_version.major) + "." +
                                             std::to_string(b2_version.minor) + "." +
                                             std::to_string(b2_version.revision));
#endif
#ifdef RIGID2D_BENCH_HAVE_CHIPMUNK
    benchmark::AddCustomContext("chipmunk", cpVersionString);
    // Chipmunk announces itself on stdout when the first space is made: here, before the table
    // starts rather than in the middle of it.
    cpSpaceFree(cpSpaceNew());
#endif
}
