// The stable solver's rows that turn their bodies, four at a time, or the two points of four
// pairs at a time (boxes resting on boxes). The rows are taken level by level (see LevelOrder),
// so that every body meets its rows in the contacts' order: the bits are those of the rows taken
// one by one in that order.
#include "physics/stablesolver.h"
#include "physics/stablesolverlanemath.h"

#include <cmath>       // std::signbit
#include <type_traits> // std::is_same_v

namespace {

bool negativeZero(float x) {
    return x == 0 && std::signbit(x);
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

[[gnu::always_inline]] inline bool StableSolver::inLanes(std::size_t k) const {
    // The lanes rub or turn freely: a row that resists turning is solved alone.
    return rows[k].turning && details[k].rollingMass == 0;
}

[[gnu::always_inline]] inline bool StableSolver::sameBodiesAsNext(std::size_t k) const {
    return k + 1 < rows.size() && rows[k + 1].a == rows[k].a && rows[k + 1].b == rows[k].b;
}

[[gnu::always_inline]] inline bool StableSolver::startsTwoPoints(std::size_t k) const {
    return sameBodiesAsNext(k) && inLanes(k) && inLanes(k + 1);
}

bool StableSolver::groupTurningRows(int bodyCount) {
    // The rows of a pair are next to each other, in its contact's order.
    int turningCount = 0;
    int pairedRows = 0;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        turningCount += rows[k].turning ? 1 : 0;
        pairedRows += rows[k].turning && sameBodiesAsNext(k) && rows[k + 1].turning ? 2 : 0;
    }
    if (turningCount == 0)
        return false;
    // The two points of a pair share one read and one write of their bodies, but a level then
    // fills groups of two kinds: they are taken together when most rows come so (boxes on boxes).
    const bool twoPoints = 5 * pairedRows >= 4 * static_cast<int>(rows.size());
    const auto bodiesOf = [this](int k, int &a, int &b) {
        a = rows[static_cast<std::size_t>(k)].a;
        b = rows[static_cast<std::size_t>(k)].b;
    };
    const auto changes = [this](int i) { return changeable[static_cast<std::size_t>(i)] != 0; };
    if (twoPoints) {
        // The levels order the pairs, each by its first row.
        pairRows.clear();
        for (std::size_t k = 0; k < rows.size(); k += startsTwoPoints(k) ? 2 : 1)
            pairRows.push_back(static_cast<int>(k));
        pairRows.push_back(static_cast<int>(rows.size()));
        levels.build(
            static_cast<int>(pairRows.size()) - 1, bodyCount,
            [&](int u, int &a, int &b) { bodiesOf(pairRows[static_cast<std::size_t>(u)], a, b); },
            changes);
    } else {
        levels.build(static_cast<int>(rows.size()), bodyCount, bodiesOf, changes);
    }
    // A chain of rows, each sharing a body with the one before (a stack), has a level a row:
    // unless the levels hold a few groups on average, the rows are cheaper one by one.
    if (turningCount < minGroupsPerLevel * laneCount * levels.levelCount())
        return false;
    motions.back() = Motion{Vec2(0, 0), 0.0f, 0.0f, Vec2(0, 0)};
    groups.clear();
    pairGroups.clear();
    linearRows.clear();
    levelWork.clear();
    if (twoPoints)
        fillLevels<true>();
    else
        fillLevels<false>();
    return true;
}

template <bool twoPoints> void StableSolver::fillLevels() {
    const TurningLanes blank = blankGroup<TurningLanes>();
    const TwoPointLanes pairBlank = blankGroup<TwoPointLanes>();
    const std::vector<int> &order = levels.order();
    for (int level = 1; level <= levels.levelCount(); ++level) {
        int lane = 0;
        int pairLane = 0;
        for (int n = levels.levelEnd(level - 1); n < levels.levelEnd(level); ++n) {
            const std::size_t u = static_cast<std::size_t>(order[static_cast<std::size_t>(n)]);
            const int k = twoPoints ? pairRows[u] : static_cast<int>(u);
            if (!inLanes(static_cast<std::size_t>(k))) {
                linearRows.push_back(k);
            } else if (twoPoints && pairRows[u + 1] - k == 2) {
                if (pairLane == 0)
                    pairGroups.push_back(pairBlank);
                putInLane(pairGroups.back(), pairLane, k);
                pairLane = (pairLane + 1) % laneCount;
            } else {
                if (lane == 0)
                    groups.push_back(blank);
                putInLane(groups.back(), lane, k);
                lane = (lane + 1) % laneCount;
            }
        }
        levelWork.push_back(LevelWork{groups.size(), pairGroups.size(), linearRows.size()});
    }
}

namespace {

template <typename Point> void clearRows(Point &p) {
    for (int lane = 0; lane < laneCount; ++lane)
        p.rowOf[lane] = -1;
}

} // namespace

template <typename Group> Group StableSolver::blankGroup() const {
    const int spare = static_cast<int>(motions.size()) - 1;
    Group blank{};
    for (int lane = 0; lane < laneCount; ++lane)
        blank.readA[lane] = blank.readB[lane] = blank.writeA[lane] = blank.writeB[lane] = spare;
    if constexpr (std::is_same_v<Group, TwoPointLanes>) {
        clearRows(blank.point[0]);
        clearRows(blank.point[1]);
    } else {
        clearRows(blank);
    }
    return blank;
}

// What a pair's rows share, from its row k.
[[gnu::always_inline]] inline void StableSolver::putPairInLane(PairLanes &g, int lane,
                                                               int k) const {
    const Row &r = rows[static_cast<std::size_t>(k)];
    const RowDetail &d = details[static_cast<std::size_t>(k)];
    g.normal.x[lane] = r.normal.x;
    g.normal.y[lane] = r.normal.y;
    g.inverseMassA[lane] = r.inverseMassA;
    g.inverseMassB[lane] = r.inverseMassB;
    g.inverseInertiaA[lane] = d.inverseInertiaA;
    g.inverseInertiaB[lane] = d.inverseInertiaB;
    g.friction[lane] = d.friction;
    const int spare = static_cast<int>(motions.size()) - 1;
    g.readA[lane] = r.a;
    g.readB[lane] = r.b;
    g.writeA[lane] = changeable[static_cast<std::size_t>(r.a)] ? r.a : spare;
    g.writeB[lane] = changeable[static_cast<std::size_t>(r.b)] ? r.b : spare;
}

[[gnu::always_inline]] inline void StableSolver::putInLane(TurningLanes &g, int lane, int k) {
    putPairInLane(g, lane, k);
    putPointInLane(g, lane, k);
}

[[gnu::always_inline]] inline void StableSolver::putInLane(TwoPointLanes &g, int lane,
                                                           int firstRow) {
    putPairInLane(g, lane, firstRow);
    putPointInLane(g.point[0], lane, firstRow);
    putPointInLane(g.point[1], lane, firstRow + 1);
}

[[gnu::always_inline]] inline void StableSolver::putPointInLane(PointLanes &p, int lane,
                                                                int k) const {
    const Row &r = rows[static_cast<std::size_t>(k)];
    const RowDetail &d = details[static_cast<std::size_t>(k)];
    p.penetration[lane] = r.penetration;
    p.normalMass[lane] = r.normalMass;
    p.impulse[lane] = r.impulse;
    p.maxImpulse[lane] = r.maxImpulse;
    p.anchorA.x[lane] = d.anchorA.x;
    p.anchorA.y[lane] = d.anchorA.y;
    p.anchorB.x[lane] = d.anchorB.x;
    p.anchorB.y[lane] = d.anchorB.y;
    p.normalLeverA[lane] = d.normalLeverA;
    p.normalLeverB[lane] = d.normalLeverB;
    p.tangentLeverA[lane] = d.tangentLeverA;
    p.tangentLeverB[lane] = d.tangentLeverB;
    p.tangentMass[lane] = d.tangentMass;
    p.tangentImpulse[lane] = d.tangentImpulse;
    p.rowOf[lane] = k;
}

void StableSolver::ungroup() {
    const auto back = [this](const auto &p) {
        for (int lane = 0; lane < laneCount; ++lane) {
            if (p.rowOf[lane] < 0)
                continue;
            const std::size_t k = static_cast<std::size_t>(p.rowOf[lane]);
            rows[k].impulse = p.impulse[lane];
            rows[k].maxImpulse = p.maxImpulse[lane];
            details[k].tangentImpulse = p.tangentImpulse[lane];
        }
    };
    for (const TurningLanes &g : groups)
        back(g);
    for (const TwoPointLanes &g : pairGroups) {
        back(g.point[0]);
        back(g.point[1]);
    }
}

void StableSolver::warmStartLanes(TurningLanes &g) {
    LaneMotion a = gather(g.readA);
    LaneMotion b = gather(g.readB);
    warmStartPoint(g, g, a, b);
    scatter(g.writeA, a);
    scatter(g.writeB, b);
}

// A pair's points one after the other, as their rows would be.
void StableSolver::warmStartLanes(TwoPointLanes &g) {
    LaneMotion a = gather(g.readA);
    LaneMotion b = gather(g.readB);
    warmStartPoint(g, g.point[0], a, b);
    warmStartPoint(g, g.point[1], a, b);
    scatter(g.writeA, a);
    scatter(g.writeB, b);
}

template <bool useBias> void StableSolver::solveLanes(TurningLanes &g) {
    LaneMotion a = gather(g.readA);
    LaneMotion b = gather(g.readB);
    solvePoint<useBias>(g, g, a, b);
    scatter(g.writeA, a);
    scatter(g.writeB, b);
}

template <bool useBias> void StableSolver::solveLanes(TwoPointLanes &g) {
    LaneMotion a = gather(g.readA);
    LaneMotion b = gather(g.readB);
    solvePoint<useBias>(g, g.point[0], a, b);
    solvePoint<useBias>(g, g.point[1], a, b);
    scatter(g.writeA, a);
    scatter(g.writeB, b);
}

template void StableSolver::solveLanes<true>(TurningLanes &g);
template void StableSolver::solveLanes<false>(TurningLanes &g);
template void StableSolver::solveLanes<true>(TwoPointLanes &g);
template void StableSolver::solveLanes<false>(TwoPointLanes &g);
