#pragma once

#include "math/rotation.h"
#include "math/vec2.h"

// Body type codes; they index World's collision table.
namespace BodyType {
constexpr int Base = -1;
constexpr int Circle = 0;
constexpr int RectAngle = 1;
constexpr int Box = 2;
} // namespace BodyType

// State shared by every body. Units are pixels of the initial window (y upward) and steps:
// velocities are pixels per step, angular velocities radians per step. The designed solver never
// turns a body; the stable solver turns those with rotational inertia. The world reads and writes
// the fields directly.
class BaseEntity {
public:
    virtual ~BaseEntity() = default;

    virtual void draw() const = 0;
    // Integrates one step on its own: velocity first, then position. Kept because the bodies were
    // specified with it; the world step does not use it, it integrates in the other order.
    virtual void update();
    virtual int type() const { return BodyType::Base; }
    // The rotational inertia about the position of a body of this shape with that mass; 0 for a
    // body that never turns.
    virtual float inertiaOfMass(float) const { return 0; }

    void setPosition(Vec2 p) { position = p; }
    void setVelocity(Vec2 v) { velocity = v; }
    void setGravityScale(float g) { gravityScale = g; }
    void setRotation(Rotation q) { rotation = q; }
    void setAngularVelocity(float w) { angularVelocity = w; }
    void setFriction(float f) { friction = f; }
    // A mass of 0 makes the body immovable (inverse mass 0). The rotational inertia follows the
    // mass and the shape (inertiaOfMass): set the shape's size first.
    void setMass(float m);
    // Static bodies have inverse mass and inverse inertia 0; their mass is kept, so gravity still
    // pulls them.
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
    // Counter-clockwise about the position.
    Rotation rotation;
    // Radians per step, counter-clockwise.
    float angularVelocity = 0;
    float inertia = 0;
    // 0 means no contact turns the body.
    float inverseInertia = 0;
    // The Coulomb coefficient: a contact's tangent impulse is at most the geometric mean of its
    // bodies' coefficients times its normal impulse. 0: the body slides without resistance.
    float friction = 0;
};
