#include "physics/finitebodies.h"

#include "core/entityarray.h"

int countNonFiniteBodies(const EntityArray &bodies) {
    int count = 0;
    for (int i = 0; i < bodies.size(); ++i) {
        if (!isFiniteBody(*bodies[i]))
            ++count;
    }
    return count;
}
