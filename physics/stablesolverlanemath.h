#pragma once

// The arithmetic of the stable solver's lanes, shared by the four lanes every processor takes and
// the eight of one that has AVX (stablesolverwide.cpp): the same operations on each lane, so the
// same bits either way. Everything here is inlined into the function that works on a group, so
// that a group's lanes stay in registers, and is built for that function's processor.
#include "physics/stablesolver.h"

#include <cstddef>     // offsetof
#include <cstring>     // std::memcpy
#include <type_traits> // std::decay_t

namespace {

// Four vectors of four floats, rows into columns.
[[gnu::always_inline]] inline void transpose(Lanes &x, Lanes &y, Lanes &z, Lanes &w) {
    const Lanes xy0 = __builtin_shufflevector(x, y, 0, 4, 1, 5);
    const Lanes xy1 = __builtin_shufflevector(x, y, 2, 6, 3, 7);
    const Lanes zw0 = __builtin_shufflevector(z, w, 0, 4, 1, 5);
    const Lanes zw1 = __builtin_shufflevector(z, w, 2, 6, 3, 7);
    x = __builtin_shufflevector(xy0, zw0, 0, 1, 4, 5);
    y = __builtin_shufflevector(xy0, zw0, 2, 3, 6, 7);
    z = __builtin_shufflevector(xy1, zw1, 0, 1, 4, 5);
    w = __builtin_shufflevector(xy1, zw1, 2, 3, 6, 7);
}

// A group's fields as the lane arithmetic reads and writes them, one half of the group's lanes at a
// time: the half's own vectors (stablesolverwide.cpp reads all eight lanes at once).
struct LaneVec2Ref {
    Lanes &x;
    Lanes &y;
};

[[gnu::always_inline]] inline const Lanes &valueOf(const Lanes &x) {
    return x;
}
[[gnu::always_inline]] inline LaneVec2 valueOf(const LaneVec2Ref &v) {
    return LaneVec2{v.x, v.y};
}
[[gnu::always_inline]] inline void assign(Lanes &x, const Lanes &value) {
    x = value;
}

[[gnu::always_inline]] inline LaneVec2Ref halfOf(LaneVec2Halves &v, int h) {
    return LaneVec2Ref{v.x.half[h], v.y.half[h]};
}

// What the rows of a group's pairs share, one half of its lanes.
struct HalfPair {
    LaneVec2Ref normal;
    Lanes &inverseMassA;
    Lanes &inverseMassB;
    Lanes &inverseInertiaA;
    Lanes &inverseInertiaB;
    Lanes &friction;
};

// One point of a group's pairs, one half of its lanes.
struct HalfPoint {
    Lanes &penetration;
    Lanes &normalMass;
    Lanes &impulse;
    Lanes &maxImpulse;
    LaneVec2Ref anchorA;
    LaneVec2Ref anchorB;
    Lanes &normalLeverA;
    Lanes &normalLeverB;
    Lanes &tangentLeverA;
    Lanes &tangentLeverB;
    Lanes &tangentMass;
    Lanes &tangentImpulse;
};

template <typename Pair> [[gnu::always_inline]] inline HalfPair halfPair(Pair &g, int h) {
    return HalfPair{halfOf(g.normal, h),       g.inverseMassA.half[h],    g.inverseMassB.half[h],
                    g.inverseInertiaA.half[h], g.inverseInertiaB.half[h], g.friction.half[h]};
}

template <typename Point> [[gnu::always_inline]] inline HalfPoint halfPoint(Point &p, int h) {
    return HalfPoint{p.penetration.half[h],   p.normalMass.half[h],   p.impulse.half[h],
                     p.maxImpulse.half[h],    halfOf(p.anchorA, h),   halfOf(p.anchorB, h),
                     p.normalLeverA.half[h],  p.normalLeverB.half[h], p.tangentLeverA.half[h],
                     p.tangentLeverB.half[h], p.tangentMass.half[h],  p.tangentImpulse.half[h]};
}

} // namespace

