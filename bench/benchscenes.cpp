#include "bench/benchscenes.h"

namespace {

BenchScene columnScene(int circleCount, int repetitions) {
    return {{SceneKind::Column, circleCount}, 1400, repetitions};
}

BenchScene gridScene(int circleCount, int repetitions) {
    return {{SceneKind::Grid, circleCount}, 400, repetitions};
}

} // namespace

const std::vector<BenchScene> &benchScenes() {
    static const std::vector<BenchScene> scenes = {
        {Scene{}, 10000, 3},   columnScene(100, 3),    columnScene(1000, 3),
        columnScene(10000, 1), columnScene(100000, 3), gridScene(100, 3),
        gridScene(1000, 3),    gridScene(10000, 1),    gridScene(100000, 3),
    };
    return scenes;
}

SceneBodies::SceneBodies(const BenchScene &scene) : array(scene.bodyCount()) {
    populateScene(array, scene.scene);
}

SceneBodies::~SceneBodies() {
    deleteEntities(array);
}
