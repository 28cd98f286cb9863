#pragma once

#include "math/rotation.h"
#include "math/vec2.h"

#include <cstdint> // std::int32_t

// Four floats worked on at once, each lane rounded exactly as the same operation on one float:
// the compiler maps them onto the processor's vector registers (SSE2, NEON, WebAssembly's SIMD)
// or onto four scalar operations, with the same bits either way. Only + - * / and comparisons
// are used on them.
//
// Code written once for both float and Lanes (templates over L) computes in each lane exactly
// what it computes for a float: the helpers below have an overload for each, with the same
// meaning. Masks are bool for a float and LaneMask (all bits set or clear per lane) for Lanes.
using Lanes = float __attribute__((vector_size(16)));
using LaneMask = std::int32_t __attribute__((vector_size(16)));
constexpr int laneCount = 4;

inline Lanes splat(float x) {
    return Lanes{x, x, x, x};
}

// mask ? yes : no, lane by lane; a bool chooses for every lane.
template <typename T> T select(bool mask, T yes, T no) {
    return mask ? yes : no;
}
inline Lanes select(LaneMask mask, Lanes yes, Lanes no) {
    return (Lanes)(((LaneMask)yes & mask) | ((LaneMask)no & ~mask));
}

inline bool both(bool x, bool y) {
    return x && y;
}
inline LaneMask both(LaneMask x, LaneMask y) {
    return x & y;
}

inline bool anyLane(bool mask) {
    return mask;
}
inline bool anyLane(LaneMask mask) {
    return (mask[0] | mask[1] | mask[2] | mask[3]) != 0;
}

// What std::isfinite says: x - x is 0 for a finite x and NaN for an infinite one or a NaN.
inline bool isFinite(float x) {
    return x - x == 0.0f;
}
inline LaneMask isFinite(Lanes x) {
    return x - x == splat(0.0f);
}

// std::max(a, b) and std::min(a, b) as the standard defines them, NaNs and signed zeros
// included: a unless b is strictly greater (smaller).
template <typename L> L larger(L a, L b) {
    return select(a < b, b, a);
}
template <typename L> L smaller(L a, L b) {
    return select(b < a, b, a);
}

// Vec2's arithmetic on four vectors at once, in Vec2's order of operations.
struct LaneVec2 {
    Lanes x;
    Lanes y;

    LaneVec2 operator+(LaneVec2 o) const { return LaneVec2{x + o.x, y + o.y}; }
    LaneVec2 operator-(LaneVec2 o) const { return LaneVec2{x - o.x, y - o.y}; }
    LaneVec2 operator*(Lanes s) const { return LaneVec2{x * s, y * s}; }
    void operator+=(LaneVec2 o) {
        x += o.x;
        y += o.y;
    }
    void operator-=(LaneVec2 o) {
        x -= o.x;
        y -= o.y;
    }
    Lanes dot(LaneVec2 o) const { return x * o.x + y * o.y; }
};

inline Lanes cross(LaneVec2 a, LaneVec2 b) {
    return a.x * b.y - a.y * b.x;
}
inline LaneVec2 cross(Lanes w, LaneVec2 r) {
    return LaneVec2{-w * r.y, w * r.x};
}

inline LaneVec2 select(LaneMask mask, LaneVec2 yes, LaneVec2 no) {
    return LaneVec2{select(mask, yes.x, no.x), select(mask, yes.y, no.y)};
}

// The types of code written for either: LaneTypes<float> or LaneTypes<Lanes>.
template <typename L> struct LaneTypes;
template <> struct LaneTypes<float> {
    using Vector = Vec2;
    using Mask = bool;
    static float constant(float x) { return x; }
};
template <> struct LaneTypes<Lanes> {
    using Vector = LaneVec2;
    using Mask = LaneMask;
    static Lanes constant(float x) { return splat(x); }
};
