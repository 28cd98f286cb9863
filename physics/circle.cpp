#include "physics/circle.h"

Circle::~Circle() = default;
