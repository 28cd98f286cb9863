#pragma once

#include <cstdint> // std::int32_t

// Four floats worked on at once, each lane rounded exactly as the same operation on one float:
// the compiler maps them onto the processor's vector registers (SSE2, NEON) or onto four scalar
// operations, with the same bits either way. Only + - * / and comparisons are used on them.
// Masks have every bit of a lane set or clear.
using Lanes = float __attribute__((vector_size(16)));
using LaneMask = std::int32_t __attribute__((vector_size(16)));
constexpr int laneCount = 4;

inline Lanes splat(float x) {
    return Lanes{x, x, x, x};
}

// mask ? yes : no, lane by lane.
inline Lanes select(LaneMask mask, Lanes yes, Lanes no) {
    return (Lanes)(((LaneMask)yes & mask) | ((LaneMask)no & ~mask));
}

// SSE gathers the lanes' sign bits, which a mask's lanes have set or clear with the rest, in one
// instruction.
inline bool anyLane(LaneMask mask) {
#if defined(__SSE__)
    return __builtin_ia32_movmskps(reinterpret_cast<Lanes>(mask)) != 0;
#else
    return (mask[0] | mask[1] | mask[2] | mask[3]) != 0;
#endif
}
inline bool everyLane(LaneMask mask) {
#if defined(__SSE__)
    return __builtin_ia32_movmskps(reinterpret_cast<Lanes>(mask)) == 0xf;
#else
    return (mask[0] & mask[1] & mask[2] & mask[3]) != 0;
#endif
}

// What std::isfinite says: x - x is 0 for a finite x and NaN for an infinite one or a NaN.
inline LaneMask isFinite(Lanes x) {
    return x - x == splat(0.0f);
}

// std::max(a, b) and std::min(a, b) as the standard defines them, NaNs and signed zeros
// included: a unless b is strictly greater (smaller). SSE's maxps(x, y) and minps(x, y) give x
// when x is strictly greater (smaller) than y, and y otherwise, NaNs and equal zeros included:
// with x = b and y = a, exactly that, in one instruction.
inline Lanes larger(Lanes a, Lanes b) {
#if defined(__SSE__)
    return __builtin_ia32_maxps(b, a);
#else
    return select(a < b, b, a);
#endif
}
inline Lanes smaller(Lanes a, Lanes b) {
#if defined(__SSE__)
    return __builtin_ia32_minps(b, a);
#else
    return select(b < a, b, a);
#endif
}

// Vec2's arithmetic on four vectors at once, in Vec2's order of operations.
struct LaneVec2 {
    Lanes x;
    Lanes y;

    LaneVec2 operator+(LaneVec2 o) const { return LaneVec2{x + o.x, y + o.y}; }
    LaneVec2 operator-(LaneVec2 o) const { return LaneVec2{x - o.x, y - o.y}; }
    LaneVec2 operator*(Lanes s) const { return LaneVec2{x * s, y * s}; }
    Lanes dot(LaneVec2 o) const { return x * o.x + y * o.y; }
};

// The velocity of a point at offset r from a centre turning at w, as cross(float, Vec2).
inline LaneVec2 cross(Lanes w, LaneVec2 r) {
    return LaneVec2{-w * r.y, w * r.x};
}

inline LaneVec2 select(LaneMask mask, LaneVec2 yes, LaneVec2 no) {
    return LaneVec2{select(mask, yes.x, no.x), select(mask, yes.y, no.y)};
}
