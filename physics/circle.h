#pragma once

#include "physics/baseentity.h"

// A circle centred on its position.
class Circle : public BaseEntity {
public:
    explicit Circle(float radius) : radius(radius) {}
    // Defined in this library so the class's vtable is too; draw() is defined by the renderer.
    ~Circle() override;

    void draw() const override;
    int type() const override { return BodyType::Circle; }

    float radius;
};
