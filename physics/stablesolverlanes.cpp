// The stable solver's rows that turn their bodies, four at a time. The rows are taken level by
// level (see LevelOrder), so that every body meets its rows in the contacts' order: the bits are
// those of the rows taken one by one in that order.
#include "physics/stablesolver.h"

#include <cmath>   // std::signbit
#include <cstddef> // offsetof
#include <cstring> // std::memcpy

namespace {

bool negativeZero(float x) {
    return x == 0 && std::signbit(x);
}

// Four vectors of four floats, rows into columns.
void transpose(Lanes &x, Lanes &y, Lanes &z, Lanes &w) {
    const Lanes xy0 = __builtin_shufflevector(x, y, 0, 4, 1, 5);
    const Lanes xy1 = __builtin_shufflevector(x, y, 2, 6, 3, 7);
    const Lanes zw0 = __builtin_shufflevector(z, w, 0, 4, 1, 5);
    const Lanes zw1 = __builtin_shufflevector(z, w, 2, 6, 3, 7);
    x = __builtin_shufflevector(xy0, zw0, 0, 1, 4, 5);
    y = __builtin_shufflevector(xy0, zw0, 2, 3, 6, 7);
    z = __builtin_shufflevector(xy1, zw1, 0, 1, 4, 5);
    w = __builtin_shufflevector(xy1, zw1, 2, 3, 6, 7);
}

// Below this many groups of turning rows a level on average, the rows are solved one by one.
constexpr int minGroupsPerLevel = 1;

} // namespace

// A body that can neither move nor turn gets impulses times 0: the rows leave its velocity and
// spin to the bit, unless one of them is -0, which adding +0 would make +0 (its kicks, added
// between the passes, are checked for the same). Lanes sharing such a body need not write it.
bool StableSolver::changedByRows(std::size_t i) const {
    if (inverseMasses[i] != 0 || inverseInertias[i] != 0)
        return true;
    const Motion &m = motions[i];
    return negativeZero(m.velocity.x) || negativeZero(m.velocity.y) || negativeZero(m.spin) ||
           negativeZero(kicks[i].x) || negativeZero(kicks[i].y);
}

bool StableSolver::groupTurningRows(int bodyCount) {
    int turningCount = 0;
    for (const Row &r : rows)
        turningCount += r.turning ? 1 : 0;
    if (turningCount == 0)
        return false;
    levels.build(
        static_cast<int>(rows.size()), bodyCount,
        [this](int k, int &a, int &b) {
            a = rows[static_cast<std::size_t>(k)].a;
            b = rows[static_cast<std::size_t>(k)].b;
        },
        [this](int i) { return changeable[static_cast<std::size_t>(i)] != 0; });
    // A chain of rows, each sharing a body with the one before (a stack), has a level a row:
    // unless the levels hold a few groups on average, the rows are cheaper one by one.
    if (turningCount < minGroupsPerLevel * laneCount * levels.levelCount())
        return false;
    const int spare = static_cast<int>(motions.size()) - 1;
    motions.back() = Motion{Vec2(0, 0), 0.0f, 0.0f, Vec2(0, 0)};
    TurningLanes blank{};
    for (int lane = 0; lane < laneCount; ++lane) {
        blank.readA[lane] = blank.readB[lane] = blank.writeA[lane] = blank.writeB[lane] = spare;
        blank.rowOf[lane] = -1;
    }
    groups.clear();
    linearRows.clear();
    levelWork.clear();
    const std::vector<int> &order = levels.order();
    for (int level = 1; level <= levels.levelCount(); ++level) {
        int lane = 0;
        for (int n = levels.levelEnd(level - 1); n < levels.levelEnd(level); ++n) {
            const int k = order[static_cast<std::size_t>(n)];
            // The lanes rub or turn freely: a row that resists turning is solved alone.
            if (!rows[static_cast<std::size_t>(k)].turning ||
                details[static_cast<std::size_t>(k)].rollingMass != 0) {
                linearRows.push_back(k);
                continue;
            }
            if (lane == 0)
                groups.push_back(blank);
            putInLane(groups.back(), lane, k);
            lane = (lane + 1) % laneCount;
        }
        levelWork.push_back(LevelWork{groups.size(), linearRows.size()});
    }
    return true;
}

