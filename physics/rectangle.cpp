#include "physics/rectangle.h"

#include "physics/bodydrawing.h"

void RectAngle::draw() const {
    if (const auto drawRectangle = bodyDrawing().rectangle)
        drawRectangle(*this);
}
