#pragma once

#include "physics/world.h"

#include <optional>    // std::optional
#include <string>      // std::string
#include <string_view> // std::string_view
#include <vector>      // std::vector

class EntityArray;

// The scenes every program builds. Each starts with the demonstration's three walls, appended
// right wall, left wall, floor (indices 0, 1, 2), followed by its bodies: in the circle scenes,
// circles of the demonstration's radius 30 and mass 0.02 without friction; in the others, boxes
// (and circles) of mass 0.02 with friction 0.6 on walls that have it too.
enum class SceneKind {
    // The designed scene: one hundred circles in a zig-zag column from y = 300 up to y = 10200.
    Demo,
    // The demo's zig-zag continued upward, 100 apart: each circle falls alone onto the pile.
    Column,
    // Rows of 17 circles 61 apart, 1 short of touching, from (150, 300): they land together.
    Grid,
    // Boxes 10 wide resting in a pyramid on the floor, a base of 100 for 5 050 boxes.
    Pyramid,
    // Boxes 40 wide resting one on another in a single column.
    Stack,
    // Circles and boxes of several sizes in rows, dropped into the box together.
    Mix,
};

constexpr int demoCircleCount = 100;
constexpr int maxSceneCircles = 100000;
// Free slots every scene's array keeps for circles dropped in while it runs.
constexpr int spawnRoom = 1024;

struct Scene {
    SceneKind kind = SceneKind::Demo;
    // The bodies it holds besides the walls: circles, boxes or both.
    int circles = demoCircleCount;
    // How its contacts are resolved; programs give each scene its kind's default
    // (defaultSolver) unless a solver is asked for.
    World::Solver solver = World::Solver::Designed;

    int bodyCount() const { return 3 + circles; }
    int capacity() const { return bodyCount() + spawnRoom; }
    // "demo", "column/1000", "grid/100".
    std::string label() const;
};

// One row of the scene table: everything a program, a file or a help text knows of a scene kind.
// Adding a scene is adding a row.
struct SceneKindInfo {
    SceneKind kind;
    // As the command line and the files spell it.
    const char *name;
    // What a user sees, for help texts.
    const char *description;
    int defaultCircles;
    // Whether the number of circles may be chosen; the demo's is fixed.
    bool takesCount;
    // The designed solver for the designed demo; the one that holds piles for the others.
    World::Solver defaultSolver;
    // Appends the walls and circles circles to an empty array with room for them.
    void (*populate)(EntityArray &entities, int circles);
};

const std::vector<SceneKindInfo> &sceneTable();
const SceneKindInfo &sceneKindInfo(SceneKind kind);
// Nothing when no row has that name.
const SceneKindInfo *sceneKindNamed(std::string_view name);

// One row of the solver table: a solver as the command line, the files and the help spell it.
struct SolverInfo {
    World::Solver solver;
    // "designed", "stable".
    const char *name;
    // What a user sees, for help texts.
    const char *description;
};

const std::vector<SolverInfo> &solverTable();
// Every revision of the stable solver is called "stable".
const char *solverName(World::Solver solver);

// The revisions of the stable solver, which the files name: World::Solver::Stable is the newest.
constexpr int newestStableRevision = 4;
// The revision of the stable solver that solver is; 0 for the designed one.
int stableRevision(World::Solver solver);
// The stable solver of that revision; nothing when there is none.
std::optional<World::Solver> stableSolverOfRevision(long long revision);
// Nothing when no solver has that name.
std::optional<World::Solver> solverNamed(std::string_view name);

// Appends the scene's bodies to an empty array with room for them.
void populateScene(EntityArray &entities, const Scene &scene);

// The designed scene. The array holds, by index: 0 right wall, 1 left wall, 2 floor,
// 3 ... 102 the circles from the bottom up.
void populateDemoScene(EntityArray &entities);

// The three walls alone, appended right wall, left wall, floor. Like addDemoCircle, a body that
// does not fit in the array is deleted at once.
void addDemoWalls(EntityArray &entities);

// A circle of the demonstration's size and mass at (x, y), appended to entities. Returns false,
// having deleted the circle, when the array is full.
bool addDemoCircle(EntityArray &entities, float x, float y);
// The same with another radius and mass.
bool addCircle(EntityArray &entities, Vec2 position, float radius, float mass);

// The box Shift and the left button drop: 20 by 20, mass 0.02, friction 0.6, centred at (x, y).
// Returns false, having deleted the box, when the array is full.
bool addDroppedBox(EntityArray &entities, float x, float y);

// Deletes every body the array points to; the array itself is left as it is.
void deleteEntities(const EntityArray &entities);
