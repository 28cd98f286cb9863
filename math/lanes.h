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

// Eight lanes kept as two vectors of four, lanes 0 to 3 then 4 to 7: four lanes at a time take
// one half, eight (WideLanes) both at once.
struct LaneHalves {
    Lanes half[2];
};
struct LaneVec2Halves {
    LaneHalves x;
    LaneHalves y;
};

// x in every lane of a vector of type L.
template <typename L> L splatAs(float x);
template <> inline Lanes splatAs<Lanes>(float x) {
    return splat(x);
}

#if defined(__x86_64__) && defined(__GNUC__)
// Eight floats at once, for the functions built for AVX alone (gnu::target): inlined there, these
// take one AVX register where Lanes takes an SSE one, and a processor without AVX never runs
// them. They are never called across functions, so the warning that AVX changes how such a
// vector is passed does not apply.
#define RIGID2D_WIDE_LANES 1
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"
using WideLanes = float __attribute__((vector_size(32)));
using WideMask = std::int32_t __attribute__((vector_size(32)));
#define RIGID2D_WIDE [[gnu::always_inline]] inline

RIGID2D_WIDE WideLanes joined(Lanes low, Lanes high) {
    return __builtin_shufflevector(low, high, 0, 1, 2, 3, 4, 5, 6, 7);
}
RIGID2D_WIDE Lanes lowHalf(WideLanes x) {
    return __builtin_shufflevector(x, x, 0, 1, 2, 3);
}
RIGID2D_WIDE Lanes highHalf(WideLanes x) {
    return __builtin_shufflevector(x, x, 4, 5, 6, 7);
}
RIGID2D_WIDE WideLanes select(WideMask mask, WideLanes yes, WideLanes no) {
    return (WideLanes)(((WideMask)yes & mask) | ((WideMask)no & ~mask));
}
RIGID2D_WIDE bool anyLane(WideMask mask) {
    return anyLane(__builtin_shufflevector(mask, mask, 0, 1, 2, 3) |
                   __builtin_shufflevector(mask, mask, 4, 5, 6, 7));
}
RIGID2D_WIDE bool everyLane(WideMask mask) {
    return everyLane(__builtin_shufflevector(mask, mask, 0, 1, 2, 3) &
                     __builtin_shufflevector(mask, mask, 4, 5, 6, 7));
}
RIGID2D_WIDE WideMask isFinite(WideLanes x) {
    return x - x == WideLanes{};
}
// As larger and smaller for Lanes: the comparison AVX's maxps and minps make.
RIGID2D_WIDE WideLanes larger(WideLanes a, WideLanes b) {
    return a < b ? b : a;
}
RIGID2D_WIDE WideLanes smaller(WideLanes a, WideLanes b) {
    return b < a ? b : a;
}
template <> RIGID2D_WIDE WideLanes splatAs<WideLanes>(float x) {
    return WideLanes{x, x, x, x, x, x, x, x};
}
#pragma GCC diagnostic pop
#endif

// Vec2's arithmetic on a vector a lane, in Vec2's order of operations.
template <typename L> struct BasicLaneVec2 {
    L x;
    L y;

    [[gnu::always_inline]] BasicLaneVec2 operator+(const BasicLaneVec2 &o) const {
        return BasicLaneVec2{x + o.x, y + o.y};
    }
    [[gnu::always_inline]] BasicLaneVec2 operator-(const BasicLaneVec2 &o) const {
        return BasicLaneVec2{x - o.x, y - o.y};
    }
    [[gnu::always_inline]] BasicLaneVec2 operator*(const L &s) const {
        return BasicLaneVec2{x * s, y * s};
    }
    [[gnu::always_inline]] L dot(const BasicLaneVec2 &o) const { return x * o.x + y * o.y; }
};
using LaneVec2 = BasicLaneVec2<Lanes>;

// The velocity of a point at offset r from a centre turning at w, as cross(float, Vec2).
template <typename L>
[[gnu::always_inline]] inline BasicLaneVec2<L> cross(const L &w, const BasicLaneVec2<L> &r) {
    return BasicLaneVec2<L>{-w * r.y, w * r.x};
}

template <typename L, typename M>
[[gnu::always_inline]] inline BasicLaneVec2<L> select(const M &mask, const BasicLaneVec2<L> &yes,
                                                      const BasicLaneVec2<L> &no) {
    return BasicLaneVec2<L>{select(mask, yes.x, no.x), select(mask, yes.y, no.y)};
}
