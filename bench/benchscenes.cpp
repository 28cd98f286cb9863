#include "bench/benchscenes.h"

namespace {

BenchScene columnScene(int circleCount, int repetitions) {
    return {{SceneKind::Column, circleCount}, 1400, repetitions};
}

BenchScene gridScene(int circleCount, int repetitions) {
    return {{SceneKind::Grid, circleCount}, 400, repetitions};
}

// As Box2D 3's benchmark runs its large pyramid: 500 steps of 5 050 boxes that stand, every one
// stepped (sleeping off).
BenchScene pyramidScene() {
    return {{SceneKind::Pyramid, 5050}, 500, 1, nullptr, false};
}

BenchScene mixScene(int bodyCount) {
    return {{SceneKind::Mix, bodyCount}, 400, 1};
}

} // namespace

const std::vector<BenchScene> &benchScenes() {
    static const std::vector<BenchScene> scenes = {
        {Scene{}, 10000, 3},    columnScene(100, 3), columnScene(1000, 3), columnScene(10000, 1),
        columnScene(100000, 3), gridScene(100, 3),   gridScene(1000, 3),   gridScene(10000, 1),
        gridScene(100000, 3),   pyramidScene(),      mixScene(1000),
    };
    return scenes;
}

const std::vector<BenchScene> &settlingScenes() {
    static const std::vector<BenchScene> scenes = [] {
        std::vector<BenchScene> grids;
        // The untimed first step and these make 3 000.
        const int timedSteps = 2999;
        for (const int circles : {1000, 2000, 4000, 8000, 16000, 32000})
            grids.push_back(BenchScene{Scene{SceneKind::Grid, circles, World::Solver::Stable},
                                       timedSteps, 1, "settle"});
        return grids;
    }();
    return scenes;
}

SceneBodies::SceneBodies(const BenchScene &scene) : array(scene.bodyCount()) {
    populateScene(array, scene.scene);
}

SceneBodies::~SceneBodies() {
    deleteEntities(array);
}
