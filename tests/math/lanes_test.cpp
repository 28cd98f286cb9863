#include "math/lanes.h"

#include "tests/math/exactfloat.h"

#include <gtest/gtest.h>

#include <algorithm> // std::max, std::min
#include <cmath>     // std::isfinite
#include <limits>

namespace {

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

// Where std::max and std::min pick an operand whatever its value (equal zeros of either sign, a
// NaN on either side), a lane that picks the other gives other bits, and the contacts solved four
// at a time would part from those solved one by one.
TEST(Lanes, LargerAndSmallerPickTheOperandsStdMaxAndStdMinPick) {
    const float values[] = {0.0f, -0.0f, nan, -nan, 1.5f, -1.5f, inf, -inf, 0x1p-149f};
    for (const float a : values) {
        for (const float b : values) {
            SCOPED_TRACE(hexFloat(a) + " " + hexFloat(b));
            const Lanes x{a, b, a, 2.0f};
            const Lanes y{b, a, 2.0f, a};
            const Lanes large = larger(x, y);
            const Lanes small = smaller(x, y);
            const LaneMask finite = isFinite(x);
            for (int lane = 0; lane < laneCount; ++lane) {
                EXPECT_TRUE(sameFloat(large[lane], std::max(x[lane], y[lane])));
                EXPECT_TRUE(sameFloat(small[lane], std::min(x[lane], y[lane])));
                EXPECT_EQ(finite[lane] != 0, static_cast<bool>(std::isfinite(x[lane])));
            }
        }
    }
}

// Each lane alone, none and all: a test that looked at one lane only would pass the others.
TEST(Lanes, AnyAndEveryLaneLookAtEachLane) {
    const struct {
        LaneMask mask;
        bool any;
        bool every;
    } cases[] = {
        {{0, 0, 0, 0}, false, false},   {{-1, 0, 0, 0}, true, false},
        {{0, -1, 0, 0}, true, false},   {{0, 0, -1, 0}, true, false},
        {{0, 0, 0, -1}, true, false},   {{-1, -1, -1, 0}, true, false},
        {{0, -1, -1, -1}, true, false}, {{-1, -1, -1, -1}, true, true},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(anyLane(c.mask), c.any);
        EXPECT_EQ(everyLane(c.mask), c.every);
    }
}

#if defined(RIGID2D_WIDE_LANES)
// The eight-lane helpers the AVX functions use: the picks of four lanes, and each lane looked at,
// the high half as well as the low.
TEST(Lanes, EightLanesPickAndLookAsFourDo) {
    const float values[] = {0.0f, -0.0f, nan, -nan, 1.5f, -inf, 0x1p-149f};
    for (const float a : values) {
        for (const float b : values) {
            SCOPED_TRACE(hexFloat(a) + " " + hexFloat(b));
            const WideLanes x{a, b, a, 2.0f, b, a, 2.0f, a};
            const WideLanes y{b, a, 2.0f, a, a, b, a, 2.0f};
            const WideLanes large = larger(x, y);
            const WideLanes small = smaller(x, y);
            const WideMask finite = isFinite(x);
            for (int lane = 0; lane < 2 * laneCount; ++lane) {
                EXPECT_TRUE(sameFloat(large[lane], std::max(x[lane], y[lane])));
                EXPECT_TRUE(sameFloat(small[lane], std::min(x[lane], y[lane])));
                EXPECT_EQ(finite[lane] != 0, static_cast<bool>(std::isfinite(x[lane])));
            }
        }
    }
    for (int lane = 0; lane < 2 * laneCount; ++lane) {
        SCOPED_TRACE(lane);
        WideMask only{};
        only[lane] = -1;
        EXPECT_TRUE(anyLane(only));
        EXPECT_FALSE(everyLane(only));
        EXPECT_TRUE(anyLane(~only));
        EXPECT_FALSE(everyLane(~only));
    }
    EXPECT_FALSE(anyLane(WideMask{}));
    EXPECT_TRUE(everyLane(~WideMask{}));
}
#endif

} // namespace
