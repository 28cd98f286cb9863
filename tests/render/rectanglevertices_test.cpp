#include "render/rectanglevertices.h"

#include "tests/math/exactfloat.h"

#include <gtest/gtest.h>

namespace {

::testing::AssertionResult cornersAre(Vec2 position, int width, int height,
                                      const float (&expected)[2 * rectangleVertexCount]) {
    float corners[2 * rectangleVertexCount];
    rectangleVertices(position, width, height, corners);
    for (int k = 0; k < 2 * rectangleVertexCount; ++k) {
        if (!sameFloat(corners[k], expected[k]))
            return ::testing::AssertionFailure()
                   << "vertex " << k / 2 << (k % 2 == 0 ? " x: " : " y: ")
                   << sameFloat(corners[k], expected[k]).message();
    }
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(RectangleVertices, GoClockwiseFromTheLowerLeftCorner) {
    // The scene's floor covers x in [100, 1180], y in [50, 65].
    EXPECT_TRUE(cornersAre(Vec2(100.0f, 50.0f), 1080, 15,
                           {100.0f, 50.0f, 100.0f, 65.0f, 1180.0f, 65.0f, 1180.0f, 50.0f}));
    EXPECT_TRUE(
        cornersAre(Vec2(0.5f, 0.25f), 3, 2, {0.5f, 0.25f, 0.5f, 2.25f, 3.5f, 2.25f, 3.5f, 0.25f}));
}

TEST(RectangleVertices, NegativeSizesGoBelowAndLeftOfThePosition) {
    EXPECT_TRUE(cornersAre(Vec2(10.0f, 20.0f), -4, -8,
                           {10.0f, 20.0f, 10.0f, 12.0f, 6.0f, 12.0f, 6.0f, 20.0f}));
}

TEST(RectangleVertices, SizesBecomeFloatsBeforeTheSum) {
    // 16777217 becomes the float 16777216, and 1 + 16777216 rounds to 16777216; integer or
    // double arithmetic would reach 16777218.
    EXPECT_TRUE(
        cornersAre(Vec2(1.0f, 1.0f), 16777217, 16777217,
                   {1.0f, 1.0f, 1.0f, 16777216.0f, 16777216.0f, 16777216.0f, 16777216.0f, 1.0f}));
}