void StableSolver::putInLane(TurningLanes &g, int lane, int k) {
    const Row &r = rows[static_cast<std::size_t>(k)];
    const RowDetail &d = details[static_cast<std::size_t>(k)];
    g.normal.x[lane] = r.normal.x;
    g.normal.y[lane] = r.normal.y;
    g.penetration[lane] = r.penetration;
    g.inverseMassA[lane] = r.inverseMassA;
    g.inverseMassB[lane] = r.inverseMassB;
    g.normalMass[lane] = r.normalMass;
    g.impulse[lane] = r.impulse;
    g.maxImpulse[lane] = r.maxImpulse;
    g.anchorA.x[lane] = d.anchorA.x;
    g.anchorA.y[lane] = d.anchorA.y;
    g.anchorB.x[lane] = d.anchorB.x;
    g.anchorB.y[lane] = d.anchorB.y;
    g.normalLeverA[lane] = d.normalLeverA;
    g.normalLeverB[lane] = d.normalLeverB;
    g.tangentLeverA[lane] = d.tangentLeverA;
    g.tangentLeverB[lane] = d.tangentLeverB;
    g.inverseInertiaA[lane] = d.inverseInertiaA;
    g.inverseInertiaB[lane] = d.inverseInertiaB;
    g.friction[lane] = d.friction;
    g.tangentMass[lane] = d.tangentMass;
    g.tangentImpulse[lane] = d.tangentImpulse;
    const int spare = static_cast<int>(motions.size()) - 1;
    g.readA[lane] = r.a;
    g.readB[lane] = r.b;
    g.writeA[lane] = changeable[static_cast<std::size_t>(r.a)] ? r.a : spare;
    g.writeB[lane] = changeable[static_cast<std::size_t>(r.b)] ? r.b : spare;
    g.rowOf[lane] = k;
}

void StableSolver::ungroup() {
    for (const TurningLanes &g : groups) {
        for (int lane = 0; lane < laneCount; ++lane) {
            if (g.rowOf[lane] < 0)
                continue;
            const std::size_t k = static_cast<std::size_t>(g.rowOf[lane]);
            rows[k].impulse = g.impulse[lane];
            rows[k].maxImpulse = g.maxImpulse[lane];
            details[k].tangentImpulse = g.tangentImpulse[lane];
        }
    }
}

