#include "bench/benchscenes.h"

#include "physics/demoscene.h"

namespace {

// The demo's zig-zag column continued upward: 100 px apart, so each circle falls alone until it
// lands on the pile.
void populateColumn(EntityArray &entities, int circleCount) {
    addDemoWalls(entities);
    for (int i = 0; i < circleCount; ++i) {
        const int y = 300 + 100 * i;
        addDemoCircle(entities, i % 2 == 1 ? 230 : 200, static_cast<float>(y));
    }
}

// Rows of 17 circles 61 px apart, 1 px short of touching, that land together and pile up.
void populateGrid(EntityArray &entities, int circleCount) {
    addDemoWalls(entities);
    for (int i = 0; i < circleCount; ++i) {
        const int x = 150 + 61 * (i % 17);
        const int y = 300 + 61 * (i / 17);
        addDemoCircle(entities, static_cast<float>(x), static_cast<float>(y));
    }
}

BenchScene columnScene(int circleCount, int repetitions) {
    return {"column/" + std::to_string(circleCount), circleCount, 1400, repetitions,
            [circleCount](EntityArray &entities) { populateColumn(entities, circleCount); }};
}

BenchScene gridScene(int circleCount, int repetitions) {
    return {"grid/" + std::to_string(circleCount), circleCount, 400, repetitions,
            [circleCount](EntityArray &entities) { populateGrid(entities, circleCount); }};
}

} // namespace

const std::vector<BenchScene> &benchScenes() {
    static const std::vector<BenchScene> scenes = {
        {"demo", 100, 10000, 3, populateDemoScene},
        columnScene(100, 3),
        columnScene(1000, 3),
        columnScene(10000, 1),
        gridScene(100, 3),
        gridScene(1000, 3),
        gridScene(10000, 1),
    };
    return scenes;
}

SceneBodies::SceneBodies(const BenchScene &scene) : array(scene.bodyCount()) {
    scene.populate(array);
}

SceneBodies::~SceneBodies() {
    deleteEntities(array);
}
