// The stable solver's groups two at a time, eight lanes in one AVX register, on a processor that
// has AVX. Two groups of one level share no body the rows change, so each lane sees what it would
// alone: the bits are those of four lanes, and of the rows one by one. Only these functions are
// built for AVX; the program runs on any x86-64 and takes four lanes where AVX is missing.

#include "physics/stablesolver.h"

#if defined(RIGID2D_WIDE_LANES)

#include "physics/stablesolverlanemath.h"

#include <cstring>     // std::memcpy
#include <type_traits> // std::is_same_v

#define RIGID2D_FOR_AVX [[gnu::target("avx")]]

namespace {

// What the rows of a pair share, of two groups in one: the first's lanes low, the second's high.
struct WidePair {
    BasicLaneVec2<WideLanes> normal;
    WideLanes inverseMassA;
    WideLanes inverseMassB;
    WideLanes inverseInertiaA;
    WideLanes inverseInertiaB;
    WideLanes friction;
};

// One point of each pair, of two groups in one.
struct WidePoint {
    WideLanes penetration;
    WideLanes normalMass;
    WideLanes impulse;
    WideLanes maxImpulse;
    BasicLaneVec2<WideLanes> anchorA;
    BasicLaneVec2<WideLanes> anchorB;
    WideLanes normalLeverA;
    WideLanes normalLeverB;
    WideLanes tangentLeverA;
    WideLanes tangentLeverB;
    WideLanes tangentMass;
    WideLanes tangentImpulse;
};

using ::joined;

RIGID2D_WIDE BasicLaneVec2<WideLanes> joined(const LaneVec2 &low, const LaneVec2 &high) {
    return BasicLaneVec2<WideLanes>{joined(low.x, high.x), joined(low.y, high.y)};
}

template <typename Pair> RIGID2D_WIDE WidePair joinedPair(const Pair &first, const Pair &second) {
    return WidePair{joined(first.normal, second.normal),
                    joined(first.inverseMassA, second.inverseMassA),
                    joined(first.inverseMassB, second.inverseMassB),
                    joined(first.inverseInertiaA, second.inverseInertiaA),
                    joined(first.inverseInertiaB, second.inverseInertiaB),
                    joined(first.friction, second.friction)};
}

template <typename Point>
RIGID2D_WIDE WidePoint joinedPoint(const Point &first, const Point &second) {
    return WidePoint{joined(first.penetration, second.penetration),
                     joined(first.normalMass, second.normalMass),
                     joined(first.impulse, second.impulse),
                     joined(first.maxImpulse, second.maxImpulse),
                     joined(first.anchorA, second.anchorA),
                     joined(first.anchorB, second.anchorB),
                     joined(first.normalLeverA, second.normalLeverA),
                     joined(first.normalLeverB, second.normalLeverB),
                     joined(first.tangentLeverA, second.tangentLeverA),
                     joined(first.tangentLeverB, second.tangentLeverB),
                     joined(first.tangentMass, second.tangentMass),
                     joined(first.tangentImpulse, second.tangentImpulse)};
}

// What solving a point changes, back into each group.
template <typename Point>
RIGID2D_WIDE void splitImpulses(const WidePoint &wide, Point &first, Point &second) {
    first.impulse = lowHalf(wide.impulse);
    second.impulse = highHalf(wide.impulse);
    first.maxImpulse = lowHalf(wide.maxImpulse);
    second.maxImpulse = highHalf(wide.maxImpulse);
    first.tangentImpulse = lowHalf(wide.tangentImpulse);
    second.tangentImpulse = highHalf(wide.tangentImpulse);
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

// What StableSolver::gather does for the bodies of two groups, low and high: a vector holds the
// velocity, spin and turn of one body of each, and one transpose of both halves turns four such
// vectors into lanes.
template <typename WideMotion, typename Motion>
RIGID2D_WIDE WideMotion gatherTwo(const Motion *motions, const int (&low)[laneCount],
                                  const int (&high)[laneCount]) {
    WideLanes v[laneCount];
    for (int row = 0; row < laneCount; ++row) {
        Lanes first;
        Lanes second;
        std::memcpy(&first, &motions[low[row]], sizeof first);
        std::memcpy(&second, &motions[high[row]], sizeof second);
        v[row] = joined(first, second);
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
        const int(&bodies)[laneCount] = half == 0 ? low : high;
        Pair d[laneCount];
        for (int lane = 0; lane < laneCount; ++lane)
            std::memcpy(&d[lane], &motions[bodies[lane]].displacement, sizeof d[lane]);
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
RIGID2D_WIDE void scatterTwo(Motion *motions, const int (&low)[laneCount],
                             const int (&high)[laneCount], const WideMotion &m) {
    WideLanes v[laneCount] = {m.velocity.x, m.velocity.y, m.spin, m.turn};
    transposeHalves(v[0], v[1], v[2], v[3]);
    for (int row = 0; row < laneCount; ++row) {
        const Lanes first = lowHalf(v[row]);
        const Lanes second = highHalf(v[row]);
        std::memcpy(static_cast<void *>(&motions[low[row]]), &first, sizeof first);
        std::memcpy(static_cast<void *>(&motions[high[row]]), &second, sizeof second);
    }
}

} // namespace

bool StableSolver::processorHasAvx() {
    // A solver made before main() may come before the processor's features have been read.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx");
}

// Lanes 0 to 3 are the first group's, 4 to 7 the second's.
template <typename Group>
RIGID2D_FOR_AVX void StableSolver::warmStartLanes(Group &first, Group &second) {
    using WideMotion = BasicLaneMotion<WideLanes>;
    WideMotion a = gatherTwo<WideMotion>(motions.data(), first.readA, second.readA);
    WideMotion b = gatherTwo<WideMotion>(motions.data(), first.readB, second.readB);
    const WidePair pair = joinedPair(first, second);
    if constexpr (std::is_same_v<Group, TwoPointLanes>) {
        warmStartPoint(pair, joinedPoint(first.point[0], second.point[0]), a, b);
        warmStartPoint(pair, joinedPoint(first.point[1], second.point[1]), a, b);
    } else {
        warmStartPoint(pair, joinedPoint(first, second), a, b);
    }
    scatterTwo(motions.data(), first.writeA, second.writeA, a);
    scatterTwo(motions.data(), first.writeB, second.writeB, b);
}

template <bool useBias, typename Group>
RIGID2D_FOR_AVX void StableSolver::solveLanes(Group &first, Group &second) {
    using WideMotion = BasicLaneMotion<WideLanes>;
    WideMotion a = gatherTwo<WideMotion>(motions.data(), first.readA, second.readA);
    WideMotion b = gatherTwo<WideMotion>(motions.data(), first.readB, second.readB);
    const WidePair pair = joinedPair(first, second);
    if constexpr (std::is_same_v<Group, TwoPointLanes>) {
        for (int n = 0; n < 2; ++n) {
            WidePoint point = joinedPoint(first.point[n], second.point[n]);
            solvePoint<useBias>(pair, point, a, b);
            splitImpulses(point, first.point[n], second.point[n]);
        }
    } else {
        WidePoint point = joinedPoint(first, second);
        solvePoint<useBias>(pair, point, a, b);
        splitImpulses(point, first, second);
    }
    scatterTwo(motions.data(), first.writeA, second.writeA, a);
    scatterTwo(motions.data(), first.writeB, second.writeB, b);
}

template void StableSolver::warmStartLanes(TurningLanes &, TurningLanes &);
template void StableSolver::warmStartLanes(TwoPointLanes &, TwoPointLanes &);
template void StableSolver::solveLanes<true>(TurningLanes &, TurningLanes &);
template void StableSolver::solveLanes<false>(TurningLanes &, TurningLanes &);
template void StableSolver::solveLanes<true>(TwoPointLanes &, TwoPointLanes &);
template void StableSolver::solveLanes<false>(TwoPointLanes &, TwoPointLanes &);

#endif
