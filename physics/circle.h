#pragma once

#include "physics/baseentity.h"

// A circle centred on its position.
class Circle : public BaseEntity {
public:
    explicit Circle(float radius) : radius(radius) {}

    // Through the drawing a front end installed (see bodydrawing.h).
    void draw() const override;
    int type() const override { return BodyType::Circle; }
    // A solid disc: m r^2 / 2.
    float inertiaOfMass(float m) const override { return m * radius * radius * 0.5f; }

    float radius;
};
