// The stable solver's rows that turn their bodies, in groups of eight rows, or of the two points
// of eight pairs (boxes resting on boxes), taken here four lanes at a time (stablesolverwide.cpp
// takes all eight at once where the processor has AVX). The rows are taken level by level (see
// LevelOrder), so that every body meets its rows in the contacts' order: the bits are those of
// the rows taken one by one in that order.
#include "physics/stablesolver.h"
#include "physics/stablesolverlanemath.h"

#include <cmath> // std::signbit

namespace {

bool negativeZero(float x) {
    return x == 0 && std::signbit(x);
}

// Below this many turning rows a level on average (half a group), the rows are solved one by one.
constexpr int minRowsPerLevel = laneCount;

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
    if (turningCount < minRowsPerLevel * levels.levelCount())
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
                pairLane = (pairLane + 1) % groupLanes;
            } else {
                if (lane == 0)
                    groups.push_back(blank);
                putInLane(groups.back(), lane, k);
                lane = (lane + 1) % groupLanes;
            }
        }
        levelWork.push_back(LevelWork{groups.size(), pairGroups.size(), linearRows.size()});
    }
}

namespace {

template <typename Point> void clearRows(Point &p) {
    for (int &row : p.rowOf)
        row = -1;
}

// Lane i of eight.
[[gnu::always_inline]] inline void setLane(LaneHalves &field, int i, float value) {
    field.half[i / laneCount][i % laneCount] = value;
}
[[gnu::always_inline]] inline float lane(const LaneHalves &field, int i) {
    return field.half[i / laneCount][i % laneCount];
}

} // namespace

template <typename Group> Group StableSolver::blankGroup() const {
    const int spare = static_cast<int>(motions.size()) - 1;
    Group blank{};
    for (int i = 0; i < groupLanes; ++i)
        blank.readA[i] = blank.readB[i] = blank.writeA[i] = blank.writeB[i] = spare;
    for (int n = 0; n < Group::pointCount; ++n)
        clearRows(blank.pointAt(n));
    return blank;
}

// What a pair's rows share, from its row k.
[[gnu::always_inline]] inline void StableSolver::putPairInLane(PairLanes &g, int i, int k) const {
    const Row &r = rows[static_cast<std::size_t>(k)];
    const RowDetail &d = details[static_cast<std::size_t>(k)];
    setLane(g.normal.x, i, r.normal.x);
    setLane(g.normal.y, i, r.normal.y);
    setLane(g.inverseMassA, i, r.inverseMassA);
    setLane(g.inverseMassB, i, r.inverseMassB);
    setLane(g.inverseInertiaA, i, d.inverseInertiaA);
    setLane(g.inverseInertiaB, i, d.inverseInertiaB);
    setLane(g.friction, i, d.friction);
    const int spare = static_cast<int>(motions.size()) - 1;
    g.readA[i] = r.a;
    g.readB[i] = r.b;
    g.writeA[i] = changeable[static_cast<std::size_t>(r.a)] ? r.a : spare;
    g.writeB[i] = changeable[static_cast<std::size_t>(r.b)] ? r.b : spare;
}

// A group's rows are its pair's points, in a row after firstRow.
template <typename Group>
[[gnu::always_inline]] inline void StableSolver::putInLane(Group &g, int i, int firstRow) {
    putPairInLane(g, i, firstRow);
    for (int n = 0; n < Group::pointCount; ++n)
        putPointInLane(g.pointAt(n), i, firstRow + n);
}

[[gnu::always_inline]] inline void StableSolver::putPointInLane(PointLanes &p, int i, int k) const {
    const Row &r = rows[static_cast<std::size_t>(k)];
    const RowDetail &d = details[static_cast<std::size_t>(k)];
    setLane(p.penetration, i, r.penetration);
    setLane(p.normalMass, i, r.normalMass);
    setLane(p.impulse, i, r.impulse);
    setLane(p.maxImpulse, i, r.maxImpulse);
    setLane(p.anchorA.x, i, d.anchorA.x);
    setLane(p.anchorA.y, i, d.anchorA.y);
    setLane(p.anchorB.x, i, d.anchorB.x);
    setLane(p.anchorB.y, i, d.anchorB.y);
    setLane(p.normalLeverA, i, d.normalLeverA);
    setLane(p.normalLeverB, i, d.normalLeverB);
    setLane(p.tangentLeverA, i, d.tangentLeverA);
    setLane(p.tangentLeverB, i, d.tangentLeverB);
    setLane(p.tangentMass, i, d.tangentMass);
    setLane(p.tangentImpulse, i, d.tangentImpulse);
    p.rowOf[i] = k;
}

void StableSolver::ungroup() {
    const auto back = [this](const auto &p) {
        for (int i = 0; i < groupLanes; ++i) {
            if (p.rowOf[i] < 0)
                continue;
            const std::size_t k = static_cast<std::size_t>(p.rowOf[i]);
            rows[k].impulse = lane(p.impulse, i);
            rows[k].maxImpulse = lane(p.maxImpulse, i);
            details[k].tangentImpulse = lane(p.tangentImpulse, i);
        }
    };
    const auto eachPoint = [&back](auto &list) {
        for (auto &g : list)
            for (int n = 0; n < g.pointCount; ++n)
                back(g.pointAt(n));
    };
    eachPoint(groups);
    eachPoint(pairGroups);
}

// A half whose first lane is spare holds no row; a pair's points one after the other, as their
// rows would be.
template <typename Group> void StableSolver::warmStartLanes(Group &g) {
    for (int h = 0; h < 2 && g.pointAt(0).rowOf[h * laneCount] >= 0; ++h) {
        LaneMotion a = gather(&g.readA[h * laneCount]);
        LaneMotion b = gather(&g.readB[h * laneCount]);
        const HalfPair pair = halfPair(g, h);
        for (int n = 0; n < Group::pointCount; ++n)
            warmStartPoint(pair, halfPoint(g.pointAt(n), h), a, b);
        scatter(&g.writeA[h * laneCount], a);
        scatter(&g.writeB[h * laneCount], b);
    }
}

template <bool useBias, typename Group> void StableSolver::solveLanes(Group &g) {
    for (int h = 0; h < 2 && g.pointAt(0).rowOf[h * laneCount] >= 0; ++h) {
        LaneMotion a = gather(&g.readA[h * laneCount]);
        LaneMotion b = gather(&g.readB[h * laneCount]);
        const HalfPair pair = halfPair(g, h);
        for (int n = 0; n < Group::pointCount; ++n) {
            HalfPoint point = halfPoint(g.pointAt(n), h);
            solvePoint<useBias>(pair, point, a, b);
        }
        scatter(&g.writeA[h * laneCount], a);
        scatter(&g.writeB[h * laneCount], b);
    }
}

template void StableSolver::warmStartLanes(TurningLanes &g);
template void StableSolver::warmStartLanes(TwoPointLanes &g);
template void StableSolver::solveLanes<true>(TurningLanes &g);
template void StableSolver::solveLanes<false>(TurningLanes &g);
template void StableSolver::solveLanes<true>(TwoPointLanes &g);
template void StableSolver::solveLanes<false>(TwoPointLanes &g);
