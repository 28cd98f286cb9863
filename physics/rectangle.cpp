#include "physics/rectangle.h"

RectAngle::~RectAngle() = default;
