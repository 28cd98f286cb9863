#include "physics/scene.h"

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
bool appendOrDelete(EntityArray &entities, BaseEntity *body) {
    if (entities.append(body))
        return true;
    delete body;
    return false;
}

// Positions are whole numbers computed as integers, then converted.
void populateColumn(EntityArray &entities, int circleCount) {
    addDemoWalls(entities);
    for (int i = 0; i < circleCount; ++i) {
        const int y = 300 + 100 * i;
        addDemoCircle(entities, i % 2 == 1 ? 230 : 200, static_cast<float>(y));
    }
}

void populateGrid(EntityArray &entities, int circleCount) {
    addDemoWalls(entities);
    for (int i = 0; i < circleCount; ++i) {
        const int x = 150 + 61 * (i % 17);
        const int y = 300 + 61 * (i / 17);
        addDemoCircle(entities, static_cast<float>(x), static_cast<float>(y));
    }
}

} // namespace

std::string Scene::label() const {
    if (kind == SceneKind::Demo)
        return sceneKindName(kind);
    return std::string(sceneKindName(kind)) + "/" + std::to_string(circles);
}

const char *sceneKindName(SceneKind kind) {
    switch (kind) {
    case SceneKind::Demo:
        return "demo";
    case SceneKind::Column:
        return "column";
    case SceneKind::Grid:
        return "grid";
    }
    return "";
}

std::optional<SceneKind> sceneKindNamed(std::string_view name) {
    for (const SceneKind kind : {SceneKind::Demo, SceneKind::Column, SceneKind::Grid}) {
        if (name == sceneKindName(kind))
            return kind;
    }
    return std::nullopt;
}

void populateScene(EntityArray &entities, const Scene &scene) {
    if (scene.kind == SceneKind::Grid)
        populateGrid(entities, scene.circles);
    else
        populateColumn(entities, scene.circles);
}

void populateDemoScene(EntityArray &entities) {
    populateColumn(entities, demoCircleCount);
}

void addDemoWalls(EntityArray &entities) {
    RectAngle *floor = makeWall(1080, 15, Vec2(100, 50));
    RectAngle *leftWall = makeWall(15, 400, Vec2(100, 80));
    RectAngle *rightWall = makeWall(15, 400, Vec2(1165, 80));
    appendOrDelete(entities, rightWall);
    appendOrDelete(entities, leftWall);
    appendOrDelete(entities, floor);
}

bool addDemoCircle(EntityArray &entities, float x, float y) {
    auto *circle = new Circle(30);
    circle->setPosition(Vec2(x, y));
    circle->setMass(0.02f);
    return appendOrDelete(entities, circle);
}

void deleteEntities(const EntityArray &entities) {
    for (int i = 0; i < entities.size(); ++i)
        delete entities[i];
}
