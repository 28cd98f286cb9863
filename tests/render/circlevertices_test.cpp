#include "render/circlevertices.h"

#include "tests/math/exactfloat.h"

#include <gtest/gtest.h>

#include <cmath> // std::hypot

namespace {

struct Fan {
    Fan(Vec2 centre, float radius) { circleVertices(centre, radius, vertex); }
    CircleVertex vertex[circleVertexCount];
};

::testing::AssertionResult sameVertex(const CircleVertex &actual, const CircleVertex &expected) {
    const float a[] = {actual.x, actual.y, actual.red, actual.green, actual.blue, actual.alpha};
    const float e[] = {expected.x,     expected.y,    expected.red,
                       expected.green, expected.blue, expected.alpha};
    const char *names[] = {"x", "y", "red", "green", "blue", "alpha"};
    for (int k = 0; k < 6; ++k) {
        if (!sameFloat(a[k], e[k]))
            return ::testing::AssertionFailure()
                   << names[k] << ": " << sameFloat(a[k], e[k]).message();
    }
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(CircleVertices, FirstVertexIsTheTopOfTheCircle) {
    const Fan fan(Vec2(200.0f, 300.0f), 30.0f);
    EXPECT_TRUE(sameVertex(
        fan.vertex[0], CircleVertex{200.0f, 330.0f, 1.0f, 0x1.2aeeccp-2f, 0x1.62ab40p-3f, 1.0f}));
    EXPECT_NEAR(fan.vertex[0].green, 0.2919f, 0.00005f);
    EXPECT_NEAR(fan.vertex[0].blue, 0.1732f, 0.00005f);
}

TEST(CircleVertices, SecondVertexIsOneFifteenthOfATurnClockwise) {
    const Fan fan(Vec2(200.0f, 300.0f), 30.0f);
    EXPECT_NEAR(fan.vertex[1].x, 212.2f, 0.05f);
    EXPECT_NEAR(fan.vertex[1].y, 327.4f, 0.05f);
    EXPECT_TRUE(
        sameVertex(fan.vertex[1], CircleVertex{0x1.a8677ap+7f, 0x1.476808p+8f, 0x1.e9de1cp-1f,
                                               0x1.fff8d8p-4f, 0x1.6bdf0ep-2f, 1.0f}));
}

TEST(CircleVertices, AngleIsAFloatProductTakenInDoublePrecision) {
    const Fan fan(Vec2(200.0f, 300.0f), 30.0f);
    // The angle of vertex 8 is (16/15 as a float) × π rounded to float from double; the
    // product in single precision would move x to 0x1.838678p+7.
    EXPECT_TRUE(
        sameVertex(fan.vertex[8], CircleVertex{0x1.83867ap+7f, 0x1.0ea7d4p+8f, 0x1.6607c0p-7f,
                                               0x1.989a72p-1f, 0x1.7b6520p-1f, 1.0f}));
}

TEST(CircleVertices, PositionRoundsTheProductAndTheSumInSinglePrecision) {
    const Fan fan(Vec2(0.1f, 0.0f), 0.7f);
    // A fused multiply-add or a double-precision evaluation gives 0x1.880f04p-1.
    EXPECT_TRUE(sameFloat(fan.vertex[3].x, 0x1.880f06p-1f));
}

TEST(CircleVertices, ColourRampIsSinglePrecisionAroundADoubleCosine) {
    const Fan fan(Vec2(200.0f, 300.0f), 30.0f);
    // θ + 4 summed in double precision would give 0x1.433e60p-3.
    EXPECT_TRUE(sameFloat(fan.vertex[11].blue, 0x1.433e48p-3f));
    // 0.5 + 0.5 × cos evaluated in double precision would give 0x1.2aeecep-2.
    EXPECT_TRUE(sameFloat(fan.vertex[0].green, 0x1.2aeeccp-2f));
}

TEST(CircleVertices, FanGoesClockwiseAndStopsShortOfAFullTurn) {
    const Fan fan(Vec2(200.0f, 300.0f), 30.0f);
    for (int i = 1; i < circleVertexCount; ++i) {
        const CircleVertex &v = fan.vertex[i];
        EXPECT_FALSE(v.x == fan.vertex[0].x && v.y == fan.vertex[0].y) << "vertex " << i;
        // The right half first, then the left half.
        if (i < 8)
            EXPECT_GT(v.x, 200.0f) << "vertex " << i;
        else
            EXPECT_LT(v.x, 200.0f) << "vertex " << i;
        EXPECT_NEAR(std::hypot(v.x - 200.0f, v.y - 300.0f), 30.0f, 0.0001f) << "vertex " << i;
    }
    // The last vertex is one step short of the top, on its left.
    EXPECT_NEAR(fan.vertex[14].x, 187.8f, 0.05f);
    EXPECT_NEAR(fan.vertex[14].y, 327.4f, 0.05f);
}

TEST(CircleVertices, ColoursStayWithinTheUnitRangeWithOpaqueAlpha) {
    const Fan fans[] = {Fan(Vec2(200.0f, 300.0f), 30.0f), Fan(Vec2(-5.0f, 1e6f), 0.5f)};
    for (const Fan &fan : fans) {
        for (const CircleVertex &v : fan.vertex) {
            for (float channel : {v.red, v.green, v.blue}) {
                EXPECT_GE(channel, 0.0f);
                EXPECT_LE(channel, 1.0f);
            }
            EXPECT_EQ(v.alpha, 1.0f);
        }
    }
}

TEST(CircleVertices, ColoursDoNotDependOnPositionOrRadius) {
    const Fan a(Vec2(200.0f, 300.0f), 30.0f);
    const Fan b(Vec2(-7.0f, 4000.0f), 2.0f);
    for (int i = 0; i < circleVertexCount; ++i) {
        EXPECT_TRUE(sameFloat(a.vertex[i].red, b.vertex[i].red)) << "vertex " << i;
        EXPECT_TRUE(sameFloat(a.vertex[i].green, b.vertex[i].green)) << "vertex " << i;
        EXPECT_TRUE(sameFloat(a.vertex[i].blue, b.vertex[i].blue)) << "vertex " << i;
    }
}

TEST(CircleVertices, ZeroRadiusPutsEveryVertexOnTheCentre) {
    const Fan fan(Vec2(12.5f, -3.0f), 0.0f);
    for (const CircleVertex &v : fan.vertex) {
        EXPECT_EQ(v.x, 12.5f);
        EXPECT_EQ(v.y, -3.0f);
    }
}
