#include "math/vec3.h"

#include "tests/math/exactfloat.h"

#include <gtest/gtest.h>

#include <cmath>       // std::isfinite, std::signbit, INFINITY
#include <cstddef>     // offsetof
#include <type_traits> // std::is_standard_layout_v

static_assert(sizeof(Vec3) == 3 * sizeof(float));
static_assert(std::is_standard_layout_v<Vec3>);
static_assert(offsetof(Vec3, y) == sizeof(float) && offsetof(Vec3, z) == 2 * sizeof(float));

namespace {

::testing::AssertionResult sameVec3(Vec3 actual, Vec3 expected) {
    if (bitsOf(actual.x) == bitsOf(expected.x) && bitsOf(actual.y) == bitsOf(expected.y) &&
        bitsOf(actual.z) == bitsOf(expected.z))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "actual (" << hexFloat(actual.x) << ", " << hexFloat(actual.y) << ", "
           << hexFloat(actual.z) << "), expected (" << hexFloat(expected.x) << ", "
           << hexFloat(expected.y) << ", " << hexFloat(expected.z) << ")";
}

} // namespace

TEST(Vec3Construction, DefaultsToTheZeroVector) {
    EXPECT_TRUE(sameVec3(Vec3(), Vec3(0.0f, 0.0f, 0.0f)));
}

TEST(Vec3Arithmetic, AddsAndSubtractsComponentwise) {
    const Vec3 a(1.5f, 2.0f, -1.0f);
    const Vec3 b(0.25f, -4.0f, 8.0f);
    EXPECT_TRUE(sameVec3(a + b, Vec3(1.75f, -2.0f, 7.0f)));
    EXPECT_TRUE(sameVec3(a - b, Vec3(1.25f, 6.0f, -9.0f)));
    Vec3 v = a;
    v += b;
    EXPECT_TRUE(sameVec3(v, Vec3(1.75f, -2.0f, 7.0f)));
    v -= Vec3(0.75f, 1.0f, 7.0f);
    EXPECT_TRUE(sameVec3(v, Vec3(1.0f, -3.0f, 0.0f)));
}

TEST(Vec3Arithmetic, NegationFlipsTheSignBits) {
    EXPECT_TRUE(sameVec3(-Vec3(1.0f, -2.0f, 3.0f), Vec3(-1.0f, 2.0f, -3.0f)));
    const Vec3 negativeZero = -Vec3(0.0f, 0.0f, 0.0f);
    EXPECT_TRUE(std::signbit(negativeZero.x));
    EXPECT_TRUE(std::signbit(negativeZero.y));
    EXPECT_TRUE(std::signbit(negativeZero.z));
}

TEST(Vec3Arithmetic, ScalesAndDividesByAFloat) {
    EXPECT_TRUE(sameVec3(Vec3(1.5f, -2.0f, 0.5f) * 4.0f, Vec3(6.0f, -8.0f, 2.0f)));
    Vec3 v(1.5f, -2.0f, 0.5f);
    v *= 4.0f;
    EXPECT_TRUE(sameVec3(v, Vec3(6.0f, -8.0f, 2.0f)));
    // 3 * (1 / 7) would be 0x1.b6db70p-2.
    EXPECT_TRUE(sameVec3(Vec3(3.0f, 7.0f, 14.0f) / 7.0f, Vec3(0x1.b6db6ep-2f, 1.0f, 2.0f)));
    Vec3 w(3.0f, 7.0f, 14.0f);
    w /= 7.0f;
    EXPECT_TRUE(sameVec3(w, Vec3(0x1.b6db6ep-2f, 1.0f, 2.0f)));
}

TEST(Vec3Arithmetic, SetZeroClearsEveryComponent) {
    Vec3 v(5.0f, -7.0f, 9.0f);
    v.setZero();
    EXPECT_TRUE(sameVec3(v, Vec3(0.0f, 0.0f, 0.0f)));
}

TEST(Vec3Length, IsExactForAPythagoreanQuadruple) {
    EXPECT_EQ(Vec3(2.0f, 3.0f, 6.0f).length(), 7.0f);
}

TEST(Vec3Length, SumsTheRoundedSquaresLeftToRight) {
    // x² + (y² + z²) gives 0x1.b2724ap-2.
    EXPECT_TRUE(sameFloat(Vec3(0.1f, 0.1f, 0.4f).length(), 0x1.b27248p-2f));
    // Fused multiply-adds, a double-precision evaluation and the right-to-left sum all give
    // 0x1.b87066p-1.
    EXPECT_TRUE(sameFloat(Vec3(0.1f, 0.3f, 0.8f).length(), 0x1.b87068p-1f));
    EXPECT_EQ(Vec3(0.0f, 0.0f, 1e20f).length(), INFINITY);
}

TEST(Vec3Normalized, DividesByTheLength) {
    EXPECT_TRUE(
        sameVec3(Vec3(2.0f, 3.0f, 6.0f).normalized(), Vec3(2.0f / 7.0f, 3.0f / 7.0f, 6.0f / 7.0f)));
    // Multiplying by 1 / length would give 0x1.279a74p-1 in every component.
    EXPECT_TRUE(sameVec3(Vec3(3.0f, 3.0f, 3.0f).normalized(),
                         Vec3(0x1.279a76p-1f, 0x1.279a76p-1f, 0x1.279a76p-1f)));
    const Vec3 n = Vec3(0.0f, 0.0f, 0.0f).normalized();
    EXPECT_FALSE(std::isfinite(n.x));
    EXPECT_FALSE(std::isfinite(n.z));
}

TEST(Vec3Dot, SumsTheRoundedProductsLeftToRight) {
    EXPECT_EQ(Vec3(1.0f, 2.0f, 3.0f).dot(Vec3(4.0f, -5.0f, 6.0f)), 12.0f);
    const Vec3 o(0.3f, 0.7f, 1.1f);
    // x·o.x + (y·o.y + z·o.z) gives 0x1.147ae4p-1.
    EXPECT_TRUE(sameFloat(Vec3(0.1f, 0.1f, 0.4f).dot(o), 0x1.147ae2p-1f));
    // Fused multiply-adds, a double-precision evaluation and the right-to-left sum all give
    // 0x1.f5c290p-1.
    EXPECT_TRUE(sameFloat(Vec3(0.1f, 0.1f, 0.8f).dot(o), 0x1.f5c292p-1f));
}

TEST(Vec3Distance, SquaresAndSumsInDoublePrecision) {
    const Vec3 a(0.1f, 0.1f, 1.1f);
    const Vec3 origin(0.0f, 0.0f, 0.0f);
    EXPECT_TRUE(sameFloat(a.distance(origin), 0x1.1beaf2p+0f));
    EXPECT_TRUE(sameFloat((a - origin).length(), 0x1.1beaf0p+0f));
    EXPECT_TRUE(sameFloat(Vec3(0.0f, 0.0f, 1e20f).distance(origin), 1e20f));
}

TEST(Vec3Distance, AddsTheSquaresLeftToRight) {
    // (dx² + dy²) + dz² and dx² + (dy² + dz²) round to neighbouring doubles whose roots round
    // to neighbouring floats; the right-to-left sum gives 0x1.0001b2p+0.
    const Vec3 a(0x1.000194p+0f, 0x1.e76a62p-10f, 0x1.dd4df0p-28f);
    EXPECT_TRUE(sameFloat(a.distance(Vec3(0.0f, 0.0f, 0.0f)), 0x1.0001b0p+0f));
}
