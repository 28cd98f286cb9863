// Runs the demo scene headless for STEPS world steps (default 1 000 000) and fails when a position
// or velocity stops being finite, or when the resident set size at the end differs by more than
// 1 % from the one at step 10 000 (by then every buffer the step needs has been allocated, so any
// growth after it is a leak). Prints the elapsed time and both sizes.

#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "physics/demoscene.h"
#include "physics/world.h"

#include <cerrno>   // errno
#include <chrono>   // std::chrono::steady_clock
#include <cmath>    // std::isfinite
#include <cstdio>   // std::printf, std::fprintf, std::fopen, std::fscanf
#include <cstdlib>  // std::strtoll, std::llabs
#include <unistd.h> // sysconf

namespace {

constexpr long long defaultSteps = 1000000;
constexpr long long baselineStep = 10000;

bool parseSteps(const char *text, long long &steps) {
    char *end = nullptr;
    errno = 0;
    steps = std::strtoll(text, &end, 10);
    return *text >= '0' && *text <= '9' && *end == '\0' && errno == 0;
}

// The resident set size in KiB, from the second field of /proc/self/statm (in pages).
long long residentKiB() {
    std::FILE *statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return -1;
    long long sizePages = 0;
    long long residentPages = -1;
    const int read = std::fscanf(statm, "%lld %lld", &sizePages, &residentPages);
    std::fclose(statm);
    if (read != 2)
        return -1;
    return residentPages * (sysconf(_SC_PAGESIZE) / 1024);
}

bool isFinite(Vec2 v) {
    return std::isfinite(v.x) && std::isfinite(v.y);
}

// The index of the first body with a non-finite position or velocity, or -1.
int firstNonFinite(const EntityArray &entities) {
    for (int i = 0; i < entities.size(); ++i) {
        if (!isFinite(entities[i]->position) || !isFinite(entities[i]->velocity))
            return i;
    }
    return -1;
}

} // namespace

int main(int argc, char **argv) {
    long long steps = defaultSteps;
    if (argc > 2 || (argc == 2 && !parseSteps(argv[1], steps))) {
        std::fprintf(stderr, "usage: rigid2d-soak [STEPS] (a whole number, default %lld)\n",
                     defaultSteps);
        return 2;
    }

    EntityArray entities(1024);
    populateDemoScene(entities);
    World world;
    long long baselineKiB = residentKiB();
    long long baselineAt = 0;
    int status = 0;

    const auto start = std::chrono::steady_clock::now();
    for (long long s = 1; s <= steps; ++s) {
        world.step(entities);
        const int bad = firstNonFinite(entities);
        if (bad >= 0) {
            std::fprintf(stderr, "rigid2d-soak: body %d is not finite after step %lld\n", bad, s);
            status = 1;
            steps = s;
            break;
        }
        if (s == baselineStep) {
            baselineKiB = residentKiB();
            baselineAt = s;
        }
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const long long endKiB = residentKiB();

    std::printf("steps: %lld\n", steps);
    std::printf("elapsed: %.3f s (%.3f us per step)\n", elapsed.count(),
                steps > 0 ? elapsed.count() * 1e6 / static_cast<double>(steps) : 0.0);
    std::printf("resident set at step %lld: %lld KiB\n", baselineAt, baselineKiB);
    std::printf("resident set at step %lld: %lld KiB\n", steps, endKiB);

    if (baselineKiB <= 0 || endKiB <= 0) {
        std::fprintf(stderr, "rigid2d-soak: cannot read /proc/self/statm\n");
        status = 1;
    } else if (100 * std::llabs(endKiB - baselineKiB) > baselineKiB) {
        std::fprintf(stderr, "rigid2d-soak: resident set changed by more than 1 %%\n");
        status = 1;
    }
    deleteEntities(entities);
    return status;
}
