#include "scenes/sandbox.h"

#include "core/entityarray.h"
#include "physics/circle.h"
#include "physics/finitebodies.h"

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

BaseEntity *Sandbox::body(int index) {
    return (*entities)[index];
}

int Sandbox::circleAt(Vec2 point) const {
    int nearest = -1;
    double nearestSquare = 0;
    for (int i = 0; i < entities->size(); ++i) {
        const BaseEntity *body = (*entities)[i];
        if (body->type() != BodyType::Circle || !isFiniteBody(*body))
            continue;
        const double dx = static_cast<double>(point.x) - body->position.x;
        const double dy = static_cast<double>(point.y) - body->position.y;
        const double square = dx * dx + dy * dy;
        const double radius = static_cast<const Circle *>(body)->radius;
        if (square <= radius * radius && (nearest < 0 || square <= nearestSquare)) {
            nearest = i;
            nearestSquare = square;
        }
    }
    return nearest;
}
