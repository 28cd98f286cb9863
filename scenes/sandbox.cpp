#include "scenes/sandbox.h"

#include "core/entityarray.h"
#include "physics/finitebodies.h"
#include "physics/shapes.h"

namespace {

void setBody(BaseEntity &body, const BodyTraits &traits, const BodyMotion &motion) {
    body.position = motion.position;
    body.velocity = motion.velocity;
    body.force = traits.force;
    body.mass = traits.mass;
    body.inverseMass = traits.inverseMass;
    body.gravityScale = traits.gravityScale;
    body.isStatic = traits.isStatic;
    body.inertia = traits.inertia;
    body.inverseInertia = traits.inverseInertia;
    body.friction = traits.friction;
    body.rotation = motion.rotation;
    body.angularVelocity = motion.angularVelocity;
    setShapeSize(body, traits.shape);
}

// Deletes the bodies from index from on and drops them from the array.
void dropBodiesFrom(EntityArray &entities, int from) {
    for (int i = from; i < entities.size(); ++i)
        delete entities[i];
    entities.truncate(from);
}

} // namespace

Sandbox::Sandbox(const Scene &scene, World::PairSearch search)
    : sceneToBuild(scene), pairSearch(search),
      entities(std::make_unique<EntityArray>(scene.capacity())),
      world(std::make_unique<World>(search, scene.solver)) {
    world->setSettings(liveSettings.step);
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
    world->setSettings(liveSettings.step);
    populateScene(*entities, sceneToBuild);
    dropped = 0;
    stepsInScene = 0;
}

void Sandbox::rebuild(const Scene &scene) {
    sceneToBuild = scene;
    restart();
}

void Sandbox::switchSolver(World::Solver solver) {
    sceneToBuild.solver = solver;
    world->resume(solver, {});
}

void Sandbox::changeSettings(const SandboxSettings &settings) {
    liveSettings = settings;
    world->setSettings(settings.step);
}

void Sandbox::step() {
    world->step(*entities);
    ++stepsInScene;
    ++stepsInAll;
}

bool Sandbox::spawn(Vec2 position) {
    const bool added =
        addCircle(*entities, position, liveSettings.dropRadius, liveSettings.dropMass);
    dropped += added ? 1 : 0;
    return added;
}

// Both through a state, which the world resumes from as from any other: a person's key press is
// rare enough for the copy.
bool Sandbox::remove(int index) {
    if (index < 0 || index >= entities->size() || (*entities)[index]->type() != BodyType::Circle)
        return false;
    // What rested on it falls.
    world->wake(index);
    SandboxState state;
    save(state);
    eraseBodies(state, index, index + 1);
    restore(state);
    return true;
}

void Sandbox::clearDropped() {
    for (int i = entities->size() - dropped; i < entities->size(); ++i)
        world->wake(i);
    SandboxState state;
    save(state);
    eraseBodies(state, entities->size() - dropped, entities->size());
    restore(state);
}

bool Sandbox::dropBox(Vec2 position) {
    const bool added = addDroppedBox(*entities, position.x, position.y);
    dropped += added ? 1 : 0;
    return added;
}

void Sandbox::save(SandboxState &state) const {
    state.scene = sceneToBuild;
    state.settings = liveSettings;
    state.sceneStep = stepsInScene;
    state.totalSteps = stepsInAll;
    const int count = entities->size();
    state.motions.resize(static_cast<std::size_t>(count));
    state.runs.clear();
    for (int i = 0; i < count; ++i) {
        const BaseEntity &body = *(*entities)[i];
        state.motions[static_cast<std::size_t>(i)] =
            BodyMotion{body.position, body.velocity, body.rotation, body.angularVelocity};
        appendTraits(state.runs, traitsOf(body));
    }
    const std::vector<PairImpulse> &impulses = world->warmStart();
    state.warmStart.assign(impulses.begin(), impulses.end());
    world->sleepRecords(state.sleep);
    state.droppedCircles = dropped;
}

void Sandbox::restore(const SandboxState &state) {
    if (state.scene.capacity() != sceneToBuild.capacity()) {
        deleteEntities(*entities);
        entities = std::make_unique<EntityArray>(state.scene.capacity());
    }
    sceneToBuild = state.scene;
    int index = 0;
    for (const TraitsRun &run : state.runs) {
        for (int k = 0; k < run.count; ++k, ++index) {
            // From the first body of another type on, the array is built anew.
            if (index < entities->size() && (*entities)[index]->type() != run.traits.shape.kind)
                dropBodiesFrom(*entities, index);
            if (index == entities->size())
                entities->append(makeBody(run.traits.shape));
            setBody(*(*entities)[index], run.traits,
                    state.motions[static_cast<std::size_t>(index)]);
        }
    }
    dropBodiesFrom(*entities, index);
    // The settings first: a change of gravity would wake the bodies the state has asleep.
    changeSettings(state.settings);
    world->resume(state.scene.solver, state.warmStart, state.sleep);
    dropped = state.droppedCircles;
    stepsInScene = state.sceneStep;
    stepsInAll = state.totalSteps;
}

bool Sandbox::full() const {
    return entities->size() >= sceneToBuild.capacity();
}

BaseEntity *Sandbox::body(int index) {
    return (*entities)[index];
}

void Sandbox::wake(int index) {
    world->wake(index);
}

int Sandbox::bodyAt(Vec2 point, int kind) const {
    int nearest = -1;
    double nearestSquare = 0;
    for (int i = 0; i < entities->size(); ++i) {
        const BaseEntity *body = (*entities)[i];
        if (body->type() != kind || !isFiniteBody(*body) || !containsPoint(*body, point))
            continue;
        const double dx = static_cast<double>(point.x) - body->position.x;
        const double dy = static_cast<double>(point.y) - body->position.y;
        const double square = dx * dx + dy * dy;
        if (nearest < 0 || square <= nearestSquare) {
            nearest = i;
            nearestSquare = square;
        }
    }
    return nearest;
}
