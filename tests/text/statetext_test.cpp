#include "tests/math/exactfloat.h"
#include "text/statetext.h"

#include <gtest/gtest.h>

#include <cstdint> // std::uint32_t
#include <cstring> // std::memcpy
#include <random>  // std::mt19937
#include <vector>  // std::vector

namespace {

float fromBits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

} // namespace

// The state text and the hashes in recorded files must be the same bytes on every machine.
TEST(StateText, HexFloatsAreWhatPrintfWritesAndTheHashIsFnv1a) {
    std::mt19937 random(7);
    std::vector<std::uint32_t> patterns = {0,          0x80000000, 1,          0x807fffff,
                                           0x7f7fffff, 0x7f800000, 0xff800000, 0x7fc00000};
    for (int i = 0; i < 100000; ++i)
        patterns.push_back(static_cast<std::uint32_t>(random()));
    for (const std::uint32_t bits : patterns)
        ASSERT_EQ(toHexFloat(fromBits(bits)), hexFloat(fromBits(bits))) << std::hex << bits;

    EXPECT_EQ(hashDigits(fnv1a("")), "cbf29ce484222325");
    EXPECT_EQ(hashDigits(fnv1a("a")), "af63dc4c8601ec8c");
    EXPECT_EQ(hashDigits(0x1), "0000000000000001");
}
