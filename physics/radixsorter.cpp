#include "physics/radixsorter.h"

#include <algorithm> // std::sort
#include <cstring>   // std::memcpy

namespace {

// Six passes of eleven bits cover the 64 bits of a key.
constexpr int digitBits = 11;
constexpr int digitValues = 1 << digitBits;
constexpr int digitPasses = (64 + digitBits - 1) / digitBits;

// Below this many keys the digits' counters cost more than a comparison sort.
constexpr std::size_t fewKeys = 2 * digitValues;

int digitOf(std::uint64_t bits, int pass) {
    return static_cast<int>(bits >> (pass * digitBits)) & (digitValues - 1);
}

} // namespace

void RadixSorter::reserve(std::size_t n) {
    spare.reserve(n);
}

// All the digits are counted in one pass; a pass in which every key has the same digit (the high
// digits of coordinates of similar magnitude) is skipped.
void RadixSorter::sort(std::vector<Key> &keys) {
    const std::size_t n = keys.size();
    if (n < fewKeys) {
        // The places break ties, which keeps equal keys in their order.
        std::sort(keys.begin(), keys.end(), [](const Key &p, const Key &q) {
            return p.bits < q.bits || (p.bits == q.bits && p.place < q.place);
        });
        return;
    }
    spare.resize(n);
    digitCounts.assign(digitPasses * digitValues, 0);
    for (const Key &key : keys) {
        for (int pass = 0; pass < digitPasses; ++pass)
            ++digitCounts[pass * digitValues + digitOf(key.bits, pass)];
    }
    for (int pass = 0; pass < digitPasses; ++pass) {
        std::uint32_t *counts = &digitCounts[pass * digitValues];
        if (counts[digitOf(keys[0].bits, pass)] == n)
            continue;
        std::uint32_t start = 0;
        for (int digit = 0; digit < digitValues; ++digit) {
            const std::uint32_t count = counts[digit];
            counts[digit] = start;
            start += count;
        }
        for (const Key &key : keys)
            spare[counts[digitOf(key.bits, pass)]++] = key;
        keys.swap(spare);
    }
}

std::uint64_t RadixSorter::orderedBits(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits >> 63 ? ~bits : bits | std::uint64_t{1} << 63;
}
