#include "physics/bodydrawing.h"

namespace {

BodyDrawing installed;

} // namespace

void setBodyDrawing(const BodyDrawing &drawing) {
    installed = drawing;
}

const BodyDrawing &bodyDrawing() {
    return installed;
}
