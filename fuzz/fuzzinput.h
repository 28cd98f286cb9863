#pragma once

// What the fuzz targets share: reading an input's bytes, and reporting a broken property.

#include <cstddef> // std::size_t
#include <cstdint> // std::uint8_t, std::int8_t, std::uint16_t, std::int16_t, std::int32_t
#include <string>  // std::string

// Ends the run so that libFuzzer reports the input; unlike assert() it is never compiled out.
inline void require(bool property) {
    if (!property)
        __builtin_trap();
}

// A file reader's fault about the input named "input": one line, "input:LINE: what is wrong".
inline void requireOneLineFault(const std::string &message) {
    require(message.compare(0, 6, "input:") == 0);
    require(message.find('\n') == std::string::npos);
}

class ByteReader {
public:
    ByteReader(const std::uint8_t *data, std::size_t size) : data(data), left(size) {}

    bool empty() const { return left == 0; }

    std::uint8_t u8() {
        if (left == 0)
            return 0;
        --left;
        return *data++;
    }
    std::int8_t s8() { return static_cast<std::int8_t>(u8()); }
    // Little-endian; each byte is read in its own statement, in order.
    std::uint16_t u16() {
        const unsigned lo = u8();
        const unsigned hi = u8();
        return static_cast<std::uint16_t>(lo | hi << 8);
    }
    std::int16_t s16() { return static_cast<std::int16_t>(u16()); }
    std::int32_t s24() {
        const std::int32_t lo = u16();
        const std::int32_t v = lo | u8() << 16;
        return v >= 0x800000 ? v - 0x1000000 : v;
    }
    std::uint32_t u32() {
        const std::uint32_t lo = u16();
        const std::uint32_t hi = u16();
        return lo | hi << 16;
    }

private:
    const std::uint8_t *data;
    std::size_t left;
};
