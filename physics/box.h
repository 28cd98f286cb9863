#pragma once

#include "physics/baseentity.h"

// A rectangle that moves and turns: centred on its position, reaching halfExtents either side
// along its own axes, which its rotation turns. The walls stay RectAngles.
class Box : public BaseEntity {
public:
    Box(float halfWidth, float halfHeight) : halfExtents(halfWidth, halfHeight) {}

    // Through the drawing a front end installed (see bodydrawing.h).
    void draw() const override;
    int type() const override { return BodyType::Box; }
    // A solid rectangle: m (w^2 + h^2) / 12, that is m (hx^2 + hy^2) / 3.
    float inertiaOfMass(float m) const override {
        return m * (halfExtents.x * halfExtents.x + halfExtents.y * halfExtents.y) / 3.0f;
    }

    Vec2 halfExtents;
};
