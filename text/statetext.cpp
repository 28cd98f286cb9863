#include "text/statetext.h"

#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "scenes/sandboxstate.h"

#include <algorithm> // std::copy
#include <charconv>  // std::to_chars
#include <cmath>     // std::isfinite, std::signbit
#include <cstdio>    // std::snprintf

namespace {

// The hex digits of a value that is not negative, as %a writes them after its "0x".
#ifdef __cpp_lib_to_chars
char *toHexDigits(char *first, char *last, double value) {
    return std::to_chars(first, last, value, std::chars_format::hex).ptr;
}
#else
// The C++ library of the WebAssembly build (Emscripten's libc++) has no std::to_chars for
// floats; its C library's %a writes the same digits.
char *toHexDigits(char *first, char *last, double value) {
    char printed[32];
    const int length = std::snprintf(printed, sizeof printed, "%a", value);
    const int prefix = std::isfinite(value) ? 2 : 0;
    return std::copy(printed + prefix, printed + std::min<long>(length, last - first + prefix),
                     first);
}
#endif

} // namespace

std::string toHexFloat(float f) {
    double value = f;
    // "-", "0x", then at most 1 + 1 + 13 digits, "p", a sign and 4 exponent digits.
    char text[32];
    char *end = text;
    if (std::signbit(value)) {
        *end++ = '-';
        value = -value;
    }
    // printf writes "0x" before numbers only, not before "inf" or "nan".
    if (std::isfinite(value)) {
        *end++ = '0';
        *end++ = 'x';
    }
    end = toHexDigits(end, text + sizeof text, value);
    return std::string(text, end);
}

bool hasTurned(Rotation rotation, float angularVelocity) {
    // Written as comparisons so that -0 counts as 0 and a NaN counts as turned.
    return !(rotation.c == 1 && rotation.s == 0 && angularVelocity == 0);
}

void appendStateLine(std::string &text, int index, int type, Vec2 position, Vec2 velocity,
                     Rotation rotation, float angularVelocity) {
    text += std::to_string(index);
    text += ' ';
    text += std::to_string(type);
    for (const float value : {position.x, position.y, velocity.x, velocity.y}) {
        text += ' ';
        text += toHexFloat(value);
    }
    if (hasTurned(rotation, angularVelocity)) {
        for (const float value : {rotation.c, rotation.s, angularVelocity}) {
            text += ' ';
            text += toHexFloat(value);
        }
    }
    text += '\n';
}

std::string stateText(const EntityArray &bodies) {
    std::string text;
    for (int i = 0; i < bodies.size(); ++i) {
        const BaseEntity *body = bodies[i];
        appendStateLine(text, i, body->type(), body->position, body->velocity, body->rotation,
                        body->angularVelocity);
    }
    return text;
}

std::string stateText(const SandboxState &state) {
    std::string text;
    std::size_t index = 0;
    for (const TraitsRun &run : state.runs) {
        for (int k = 0; k < run.count; ++k, ++index) {
            const BodyMotion &motion = state.motions[index];
            appendStateLine(text, static_cast<int>(index), run.traits.shape.kind, motion.position,
                            motion.velocity, motion.rotation, motion.angularVelocity);
        }
    }
    return text;
}

std::uint64_t fnv1a(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3u;
    }
    return hash;
}

std::string hashDigits(std::uint64_t hash) {
    static const char digits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4)
        text[i] = digits[hash & 0xf];
    return text;
}

std::uint64_t stateHash(const EntityArray &bodies) {
    return fnv1a(stateText(bodies));
}

std::uint64_t stateHash(const SandboxState &state) {
    return fnv1a(stateText(state));
}
