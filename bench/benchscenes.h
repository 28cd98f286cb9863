#pragma once

#include "core/entityarray.h"
#include "scenes/scene.h"

#include <string> // std::string
#include <vector> // std::vector

// A scene to time over timedSteps steps after one untimed first step.
struct BenchScene {
    Scene scene;
    int timedSteps;
    // Of the all-pairs reference and the peers: fewer for the scenes whose single run takes tens
    // of seconds.
    int repetitions;
    // Before the scene's label in the benchmark's name, to tell runs of the same scene apart.
    const char *group = nullptr;
    // Whether bodies at rest may fall asleep (under a solver that lets them).
    bool sleeping = true;

    std::string name() const { return (group ? std::string(group) + "/" : "") + scene.label(); }
    int bodyCount() const { return scene.bodyCount(); }
};

// demo, column/N, grid/N, pyramid/5050 and mix/1000, in the order they run.
const std::vector<BenchScene> &benchScenes();
// The stable grid at every power of two from 1 000 to 32 000 circles (as ] reaches them) over its
// first 3 000 steps, from the landing to the pile at rest: what the whole life of a pile costs,
// and how well it holds at the end. Named settle/grid/N.
const std::vector<BenchScene> &settlingScenes();

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
