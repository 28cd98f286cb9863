// Builds the demo scene without a window, runs STEPS world steps and prints one line per body in
// array order: index, type, position x and y, velocity x and y. Floats are printed as hex floats,
// so two builds, compilers or machines can be compared to the last bit with diff.

#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "physics/demoscene.h"
#include "physics/world.h"

#include <cerrno>  // errno
#include <cstdio>  // std::printf, std::fprintf
#include <cstdlib> // std::strtoll

namespace {

bool parseSteps(const char *text, long long &steps) {
    char *end = nullptr;
    errno = 0;
    steps = std::strtoll(text, &end, 10);
    return *text >= '0' && *text <= '9' && *end == '\0' && errno == 0;
}

} // namespace

int main(int argc, char **argv) {
    long long steps = 0;
    if (argc != 2 || !parseSteps(argv[1], steps)) {
        std::fprintf(stderr, "usage: rigid2d-trace STEPS (a whole number, 0 or more)\n");
        return 2;
    }

    EntityArray entities(1024);
    populateDemoScene(entities);
    World world;
    for (long long s = 0; s < steps; ++s)
        world.step(entities);

    for (int i = 0; i < entities.size(); ++i) {
        const BaseEntity *b = entities[i];
        std::printf("%d %d %a %a %a %a\n", i, b->type(), static_cast<double>(b->position.x),
                    static_cast<double>(b->position.y), static_cast<double>(b->velocity.x),
                    static_cast<double>(b->velocity.y));
    }
    deleteEntities(entities);
    return 0;
}
