#pragma once

#include "math/vec2.h"

// Body type codes; they index World's collision table.
namespace BodyType {
constexpr int Base = -1;
constexpr int Circle = 0;
constexpr int RectAngle = 1;
} // namespace BodyType

// State shared by every body. Units are pixels of the initial window (y upward) and steps:
// velocities are pixels per step. Bodies never rotate. The world reads and writes the fields
// directly.
class BaseEntity {
public:
    virtual ~BaseEntity() = default;

    virtual void draw() const = 0;
    // Integrates one step on its own: velocity first, then position. Kept because the bodies were
    // specified with it; the world step does not use it, it integrates in the other order.
    virtual void update();
    virtual int type() const { return BodyType::Base; }

    void setPosition(Vec2 p) { position = p; }
    void setVelocity(Vec2 v) { velocity = v; }
    void setGravityScale(float g) { gravityScale = g; }
    // A mass of 0 makes the body immovable (inverse mass 0).
    void setMass(float m);
    // Static bodies have inverse mass 0; their mass is kept, so gravity still pulls them.
    void setStatic(bool s);
    void applyImpulse(Vec2 j) { velocity += j * inverseMass; }
    // What one step adds to the velocity: the force, and the gravity (see StepSettings) times
    // the weight, gravityScale * mass. Every integration of the engine adds this, whole or in
    // parts. Written so that the designed gravity, (0, -1), adds to the force nothing sideways
    // and exactly force.y - weight downward.
    Vec2 velocityChangePerStep(Vec2 gravity = Vec2(0, -1)) const {
        const float weight = gravityScale * mass;
        return Vec2(gravity.x == 0 ? force.x : force.x + weight * gravity.x,
                    force.y - weight * -gravity.y);
    }

    Vec2 position;
    Vec2 velocity;
    // Added to the velocity every step, without division by the mass.
    Vec2 force;
    // 0 means impulses and position correction never move the body.
    float inverseMass = 0;
    // Also scales the per-step gravity term, gravityScale * mass.
    float mass = 0;
    float gravityScale = 1;
    // Recorded only: the physics tells an immovable body by its inverse mass.
    bool isStatic = false;
};
