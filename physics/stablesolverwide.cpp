// The stable solver's groups eight lanes at once, in one AVX register, on a processor that has
// AVX. Each lane is rounded as its row alone: the bits are those of four lanes at a time, and of
// the rows one by one. Only these functions are built for AVX; the program runs on any x86-64
// and takes four lanes at a time where AVX is missing.
#include "physics/stablesolver.h"

#if defined(RIGID2D_WIDE_LANES)

#include "physics/stablesolverlanemath.h"

#include <cstring> // std::memcpy

#define RIGID2D_FOR_AVX [[gnu::target("avx")]]

namespace {

// A group's field as the lane arithmetic reads and writes it: its eight lanes, read where they
// are used, straight into the arithmetic.
struct WideRef {
    LaneHalves &field;
};

struct WideVec2Ref {
    LaneHalves &x;
    LaneHalves &y;
};

RIGID2D_WIDE WideLanes valueOf(const WideRef &ref) {
    WideLanes v;
    std::memcpy(&v, &ref.field, sizeof v);
    return v;
}
RIGID2D_WIDE BasicLaneVec2<WideLanes> valueOf(const WideVec2Ref &ref) {
    return BasicLaneVec2<WideLanes>{valueOf(WideRef{ref.x}), valueOf(WideRef{ref.y})};
}
RIGID2D_WIDE void assign(const WideRef &ref, const WideLanes &value) {
    std::memcpy(&ref.field, &value, sizeof value);
}

RIGID2D_WIDE WideVec2Ref refOf(LaneVec2Halves &v) {
    return WideVec2Ref{v.x, v.y};
}

// What the rows of a group's pairs share.
struct WidePair {
    WideVec2Ref normal;
    WideRef inverseMassA;
    WideRef inverseMassB;
    WideRef inverseInertiaA;
    WideRef inverseInertiaB;
    WideRef friction;
};

// One point of a group's pairs.
struct WidePoint {
    WideRef penetration;
    WideRef normalMass;
    WideRef impulse;
    WideRef maxImpulse;
    WideVec2Ref anchorA;
    WideVec2Ref anchorB;
    WideRef normalLeverA;
    WideRef normalLeverB;
    WideRef tangentLeverA;
    WideRef tangentLeverB;
    WideRef tangentMass;
    WideRef tangentImpulse;
};

template <typename Pair> RIGID2D_WIDE WidePair widePair(Pair &g) {
    return WidePair{refOf(g.normal),     {g.inverseMassA},    {g.inverseMassB},
                    {g.inverseInertiaA}, {g.inverseInertiaB}, {g.friction}};
}

template <typename Point> RIGID2D_WIDE WidePoint widePoint(Point &p) {
    return WidePoint{{p.penetration},   {p.normalMass},    {p.impulse},      {p.maxImpulse},
                     refOf(p.anchorA),  refOf(p.anchorB),  {p.normalLeverA}, {p.normalLeverB},
                     {p.tangentLeverA}, {p.tangentLeverB}, {p.tangentMass},  {p.tangentImpulse}};
}

// transpose on both halves at once: the four vectors' low halves, rows into columns, and their
// high halves likewise.
RIGID2D_WIDE void transposeHalves(WideLanes &x, WideLanes &y, WideLanes &z, WideLanes &w) {
    const WideLanes xy0 = __builtin_shufflevector(x, y, 0, 8, 1, 9, 4, 12, 5, 13);
    const WideLanes xy1 = __builtin_shufflevector(x, y, 2, 10, 3, 11, 6, 14, 7, 15);
    const WideLanes zw0 = __builtin_shufflevector(z, w, 0, 8, 1, 9, 4, 12, 5, 13);
    const WideLanes zw1 = __builtin_shufflevector(z, w, 2, 10, 3, 11, 6, 14, 7, 15);
    x = __builtin_shufflevector(xy0, zw0, 0, 1, 8, 9, 4, 5, 12, 13);
    y = __builtin_shufflevector(xy0, zw0, 2, 3, 10, 11, 6, 7, 14, 15);
    z = __builtin_shufflevector(xy1, zw1, 0, 1, 8, 9, 4, 5, 12, 13);
    w = __builtin_shufflevector(xy1, zw1, 2, 3, 10, 11, 6, 7, 14, 15);
}

// What StableSolver::gather does for eight bodies: a vector holds the velocity, spin and turn of
// body i and of body i + 4, and one transpose of both halves turns four such vectors into lanes.
template <typename WideMotion, typename Motion>
RIGID2D_WIDE WideMotion gatherEight(const Motion *motions, const int *bodies) {
    WideLanes v[laneCount];
    for (int row = 0; row < laneCount; ++row) {
        Lanes low;
        Lanes high;
        std::memcpy(&low, &motions[bodies[row]], sizeof low);
        std::memcpy(&high, &motions[bodies[row + laneCount]], sizeof high);
        v[row] = joined(low, high);
    }
    transposeHalves(v[0], v[1], v[2], v[3]);
    WideMotion out;
    out.velocity = BasicLaneVec2<WideLanes>{v[0], v[1]};
    out.spin = v[2];
    out.turn = v[3];
    using Pair = float __attribute__((vector_size(8)));
    Lanes firstTwo[2];
    Lanes lastTwo[2];
    for (int half = 0; half < 2; ++half) {
        Pair d[laneCount];
        for (int lane = 0; lane < laneCount; ++lane)
            std::memcpy(&d[lane], &motions[bodies[half * laneCount + lane]].displacement,
                        sizeof d[lane]);
        firstTwo[half] = __builtin_shufflevector(d[0], d[1], 0, 2, 1, 3);
        lastTwo[half] = __builtin_shufflevector(d[2], d[3], 0, 2, 1, 3);
    }
    const WideLanes first = joined(firstTwo[0], firstTwo[1]);
    const WideLanes last = joined(lastTwo[0], lastTwo[1]);
    out.displacement.x = __builtin_shufflevector(first, last, 0, 1, 8, 9, 4, 5, 12, 13);
    out.displacement.y = __builtin_shufflevector(first, last, 2, 3, 10, 11, 6, 7, 14, 15);
    return out;
}

// And back, as StableSolver::scatter does.
template <typename Motion, typename WideMotion>
RIGID2D_WIDE void scatterEight(Motion *motions, const int *bodies, const WideMotion &m) {
    WideLanes v[laneCount] = {m.velocity.x, m.velocity.y, m.spin, m.turn};
    transposeHalves(v[0], v[1], v[2], v[3]);
    for (int row = 0; row < laneCount; ++row) {
        const Lanes low = lowHalf(v[row]);
        const Lanes high = highHalf(v[row]);
        std::memcpy(static_cast<void *>(&motions[bodies[row]]), &low, sizeof low);
        std::memcpy(static_cast<void *>(&motions[bodies[row + laneCount]]), &high, sizeof high);
    }
}

} // namespace

