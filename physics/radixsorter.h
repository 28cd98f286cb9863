#pragma once

#include <cstddef> // std::size_t
#include <cstdint> // std::uint64_t, std::uint32_t
#include <vector>

// A stable radix sort of 64-bit keys, least significant digit first: its cost is a few passes over
// the keys however scrambled they are, where a comparison sort of a hundred thousand keys takes
// several times as long. (A few thousand keys or fewer go through a comparison sort.) Each key
// carries the place of the entry it stands for. The buffers are kept from one sort to the next.
class RadixSorter {
public:
    struct Key {
        std::uint64_t bits;
        int place;
    };

    // Room for sorting n keys without allocating.
    void reserve(std::size_t n);
    // Sorts keys by bits; keys with equal bits keep their order. The vector may come back with
    // another buffer of the same capacity or more.
    void sort(std::vector<Key> &keys);

    // The bits of v as an unsigned integer in the order of the values, -0 just before +0 and
    // +infinity after every finite value. Not for NaN.
    static std::uint64_t orderedBits(double v);

private:
    std::vector<Key> spare;
    std::vector<std::uint32_t> digitCounts;
};
