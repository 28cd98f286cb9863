#include "scenes/scene.h"

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
    const SceneKindInfo &info = sceneKindInfo(kind);
    if (!info.takesCount)
        return info.name;
    return std::string(info.name) + "/" + std::to_string(circles);
}

const std::vector<SceneKindInfo> &sceneTable() {
    static const std::vector<SceneKindInfo> table = {
        {SceneKind::Demo, "demo",
         "the demonstration: 100 circles in a zig-zag column dropped into a box of three low walls",
         demoCircleCount, false, World::Solver::Designed, populateColumn},
        {SceneKind::Column, "column",
         "the same zig-zag column with N circles, 100 apart: each lands alone on the pile",
         demoCircleCount, true, World::Solver::Stable, populateColumn},
        {SceneKind::Grid, "grid", "N circles in rows of 17, 61 apart: they land together",
         demoCircleCount, true, World::Solver::Stable, populateGrid},
    };
    return table;
}

const SceneKindInfo &sceneKindInfo(SceneKind kind) {
    for (const SceneKindInfo &info : sceneTable()) {
        if (info.kind == kind)
            return info;
    }
    return sceneTable().front();
}

const SceneKindInfo *sceneKindNamed(std::string_view name) {
    for (const SceneKindInfo &info : sceneTable()) {
        if (name == info.name)
            return &info;
    }
    return nullptr;
}

const std::vector<SolverInfo> &solverTable() {
    static const std::vector<SolverInfo> table = {
        {World::Solver::Designed, "designed", "one impulse per contact and step, the demo's"},
        {World::Solver::Stable, "stable",
         "iterated and warm-started, so piles of thousands hold; every other scene's default"},
    };
    return table;
}

const char *solverName(World::Solver solver) {
    for (const SolverInfo &info : solverTable()) {
        if (info.solver == solver)
            return info.name;
    }
    return solverTable().front().name;
}

std::optional<World::Solver> solverNamed(std::string_view name) {
    for (const SolverInfo &info : solverTable()) {
        if (name == info.name)
            return info.solver;
    }
    return std::nullopt;
}

void populateScene(EntityArray &entities, const Scene &scene) {
    sceneKindInfo(scene.kind).populate(entities, scene.circles);
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
    return addCircle(entities, Vec2(x, y), 30, 0.02f);
}

bool addCircle(EntityArray &entities, Vec2 position, float radius, float mass) {
    auto *circle = new Circle(radius);
    circle->setPosition(position);
    circle->setMass(mass);
    return appendOrDelete(entities, circle);
}

void deleteEntities(const EntityArray &entities) {
    for (int i = 0; i < entities.size(); ++i)
        delete entities[i];
}