bool StableSolver::processorHasAvx() {
    // A solver made before main() may come before the processor's features have been read.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx");
}

template <typename Group> RIGID2D_FOR_AVX void StableSolver::warmStartWide(Group &g) {
    using WideMotion = BasicLaneMotion<WideLanes>;
    WideMotion a = gatherEight<WideMotion>(motions.data(), g.readA);
    WideMotion b = gatherEight<WideMotion>(motions.data(), g.readB);
    const WidePair pair = widePair(g);
    for (int n = 0; n < Group::pointCount; ++n)
        warmStartPoint(pair, widePoint(g.pointAt(n)), a, b);
    scatterEight(motions.data(), g.writeA, a);
    scatterEight(motions.data(), g.writeB, b);
}

template <bool useBias, typename Group> RIGID2D_FOR_AVX void StableSolver::solveWide(Group &g) {
    using WideMotion = BasicLaneMotion<WideLanes>;
    WideMotion a = gatherEight<WideMotion>(motions.data(), g.readA);
    WideMotion b = gatherEight<WideMotion>(motions.data(), g.readB);
    const WidePair pair = widePair(g);
    for (int n = 0; n < Group::pointCount; ++n) {
        WidePoint point = widePoint(g.pointAt(n));
        solvePoint<useBias>(pair, point, a, b);
    }
    scatterEight(motions.data(), g.writeA, a);
    scatterEight(motions.data(), g.writeB, b);
}

template void StableSolver::warmStartWide(TurningLanes &);
template void StableSolver::warmStartWide(TwoPointLanes &);
template void StableSolver::solveWide<true>(TurningLanes &);
template void StableSolver::solveWide<false>(TurningLanes &);
template void StableSolver::solveWide<true>(TwoPointLanes &);
template void StableSolver::solveWide<false>(TwoPointLanes &);

#endif
