#pragma once

#include "core/entityarray.h"

#include <functional> // std::function
#include <string>     // std::string
#include <vector>     // std::vector

// A named scene: the demo's three walls and circleCount circles, timed over timedSteps steps
// after one untimed first step.
struct BenchScene {
    std::string name;
    int circleCount;
    int timedSteps;
    // Fewer for the scenes whose single run takes tens of seconds.
    int repetitions;
    // Appends the walls and the circles to an array with room for them.
    std::function<void(EntityArray &)> populate;

    int bodyCount() const { return circleCount + 3; }
};

// demo, column/N and grid/N, in the order they run.
const std::vector<BenchScene> &benchScenes();

// The bodies of one scene as rigid2d lays them out. Every engine builds its copy of the scene
// from them, so all of them start from the same geometry.
class SceneBodies {
public:
    explicit SceneBodies(const BenchScene &scene);
    ~SceneBodies();
    SceneBodies(const SceneBodies &) = delete;
    SceneBodies &operator=(const SceneBodies &) = delete;

    EntityArray &entities() { return array; }

private:
    EntityArray array;
};