// Velocity, spin and turn are a motion's first four floats: one load per body, turned into
// lanes by a transpose. The displacements follow, one 8-byte load per body shuffled into lanes
// in registers (filled lane by lane through memory, they stalled on their stores). Inlined, so
// that the lanes stay in registers from the gather to the scatter.
[[gnu::always_inline]] inline StableSolver::LaneMotion
StableSolver::gather(const int *bodies) const {
    static_assert(offsetof(Motion, spin) == 8 && offsetof(Motion, turn) == 12,
                  "a motion's velocity, spin and turn are its first four floats");
    Lanes v[laneCount];
    for (int lane = 0; lane < laneCount; ++lane)
        std::memcpy(&v[lane], &motions[static_cast<std::size_t>(bodies[lane])], sizeof v[lane]);
    transpose(v[0], v[1], v[2], v[3]);
    LaneMotion out;
    out.velocity = LaneVec2{v[0], v[1]};
    out.spin = v[2];
    out.turn = v[3];
    using Pair = float __attribute__((vector_size(8)));
    Pair d[laneCount];
    for (int lane = 0; lane < laneCount; ++lane)
        std::memcpy(&d[lane], &motions[static_cast<std::size_t>(bodies[lane])].displacement,
                    sizeof d[lane]);
    const Lanes firstTwo = __builtin_shufflevector(d[0], d[1], 0, 2, 1, 3);
    const Lanes lastTwo = __builtin_shufflevector(d[2], d[3], 0, 2, 1, 3);
    out.displacement.x = __builtin_shufflevector(firstTwo, lastTwo, 0, 1, 4, 5);
    out.displacement.y = __builtin_shufflevector(firstTwo, lastTwo, 2, 3, 6, 7);
    return out;
}

// The rows change velocities and spins only: the turn goes back as it came.
[[gnu::always_inline]] inline void StableSolver::scatter(const int *bodies, const LaneMotion &m) {
    Lanes v[laneCount] = {m.velocity.x, m.velocity.y, m.spin, m.turn};
    transpose(v[0], v[1], v[2], v[3]);
    for (int lane = 0; lane < laneCount; ++lane)
        std::memcpy(static_cast<void *>(&motions[static_cast<std::size_t>(bodies[lane])]), &v[lane],
                    sizeof v[lane]);
}

template <typename Point, typename LM>
[[gnu::always_inline]] inline auto StableSolver::relativeVelocity(const Point &p, const LM &a,
                                                                  const LM &b) {
    return (b.velocity + cross(b.spin, valueOf(p.anchorB))) -
           (a.velocity + cross(a.spin, valueOf(p.anchorA)));
}

// Where every lane applies, as it almost always does, the masks are passed by. Inlined, as gather
// is.
template <typename Pair, typename LM, typename Mask>
[[gnu::always_inline]] inline void
StableSolver::push(const Pair &pair, const decltype(LM::velocity) &p, const Mask &applies,
                   bool every, LM &a, LM &b) {
    const auto pushedA = a.velocity - p * valueOf(pair.inverseMassA);
    const auto pushedB = b.velocity + p * valueOf(pair.inverseMassB);
    a.velocity = every ? pushedA : select(applies, pushedA, a.velocity);
    b.velocity = every ? pushedB : select(applies, pushedB, b.velocity);
}

template <typename Pair, typename LM, typename Mask>
[[gnu::always_inline]] inline void
StableSolver::turn(const Pair &pair, const decltype(LM::spin) &turnA,
                   const decltype(LM::spin) &turnB, const Mask &applies, bool every, LM &a, LM &b) {
    const auto turnedA = a.spin - valueOf(pair.inverseInertiaA) * turnA;
    const auto turnedB = b.spin + valueOf(pair.inverseInertiaB) * turnB;
    a.spin = every ? turnedA : select(applies, turnedA, a.spin);
    b.spin = every ? turnedB : select(applies, turnedB, b.spin);
}

