#include "math/vec2.h"

#include "tests/math/exactfloat.h"

#include <gtest/gtest.h>

#include <cmath>       // std::isfinite, std::signbit, INFINITY
#include <cstddef>     // offsetof
#include <type_traits> // std::is_standard_layout_v

// Two floats, x then y, and nothing else: bodies and contacts embed it by value.
static_assert(sizeof(Vec2) == 2 * sizeof(float));
static_assert(std::is_standard_layout_v<Vec2>);
static_assert(offsetof(Vec2, x) == 0 && offsetof(Vec2, y) == sizeof(float));

TEST(Vec2Construction, DefaultsToTheZeroVector) {
    EXPECT_TRUE(sameVec2(Vec2(), Vec2(0.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(Vec2(2.5f), Vec2(2.5f, 0.0f)));
}

TEST(Vec2Arithmetic, AddsAndSubtractsComponentwise) {
    const Vec2 a(1.5f, 2.0f);
    const Vec2 b(0.25f, -4.0f);
    EXPECT_TRUE(sameVec2(a + b, Vec2(1.75f, -2.0f)));
    EXPECT_TRUE(sameVec2(a - b, Vec2(1.25f, 6.0f)));
    EXPECT_TRUE(sameVec2(a, Vec2(1.5f, 2.0f)));
    EXPECT_TRUE(sameVec2(b, Vec2(0.25f, -4.0f)));
}

TEST(Vec2Arithmetic, CompoundAdditionAndSubtractionChangeTheLeftOperand) {
    Vec2 v(1.5f, 2.0f);
    v += Vec2(0.25f, -4.0f);
    EXPECT_TRUE(sameVec2(v, Vec2(1.75f, -2.0f)));
    v -= Vec2(0.75f, 1.0f);
    EXPECT_TRUE(sameVec2(v, Vec2(1.0f, -3.0f)));
}

TEST(Vec2Arithmetic, SumsRoundInSinglePrecision) {
    // 1 + 2^-24 lies halfway between two floats and rounds to the even one, 1.
    EXPECT_TRUE(sameVec2(Vec2(1.0f, 3.0f) + Vec2(0x1p-24f, 0x1p-24f), Vec2(1.0f, 3.0f)));
    Vec2 v(1.0f, 3.0f);
    v += Vec2(0x1p-24f, 0x1p-24f);
    EXPECT_TRUE(sameVec2(v, Vec2(1.0f, 3.0f)));
}

TEST(Vec2Arithmetic, NegationFlipsTheSignBits) {
    EXPECT_TRUE(sameVec2(-Vec2(1.0f, -2.0f), Vec2(-1.0f, 2.0f)));
    const Vec2 negativeZero = -Vec2(0.0f, 0.0f);
    EXPECT_TRUE(std::signbit(negativeZero.x));
    EXPECT_TRUE(std::signbit(negativeZero.y));
    EXPECT_TRUE(sameVec2(-negativeZero, Vec2(0.0f, 0.0f)));
}

TEST(Vec2Arithmetic, ScalesByAFloat) {
    EXPECT_TRUE(sameVec2(Vec2(1.5f, -2.0f) * 4.0f, Vec2(6.0f, -8.0f)));
    Vec2 v(1.5f, -2.0f);
    v *= 4.0f;
    EXPECT_TRUE(sameVec2(v, Vec2(6.0f, -8.0f)));
}

TEST(Vec2Arithmetic, DividesEachComponentRatherThanMultiplyingByTheReciprocal) {
    // 3 / 7 is 0x1.b6db6ep-2; 3 * (1 / 7) would be 0x1.b6db70p-2.
    EXPECT_TRUE(sameVec2(Vec2(3.0f, 7.0f) / 7.0f, Vec2(0x1.b6db6ep-2f, 1.0f)));
    Vec2 v(3.0f, 7.0f);
    v /= 7.0f;
    EXPECT_TRUE(sameVec2(v, Vec2(0x1.b6db6ep-2f, 1.0f)));
}

TEST(Vec2Arithmetic, DivisionByZeroIsNotGuarded) {
    EXPECT_TRUE(sameVec2(Vec2(1.0f, -1.0f) / 0.0f, Vec2(INFINITY, -INFINITY)));
}

TEST(Vec2Arithmetic, SetZeroClearsBothComponents) {
    Vec2 v(5.0f, -7.0f);
    v.setZero();
    EXPECT_TRUE(sameVec2(v, Vec2(0.0f, 0.0f)));
}

TEST(Vec2Length, IsExactForAPythagoreanTriple) {
    EXPECT_EQ(Vec2(3.0f, 4.0f).length(), 5.0f);
    EXPECT_EQ(Vec2(-3.0f, -4.0f).length(), 5.0f);
}

TEST(Vec2Length, RoundsEachProductTheSumAndTheRootInSinglePrecision) {
    // A fused multiply-add or a double-precision evaluation gives 0x1.c9f25cp-3.
    EXPECT_TRUE(sameFloat(Vec2(0.1f, 0.2f).length(), 0x1.c9f25ep-3f));
    // The square of 1e20 overflows a float.
    EXPECT_EQ(Vec2(1e20f, 0.0f).length(), INFINITY);
}

TEST(Vec2Normalized, GivesTheUnitVectorOfAPythagoreanTriple) {
    EXPECT_TRUE(sameVec2(Vec2(3.0f, 4.0f).normalized(), Vec2(0.6f, 0.8f)));
}

TEST(Vec2Normalized, DividesByTheLengthRatherThanMultiplyingByItsReciprocal) {
    // Multiplying by 1 / length would give (0x1.ad1d94p-3, 0x1.f4a282p-1).
    EXPECT_TRUE(sameVec2(Vec2(3.0f, 14.0f).normalized(), Vec2(0x1.ad1d96p-3f, 0x1.f4a284p-1f)));
}

TEST(Vec2Normalized, OfTheZeroVectorIsNotFinite) {
    const Vec2 n = Vec2(0.0f, 0.0f).normalized();
    EXPECT_FALSE(std::isfinite(n.x));
    EXPECT_FALSE(std::isfinite(n.y));
}

TEST(Vec2Dot, MultipliesComponentwiseAndSums) {
    EXPECT_EQ(Vec2(1.0f, 2.0f).dot(Vec2(3.0f, 4.0f)), 11.0f);
    EXPECT_EQ(Vec2(1.0f, 0.0f).dot(Vec2(0.0f, 5.0f)), 0.0f);
}

TEST(Vec2Dot, RoundsEachProductBeforeTheSum) {
    // A fused multiply-add or a double-precision evaluation gives 0x1.51eb86p-1.
    EXPECT_TRUE(sameFloat(Vec2(0.1f, 0.9f).dot(Vec2(0.3f, 0.7f)), 0x1.51eb84p-1f));
}

TEST(Vec2Distance, IsExactForAPythagoreanTriple) {
    EXPECT_EQ(Vec2(4.0f, 6.0f).distance(Vec2(1.0f, 2.0f)), 5.0f);
}

TEST(Vec2Distance, SquaresAndSumsInDoublePrecision) {
    // length() rounds every step to float and ends one unit in the last place higher.
    const Vec2 a(0.1f, 0.2f);
    const Vec2 origin(0.0f, 0.0f);
    EXPECT_TRUE(sameFloat(a.distance(origin), 0x1.c9f25cp-3f));
    EXPECT_TRUE(sameFloat((a - origin).length(), 0x1.c9f25ep-3f));
    // No single-precision square overflows on the way.
    EXPECT_TRUE(sameFloat(Vec2(1e20f, 0.0f).distance(origin), 1e20f));
}

TEST(Vec2Distance, TakesTheDifferencesInSinglePrecision) {
    // Differences taken in double precision would give 0x1.451cf0p+5.
    const Vec2 a(0x1.14c8b6p+5f, 0x1.556c8cp+4f);
    const Vec2 o(0x1.3096a0p-7f, 0x1.284ed4p-8f);
    EXPECT_TRUE(sameFloat(a.distance(o), 0x1.451ceep+5f));
}
