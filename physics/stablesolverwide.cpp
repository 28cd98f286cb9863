// The stable solver's groups two at a time, eight lanes in one AVX register, on a processor that
// has AVX. Two groups of one level share no body the rows change, so each lane sees what it would
// alone: the bits are those of four lanes, and of the rows one by one. Only these functions are
// built for AVX; the program runs on any x86-64 and takes four lanes where AVX is missing.

#include "physics/stablesolver.h"

#if defined(RIGID2D_WIDE_LANES)

#include "physics/stablesolverlanemath.h"

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

// A body's motion in lanes, of two groups in one, and back.
template <template <typename> class Motion>
RIGID2D_WIDE Motion<WideLanes> joinedMotion(const Motion<Lanes> &low, const Motion<Lanes> &high) {
    return Motion<WideLanes>{joined(low.velocity, high.velocity), joined(low.spin, high.spin),
                             joined(low.turn, high.turn),
                             joined(low.displacement, high.displacement)};
}

RIGID2D_WIDE Lanes half(WideLanes x, bool high) {
    return high ? highHalf(x) : lowHalf(x);
}

template <template <typename> class Motion>
RIGID2D_WIDE Motion<Lanes> half(const Motion<WideLanes> &m, bool high) {
    return Motion<Lanes>{LaneVec2{half(m.velocity.x, high), half(m.velocity.y, high)},
                         half(m.spin, high), half(m.turn, high),
                         LaneVec2{half(m.displacement.x, high), half(m.displacement.y, high)}};
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
    auto a = joinedMotion(gather(first.readA), gather(second.readA));
    auto b = joinedMotion(gather(first.readB), gather(second.readB));
    const WidePair pair = joinedPair(first, second);
    if constexpr (std::is_same_v<Group, TwoPointLanes>) {
        warmStartPoint(pair, joinedPoint(first.point[0], second.point[0]), a, b);
        warmStartPoint(pair, joinedPoint(first.point[1], second.point[1]), a, b);
    } else {
        warmStartPoint(pair, joinedPoint(first, second), a, b);
    }
    scatter(first.writeA, half(a, false));
    scatter(second.writeA, half(a, true));
    scatter(first.writeB, half(b, false));
    scatter(second.writeB, half(b, true));
}

template <bool useBias, typename Group>
RIGID2D_FOR_AVX void StableSolver::solveLanes(Group &first, Group &second) {
    auto a = joinedMotion(gather(first.readA), gather(second.readA));
    auto b = joinedMotion(gather(first.readB), gather(second.readB));
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
    scatter(first.writeA, half(a, false));
    scatter(second.writeA, half(a, true));
    scatter(first.writeB, half(b, false));
    scatter(second.writeB, half(b, true));
}

template void StableSolver::warmStartLanes(TurningLanes &, TurningLanes &);
template void StableSolver::warmStartLanes(TwoPointLanes &, TwoPointLanes &);
template void StableSolver::solveLanes<true>(TurningLanes &, TurningLanes &);
template void StableSolver::solveLanes<false>(TurningLanes &, TurningLanes &);
template void StableSolver::solveLanes<true>(TwoPointLanes &, TwoPointLanes &);
template void StableSolver::solveLanes<false>(TwoPointLanes &, TwoPointLanes &);

#endif
