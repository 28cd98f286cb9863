#pragma once

#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "tests/math/exactfloat.h"

#include <gtest/gtest.h>

// Whether the first count bodies of two arrays have the same position, velocity, orientation and
// spin, bit for bit.
inline ::testing::AssertionResult sameBodies(const EntityArray &got, const EntityArray &want,
                                             int count) {
    for (int i = 0; i < count; ++i) {
        if (auto p = sameVec2(got[i]->position, want[i]->position); !p)
            return p << " position of body " << i;
        if (auto v = sameVec2(got[i]->velocity, want[i]->velocity); !v)
            return v << " velocity of body " << i;
        if (auto q = sameVec2(Vec2(got[i]->rotation.c, got[i]->rotation.s),
                              Vec2(want[i]->rotation.c, want[i]->rotation.s));
            !q)
            return q << " orientation of body " << i;
        if (auto w = sameFloat(got[i]->angularVelocity, want[i]->angularVelocity); !w)
            return w << " spin of body " << i;
    }
    return ::testing::AssertionSuccess();
}
