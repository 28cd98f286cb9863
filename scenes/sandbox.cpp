#include "scenes/sandbox.h"

#include "core/entityarray.h"

Sandbox::Sandbox(const Scene &scene, World::PairSearch search)
    : sceneToBuild(scene), pairSearch(search),
      entities(std::make_unique<EntityArray>(scene.capacity())),
      world(std::make_unique<World>(search, scene.solver)) {
    populateScene(*entities, sceneToBuild);
}

Sandbox::~Sandbox() {
    deleteEntities(*entities);
}

void Sandbox::restart() {
    // A new world as well as new bodies: nothing of the old run can reach the new one.
    deleteEntities(*entities);
    entities = std::make_unique<EntityArray>(sceneToBuild.capacity());
    world = std::make_unique<World>(pairSearch, sceneToBuild.solver);
    populateScene(*entities, sceneToBuild);
    stepsInScene = 0;
}

void Sandbox::rebuild(const Scene &scene) {
    sceneToBuild = scene;
    restart();
}

void Sandbox::step() {
    world->step(*entities);
    ++stepsInScene;
    ++stepsInAll;
}

bool Sandbox::spawn(Vec2 position) {
    return addDemoCircle(*entities, position.x, position.y);
}

bool Sandbox::full() const {
    return entities->size() >= sceneToBuild.capacity();
}