// Velocity, spin and turn are a motion's first four floats: one load per body, turned into
// lanes by a transpose. The displacements follow, one 8-byte load per body shuffled into lanes
// in registers (filled lane by lane through memory, they stalled on their stores). Inlined, so
// that the lanes stay in registers from the gather to the scatter.
[[gnu::always_inline]] inline StableSolver::LaneMotion
StableSolver::gather(const int (&bodies)[laneCount]) const {
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
[[gnu::always_inline]] inline void StableSolver::scatter(const int (&bodies)[laneCount],
                                                         const LaneMotion &m) {
    Lanes v[laneCount] = {m.velocity.x, m.velocity.y, m.spin, m.turn};
    transpose(v[0], v[1], v[2], v[3]);
    for (int lane = 0; lane < laneCount; ++lane)
        std::memcpy(static_cast<void *>(&motions[static_cast<std::size_t>(bodies[lane])]), &v[lane],
                    sizeof v[lane]);
}

[[gnu::always_inline]] inline LaneVec2
StableSolver::relativeVelocity(const TurningLanes &g, const LaneMotion &a, const LaneMotion &b) {
    return (b.velocity + cross(b.spin, g.anchorB)) - (a.velocity + cross(a.spin, g.anchorA));
}

// Where every lane applies, as it almost always does, the masks are passed by. Inlined, as gather
// is.
[[gnu::always_inline]] inline void StableSolver::push(const TurningLanes &g, LaneVec2 p,
                                                      LaneMask applies, bool every, LaneMotion &a,
                                                      LaneMotion &b) {
    const LaneVec2 pushedA = a.velocity - p * g.inverseMassA;
    const LaneVec2 pushedB = b.velocity + p * g.inverseMassB;
    a.velocity = every ? pushedA : select(applies, pushedA, a.velocity);
    b.velocity = every ? pushedB : select(applies, pushedB, b.velocity);
}

[[gnu::always_inline]] inline void StableSolver::turn(const TurningLanes &g, Lanes turnA,
                                                      Lanes turnB, LaneMask applies, bool every,
                                                      LaneMotion &a, LaneMotion &b) {
    const Lanes turnedA = a.spin - g.inverseInertiaA * turnA;
    const Lanes turnedB = b.spin + g.inverseInertiaB * turnB;
    a.spin = every ? turnedA : select(applies, turnedA, a.spin);
    b.spin = every ? turnedB : select(applies, turnedB, b.spin);
}

void StableSolver::warmStartLanes(TurningLanes &g) {
    LaneMotion a = gather(g.readA);
    LaneMotion b = gather(g.readB);
    const LaneVec2 tangent{g.normal.y, -g.normal.x};
    const LaneMask none{};
    push(g, g.normal * g.impulse + tangent * g.tangentImpulse, none, true, a, b);
    turn(g, g.normalLeverA * g.impulse + g.tangentLeverA * g.tangentImpulse,
         g.normalLeverB * g.impulse + g.tangentLeverB * g.tangentImpulse, none, true, a, b);
    scatter(g.writeA, a);
    scatter(g.writeB, b);
}

// solveRow's arithmetic in four lanes: where a row alone would skip work (no friction, an impulse
// that left the finite numbers), its lane computes it and keeps what it had.
template <bool useBias> void StableSolver::solveLanes(TurningLanes &g) {
    LaneMotion a = gather(g.readA);
    LaneMotion b = gather(g.readB);
    const Lanes zero = splat(0.0f);
    const LaneMask rubs = zero < g.friction;
    if (anyLane(rubs)) {
        const LaneVec2 tangent{g.normal.y, -g.normal.x};
        const Lanes vt = tangent.dot(relativeVelocity(g, a, b));
        const Lanes limit = g.friction * g.impulse;
        const Lanes unclamped = g.tangentImpulse - g.tangentMass * vt;
        const LaneMask applies = rubs & isFinite(unclamped);
        const bool every = everyLane(applies);
        const Lanes accumulated = larger(-limit, smaller(unclamped, limit));
        const Lanes change = accumulated - g.tangentImpulse;
        g.tangentImpulse = every ? accumulated : select(applies, accumulated, g.tangentImpulse);
        push(g, tangent * change, applies, every, a, b);
        turn(g, g.tangentLeverA * change, g.tangentLeverB * change, applies, every, a, b);
    }
    const LaneVec2 moved =
        (b.displacement + cross(b.turn, g.anchorB)) - (a.displacement + cross(a.turn, g.anchorA));
    const Lanes separation = g.normal.dot(moved) - g.penetration + splat(tuning.slop);
    const LaneMask apart = zero < separation;
    Lanes bias = select(apart, separation * splat(inverseSubstep), zero);
    Lanes massScale = splat(1.0f);
    Lanes impulseScale = zero;
    if (useBias) {
        const Softness &spring = turningSoftness;
        const Lanes pushOut =
            larger(splat(spring.biasRate) * separation, splat(-tuning.maxPushOut));
        bias = select(apart, bias, pushOut);
        massScale = select(apart, massScale, splat(spring.massScale));
        impulseScale = select(apart, impulseScale, splat(spring.impulseScale));
    }
    const Lanes vn = g.normal.dot(relativeVelocity(g, a, b));
    const Lanes unclamped =
        g.impulse - g.normalMass * massScale * (vn + bias) - impulseScale * g.impulse;
    const LaneMask applies = isFinite(unclamped);
    const bool every = everyLane(applies);
    const Lanes accumulated = larger(unclamped, zero);
    const Lanes change = accumulated - g.impulse;
    const Lanes largest = larger(g.maxImpulse, accumulated);
    g.impulse = every ? accumulated : select(applies, accumulated, g.impulse);
    g.maxImpulse = every ? largest : select(applies, largest, g.maxImpulse);
    push(g, g.normal * change, applies, every, a, b);
    turn(g, g.normalLeverA * change, g.normalLeverB * change, applies, every, a, b);
    scatter(g.writeA, a);
    scatter(g.writeB, b);
}

template void StableSolver::solveLanes<true>(TurningLanes &g);
template void StableSolver::solveLanes<false>(TurningLanes &g);
