#include "physics/box.h"

#include "physics/bodydrawing.h"

void Box::draw() const {
    if (const auto drawBox = bodyDrawing().box)
        drawBox(*this);
}
