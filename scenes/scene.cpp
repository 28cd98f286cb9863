#include "scenes/scene.h"

#include "core/entityarray.h"
#include "physics/box.h"
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

// The scenes with boxes: everything rubs.
constexpr float boxSceneFriction = 0.6f;
constexpr float boxSceneMass = 0.02f;

// Appends a box of those half-extents centred at (x, y), or deletes it when the array is full.
bool addBox(EntityArray &entities, Vec2 half, float x, float y) {
    auto *box = new Box(half.x, half.y);
    box->setPosition(Vec2(x, y));
    box->setMass(boxSceneMass);
    box->setFriction(boxSceneFriction);
    return appendOrDelete(entities, box);
}

void addRoughWalls(EntityArray &entities) {
    const int first = entities.size();
    addDemoWalls(entities);
    for (int i = first; i < entities.size(); ++i)
        entities[i]->setFriction(boxSceneFriction);
}

// Rows of boxes 10 wide, each resting on the one below, centred on x = 640 and standing on the
// floor (y = 65): the bottom row as wide as the count allows a whole pyramid, the top row short
// when the count is not a triangular number. Coordinates are whole numbers.
void populatePyramid(EntityArray &entities, int boxCount) {
    addRoughWalls(entities);
    int base = 0;
    while (base * (base + 1) / 2 < boxCount)
        ++base;
    int placed = 0;
    for (int row = 0; row < base && placed < boxCount; ++row) {
        const int inRow = base - row;
        for (int k = 0; k < inRow && placed < boxCount; ++k, ++placed) {
            const int x = 640 + 10 * k - 5 * (inRow - 1);
            addBox(entities, Vec2(5, 5), static_cast<float>(x), static_cast<float>(70 + 10 * row));
        }
    }
}

void populateStack(EntityArray &entities, int boxCount) {
    addRoughWalls(entities);
    for (int i = 0; i < boxCount; ++i)
        addBox(entities, Vec2(20, 20), 640, static_cast<float>(85 + 40 * i));
}

// Rows of 17 bodies 61 apart, as in the grid, in a repeating pattern of four: a circle of radius
// 30, a box 40 by 40, a circle of radius 15, a box 50 by 20.
void populateMix(EntityArray &entities, int bodyCount) {
    addRoughWalls(entities);
    for (int i = 0; i < bodyCount; ++i) {
        const float x = static_cast<float>(150 + 61 * (i % 17));
        const float y = static_cast<float>(300 + 61 * (i / 17));
        switch (i % 4) {
        case 0:
        case 2: {
            auto *circle = new Circle(i % 4 == 0 ? 30.0f : 15.0f);
            circle->setPosition(Vec2(x, y));
            circle->setMass(boxSceneMass);
            circle->setFriction(boxSceneFriction);
            appendOrDelete(entities, circle);
            break;
        }
        case 1:
            addBox(entities, Vec2(20, 20), x, y);
            break;
        default:
            addBox(entities, Vec2(25, 10), x, y);
            break;
        }
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
        {SceneKind::Pyramid, "pyramid",
         "N boxes 10 wide in a pyramid on the floor, with friction (5 050: a base of 100)", 5050,
         true, World::Solver::Stable, populatePyramid},
        {SceneKind::Stack, "stack", "N boxes 40 wide one on another, with friction", 20, true,
         World::Solver::Stable, populateStack},
        {SceneKind::Mix, "mix",
         "N circles and boxes of several sizes in rows of 17, dropped together, with friction",
         demoCircleCount, true, World::Solver::Stable, populateMix},
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
    const World::Solver named = stableRevision(solver) > 0 ? World::Solver::Stable : solver;
    for (const SolverInfo &info : solverTable()) {
        if (info.solver == named)
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

int stableRevision(World::Solver solver) {
    switch (solver) {
    case World::Solver::Designed:
        return 0;
    case World::Solver::StableRevision1:
        return 1;
    case World::Solver::StableRevision2:
        return 2;
    case World::Solver::StableRevision3:
        return 3;
    case World::Solver::Stable:
        break;
    }
    return newestStableRevision;
}

std::optional<World::Solver> stableSolverOfRevision(long long revision) {
    for (const World::Solver solver :
         {World::Solver::StableRevision1, World::Solver::StableRevision2,
          World::Solver::StableRevision3, World::Solver::Stable}) {
        if (stableRevision(solver) == revision)
            return solver;
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

bool addDroppedBox(EntityArray &entities, float x, float y) {
    return addBox(entities, Vec2(10, 10), x, y);
}
