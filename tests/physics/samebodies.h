#pragma once

#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "tests/math/exactfloat.h"

#include <gtest/gtest.h>

// Whether the first count bodies of two arrays have the same position and velocity, bit for bit.
inline ::testing::AssertionResult sameBodies(const EntityArray &got, const EntityArray &want,
                                             int count) {
    for (int i = 0; i < count; ++i) {
        if (auto p = sameVec2(got[i]->position, want[i]->position); !p)
            return p << " position of body " << i;
        if (auto v = sameVec2(got[i]->velocity, want[i]->velocity); !v)
            return v << " velocity of body " << i;
    }
    return ::testing::AssertionSuccess();
}
