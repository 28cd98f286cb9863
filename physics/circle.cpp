#include "physics/circle.h"

#include "physics/bodydrawing.h"

void Circle::draw() const {
    if (const auto drawCircle = bodyDrawing().circle)
        drawCircle(*this);
}
