#pragma once

#include "math/vec2.h"
#include "physics/world.h"
#include "scenes/sandboxstate.h"
#include "scenes/scene.h"

#include <memory> // std::unique_ptr

class EntityArray;

// A scene being simulated, and the inputs it can take between steps: drop a circle, start the
// scene over. Programs reach it through a Session, which records and replays these inputs, so
// the same inputs at the same steps give the same bits everywhere.
class Sandbox {
public:
    // Builds the scene: ready for its first step.
    explicit Sandbox(const Scene &scene, World::PairSearch search = World::PairSearch::BroadPhase);
    ~Sandbox();
    Sandbox(const Sandbox &) = delete;
    Sandbox &operator=(const Sandbox &) = delete;

    // Rebuilds the scene as at step 0, with a fresh world; spawned circles are gone, the settings
    // stay.
    void restart();
    // From now on builds scene instead, and builds it as restart() does.
    void rebuild(const Scene &scene);
    // Goes on from here with another solver: the bodies stay as they are, and the stable solver
    // starts without impulses kept. A restart builds the scene with it too.
    void switchSolver(World::Solver solver);
    // From the next step on.
    void changeSettings(const SandboxSettings &settings);
    // One world step.
    void step();
    // Appends a circle of the settings' drop radius and mass centred at position, after every
    // other body. False, changing nothing, when the array is full: the scene's bodies and
    // spawnRoom more.
    bool spawn(Vec2 position);
    // Takes the circle at index out: the bodies after it move down one place, the stable
    // solver's impulses follow their pairs. False, changing nothing, unless it is a circle.
    bool remove(int index);
    // Takes out every circle (and box) dropped since the scene was built.
    void clearDropped();
    int droppedCircles() const { return dropped; }
    // The same for a box of addDroppedBox's size, mass and friction.
    bool dropBox(Vec2 position);
    // Copies everything the next step depends on into state, reusing what it holds.
    void save(SandboxState &state) const;
    // Puts the sandbox back as save() found it, to the bit: bodies of the same type are
    // overwritten in place, the others made anew, and the world goes on with the state's solver
    // and warm start. Nothing is allocated when the bodies are those of a state taken earlier in
    // the same scene.
    void restore(const SandboxState &state);

    // The body of that kind (BodyType) under point whose centre is nearest to it (ties: the
    // higher index, drawn on top), or -1. Bodies that left the finite numbers are never found.
    int bodyAt(Vec2 point, int kind) const;
    // For the inputs that act on one body between steps, which wake it first (see World::wake).
    BaseEntity *body(int index);
    void wake(int index);

    const Scene &scene() const { return sceneToBuild; }
    const SandboxSettings &settings() const { return liveSettings; }
    const EntityArray &bodies() const { return *entities; }
    const World &physics() const { return *world; }
    bool full() const;
    // Steps since the scene was last built.
    long long sceneStep() const { return stepsInScene; }
    // Steps since the sandbox was created; a restart does not reset it.
    long long totalSteps() const { return stepsInAll; }

private:
    Scene sceneToBuild;
    SandboxSettings liveSettings;
    World::PairSearch pairSearch;
    std::unique_ptr<EntityArray> entities;
    std::unique_ptr<World> world;
    // The last bodies of the array that were dropped since the scene was built.
    int dropped = 0;
    long long stepsInScene = 0;
    long long stepsInAll = 0;
};