template <typename Pair, typename Point, typename LM>
[[gnu::always_inline]] inline void StableSolver::warmStartPoint(const Pair &pair,
                                                                const Point &point, LM &a, LM &b) {
    const std::decay_t<decltype(valueOf(pair.normal))> tangent{valueOf(pair.normal).y,
                                                               -valueOf(pair.normal).x};
    const decltype(valueOf(pair.friction) < valueOf(pair.friction)) none{};
    push(pair,
         valueOf(pair.normal) * valueOf(point.impulse) + tangent * valueOf(point.tangentImpulse),
         none, true, a, b);
    turn(pair,
         valueOf(point.normalLeverA) * valueOf(point.impulse) +
             valueOf(point.tangentLeverA) * valueOf(point.tangentImpulse),
         valueOf(point.normalLeverB) * valueOf(point.impulse) +
             valueOf(point.tangentLeverB) * valueOf(point.tangentImpulse),
         none, true, a, b);
}

// solveRow's arithmetic in lanes: where a row alone would skip work (no friction, an impulse
// that left the finite numbers), its lane computes it and keeps what it had.
template <bool useBias, typename Pair, typename Point, typename LM>
[[gnu::always_inline]] inline void StableSolver::solvePoint(const Pair &pair, Point &point, LM &a,
                                                            LM &b) {
    using L = std::decay_t<decltype(valueOf(point.impulse))>;
    using V = std::decay_t<decltype(valueOf(pair.normal))>;
    const L zero = splatAs<L>(0.0f);
    const auto rubs = zero < valueOf(pair.friction);
    if (anyLane(rubs)) {
        const V tangent{valueOf(pair.normal).y, -valueOf(pair.normal).x};
        const L vt = tangent.dot(relativeVelocity(point, a, b));
        const L limit = valueOf(pair.friction) * valueOf(point.impulse);
        const L unclamped = valueOf(point.tangentImpulse) - valueOf(point.tangentMass) * vt;
        const auto applies = rubs & isFinite(unclamped);
        const bool every = everyLane(applies);
        const L accumulated = larger(-limit, smaller(unclamped, limit));
        const L change = accumulated - valueOf(point.tangentImpulse);
        assign(point.tangentImpulse,
               every ? accumulated : select(applies, accumulated, valueOf(point.tangentImpulse)));
        push(pair, tangent * change, applies, every, a, b);
        turn(pair, valueOf(point.tangentLeverA) * change, valueOf(point.tangentLeverB) * change,
             applies, every, a, b);
    }
    const V moved = (b.displacement + cross(b.turn, valueOf(point.anchorB))) -
                    (a.displacement + cross(a.turn, valueOf(point.anchorA)));
    const L separation =
        valueOf(pair.normal).dot(moved) - valueOf(point.penetration) + splatAs<L>(tuning.slop);
    const auto apart = zero < separation;
    L bias = select(apart, separation * splatAs<L>(inverseSubstep), zero);
    L massScale = splatAs<L>(1.0f);
    L impulseScale = zero;
    if (useBias) {
        const Softness &spring = turningSoftness;
        const L pushOut =
            larger(splatAs<L>(spring.biasRate) * separation, splatAs<L>(-tuning.maxPushOut));
        bias = select(apart, bias, pushOut);
        massScale = select(apart, massScale, splatAs<L>(spring.massScale));
        impulseScale = select(apart, impulseScale, splatAs<L>(spring.impulseScale));
    }
    const L vn = valueOf(pair.normal).dot(relativeVelocity(point, a, b));
    const L unclamped = valueOf(point.impulse) -
                        valueOf(point.normalMass) * massScale * (vn + bias) -
                        impulseScale * valueOf(point.impulse);
    const auto applies = isFinite(unclamped);
    const bool every = everyLane(applies);
    const L accumulated = larger(unclamped, zero);
    const L change = accumulated - valueOf(point.impulse);
    const L largest = larger(valueOf(point.maxImpulse), accumulated);
    assign(point.impulse,
           every ? accumulated : select(applies, accumulated, valueOf(point.impulse)));
    assign(point.maxImpulse, every ? largest : select(applies, largest, valueOf(point.maxImpulse)));
    push(pair, valueOf(pair.normal) * change, applies, every, a, b);
    turn(pair, valueOf(point.normalLeverA) * change, valueOf(point.normalLeverB) * change, applies,
         every, a, b);
}
