#pragma once

#include "math/vec2.h"

#include <gtest/gtest.h>

#include <cstdint> // std::uint32_t
#include <cstdio>  // std::snprintf
#include <cstring> // std::memcpy
#include <string>  // std::string

// Exact comparison of floats by bit pattern: -0 differs from 0, and a NaN equals itself.
// Failures print hex floats, so a last-bit difference is visible.

inline std::uint32_t bitsOf(float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

inline std::string hexFloat(float f) {
    char text[32];
    std::snprintf(text, sizeof text, "%a", static_cast<double>(f));
    return text;
}

inline ::testing::AssertionResult sameFloat(float actual, float expected) {
    if (bitsOf(actual) == bitsOf(expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "actual " << hexFloat(actual) << ", expected " << hexFloat(expected);
}

inline ::testing::AssertionResult sameVec2(Vec2 actual, Vec2 expected) {
    if (bitsOf(actual.x) == bitsOf(expected.x) && bitsOf(actual.y) == bitsOf(expected.y))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "actual (" << hexFloat(actual.x) << ", " << hexFloat(actual.y) << "), expected ("
           << hexFloat(expected.x) << ", " << hexFloat(expected.y) << ")";
}
