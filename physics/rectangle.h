#pragma once

#include "physics/baseentity.h"

// An axis-aligned rectangle spanning from its position (the lower-left corner) to
// position + (width, height).
class RectAngle : public BaseEntity {
public:
    // The sizes are stored truncated toward zero.
    RectAngle(float width, float height)
        : width(static_cast<int>(width)), height(static_cast<int>(height)) {}

    // Through the drawing a front end installed (see bodydrawing.h).
    void draw() const override;
    int type() const override { return BodyType::RectAngle; }

    int width;
    int height;
};
