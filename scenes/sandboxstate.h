#pragma once

#include "math/rotation.h"
#include "math/vec2.h"
#include "physics/shapes.h"
#include "physics/sleepingbodies.h"
#include "physics/stablesolver.h"
#include "scenes/sandboxsettings.h"
#include "scenes/scene.h"

#include <cstddef> // std::size_t
#include <vector>  // std::vector

class BaseEntity;

// What a body is, as opposed to where it is and how fast it goes: the fields no step changes.
struct BodyTraits {
    ShapeSize shape;
    Vec2 force;
    float mass = 0;
    float inverseMass = 0;
    float gravityScale = 1;
    bool isStatic = false;
    float inertia = 0;
    float inverseInertia = 0;
    float friction = 0;
};

// What every step changes: 28 bytes.
struct BodyMotion {
    Vec2 position;
    Vec2 velocity;
    Rotation rotation;
    float angularVelocity = 0;
};

// Consecutive bodies with the same traits, to the bit.
struct TraitsRun {
    BodyTraits traits;
    int count = 0;
};

// Everything a sandbox's next step depends on. Every circle of a scene and every dropped one has
// the same traits, so they are kept once per run of bodies that share them and each body costs
// its motion alone: 28 bytes a body. Taking one into a state that held as many bodies before
// allocates nothing.
struct SandboxState {
    Scene scene;
    SandboxSettings settings;
    long long sceneStep = 0;
    long long totalSteps = 0;
    // By body index.
    std::vector<BodyMotion> motions;
    // In body order; their counts add up to the number of motions.
    std::vector<TraitsRun> runs;
    // The stable solver's impulses, as World::warmStart() gives them.
    std::vector<PairImpulse> warmStart;
    // The bodies asleep or at rest, as World::sleepRecords() gives them.
    std::vector<BodySleep> sleep;
    // How many of the last bodies are circles dropped since the scene was built.
    int droppedCircles = 0;

    // The memory the state holds.
    std::size_t bytes() const;
};

BodyTraits traitsOf(const BaseEntity &body);
// Equal bit for bit: -0 differs from 0, and a NaN equals the same NaN.
bool sameTraits(const BodyTraits &a, const BodyTraits &b);
// Appends a body with these traits to runs, extending the last run when it has the same.
void appendTraits(std::vector<TraitsRun> &runs, const BodyTraits &traits);
// Takes the bodies from index first to index end - 1 out of the state: those after them move down,
// and the warm start's pairs and the sleep records follow their bodies (those of a body taken out
// are dropped).
void eraseBodies(SandboxState &state, int first, int end);
