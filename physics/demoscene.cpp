#include "physics/demoscene.h"

#include "core/entityarray.h"
#include "physics/circle.h"
#include "physics/rectangle.h"

namespace {

RectAngle *makeWall(float width, float height, Vec2 position) {
    auto *wall = new RectAngle(width, height);
    wall->setPosition(position);
    wall->setStatic(true);
    return wall;
}

// Appends body, or deletes it when the array is full, so nothing leaks.
void appendOrDelete(EntityArray &entities, BaseEntity *body) {
    if (!entities.append(body))
        delete body;
}

} // namespace

void addDemoWalls(EntityArray &entities) {
    RectAngle *floor = makeWall(1080, 15, Vec2(100, 50));
    RectAngle *leftWall = makeWall(15, 400, Vec2(100, 80));
    RectAngle *rightWall = makeWall(15, 400, Vec2(1165, 80));
    appendOrDelete(entities, rightWall);
    appendOrDelete(entities, leftWall);
    appendOrDelete(entities, floor);
}

void addDemoCircle(EntityArray &entities, float x, float y) {
    auto *circle = new Circle(30);
    circle->setPosition(Vec2(x, y));
    circle->setMass(0.02f);
    appendOrDelete(entities, circle);
}

void populateDemoScene(EntityArray &entities) {
    addDemoWalls(entities);
    for (int i = 0; i < 100; ++i) {
        const int y = 300 + 100 * i;
        addDemoCircle(entities, i % 2 == 1 ? 230 : 200, static_cast<float>(y));
    }
}

void deleteEntities(const EntityArray &entities) {
    for (int i = 0; i < entities.size(); ++i)
        delete entities[i];
}
