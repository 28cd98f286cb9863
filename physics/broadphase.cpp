#include "physics/broadphase.h"

#include "core/entityarray.h"
#include "physics/circle.h"
#include "physics/rectangle.h"

#include <algorithm> // std::sort
#include <cmath>     // std::fabs

namespace {

// Beyond these magnitudes the narrow phase's float arithmetic may overflow, so its answer can no
// longer be foreseen from bounds: such bodies are paired with everything. NaN fails the test too.
constexpr double maxCoordinate = 0x1p60;
constexpr int maxRectangleSize = 1 << 24; // integer sizes up to here convert to float exactly

// Widening every bound by these shares of the magnitudes involved covers all the rounding of the
// narrow phase (each float operation errs by at most 2^-24 of its result) and of the bounds
// themselves (computed in double), so a pair is only left out when no rounding could bring it
// into contact: a float difference of two centres beyond r (1 + 2^-22) gives a length beyond r.
constexpr double sizeMargin = 0x1p-20;
constexpr double positionMargin = 0x1p-40;
constexpr double rectangleMargin = 0x1p-20;
constexpr double tinyMargin = 0x1p-60;

// How often the sweep axis is put to the test against the other one.
constexpr int stepsBetweenAxisTrials = 64;

bool sane(float v) {
    return std::fabs(v) < maxCoordinate;
}

bool circleBounds(const Circle *circle, double (&lo)[2], double (&hi)[2]) {
    const float p[2] = {circle->position.x, circle->position.y};
    if (!sane(p[0]) || !sane(p[1]) || !sane(circle->radius))
        return false;
    const double r = std::fabs(static_cast<double>(circle->radius));
    const double reach = r + r * sizeMargin + tinyMargin;
    for (int axis = 0; axis < 2; ++axis) {
        const double c = p[axis];
        const double d = reach + std::fabs(c) * positionMargin;
        lo[axis] = c - d;
        hi[axis] = c + d;
    }
    return true;
}

bool rectangleBounds(const RectAngle *rect, double (&lo)[2], double (&hi)[2]) {
    const float p[2] = {rect->position.x, rect->position.y};
    const int size[2] = {rect->width, rect->height};
    for (int axis = 0; axis < 2; ++axis) {
        if (!sane(p[axis]) || size[axis] < 0 || size[axis] > maxRectangleSize)
            return false;
        const double low = p[axis];
        const double high = low + size[axis];
        const double margin = (std::fabs(low) + std::fabs(high)) * rectangleMargin + tinyMargin;
        lo[axis] = low - margin;
        hi[axis] = high + margin;
    }
    return true;
}

} // namespace

void BroadPhase::findPairs(const EntityArray &bodies) {
    const int count = bodies.size();
    const bool sameBodies = static_cast<int>(extents.size()) == count;
    computeExtents(bodies);
    sortAlongSweepAxis(sameBodies);
    pairs.clear();
    sweep();
    if (!wild.empty())
        pairWildBodies(count);
    groupByLowerIndex(count);
    reconsiderSweepAxis();
}

// Fills the extents, in their previous order when the bodies are the same ones.
void BroadPhase::computeExtents(const EntityArray &bodies) {
    const int count = bodies.size();
    if (static_cast<int>(extents.size()) != count) {
        extents.resize(count);
        for (int i = 0; i < count; ++i)
            extents[i].index = i;
    }
    wild.clear();
    for (Extent &e : extents) {
        const BaseEntity *body = bodies[e.index];
        const int type = body->type();
        e.rectangle = type == BodyType::RectAngle;
        if (type == BodyType::Circle)
            e.wild = !circleBounds(static_cast<const Circle *>(body), e.lo, e.hi);
        else if (e.rectangle)
            e.wild = !rectangleBounds(static_cast<const RectAngle *>(body), e.lo, e.hi);
        else
            e.wild = true;
        if (e.wild)
            wild.push_back(e.index);
    }
    std::sort(wild.begin(), wild.end());
}

// Orders the trusted extents by their lower bound on the sweep axis; the wild ones go last. From
// one step to the next bodies move little, so insertion sort on the previous order is nearly
// linear; a new set of bodies or a new axis starts from a full sort.
void BroadPhase::sortAlongSweepAxis(bool keepOrder) {
    const int axis = sweepAxis;
    const auto before = [axis](const Extent &p, const Extent &q) {
        if (p.wild != q.wild)
            return q.wild;
        return p.lo[axis] < q.lo[axis];
    };
    if (!keepOrder || stepsOnAxis == 0) {
        std::sort(extents.begin(), extents.end(), before);
        return;
    }
    for (std::size_t k = 1; k < extents.size(); ++k) {
        if (!before(extents[k], extents[k - 1]))
            continue;
        const Extent moving = extents[k];
        std::size_t m = k;
        do {
            extents[m] = extents[m - 1];
            --m;
        } while (m > 0 && before(moving, extents[m - 1]));
        extents[m] = moving;
    }
}

// Every pair of trusted extents overlapping on both axes, except two rectangles.
void BroadPhase::sweep() {
    const int axis = sweepAxis;
    const int other = 1 - axis;
    long long overlaps = 0;
    const int trusted = trustedCount();
    for (int k = 0; k < trusted; ++k) {
        const Extent &p = extents[k];
        for (int m = k + 1; m < trusted && extents[m].lo[axis] <= p.hi[axis]; ++m) {
            ++overlaps;
            const Extent &q = extents[m];
            if (q.lo[other] > p.hi[other] || p.lo[other] > q.hi[other])
                continue;
            if (p.rectangle && q.rectangle)
                continue;
            pairs.push_back(p.index < q.index ? Pair{p.index, q.index} : Pair{q.index, p.index});
        }
    }
    sweepOverlaps = overlaps;
}

// A wild body is paired with every other body (but a rectangle never with a rectangle); a pair
// of two wild bodies is listed once, from the lower one.
void BroadPhase::pairWildBodies(int bodyCount) {
    constexpr unsigned char wildFlag = 1;
    constexpr unsigned char rectangleFlag = 2;
    flagsByIndex.assign(bodyCount, 0);
    for (const Extent &e : extents)
        flagsByIndex[e.index] = (e.wild ? wildFlag : 0) | (e.rectangle ? rectangleFlag : 0);
    for (const int w : wild) {
        for (int k = 0; k < bodyCount; ++k) {
            if (k == w || ((flagsByIndex[k] & wildFlag) && k < w))
                continue;
            if ((flagsByIndex[k] & rectangleFlag) && (flagsByIndex[w] & rectangleFlag))
                continue;
            pairs.push_back(k < w ? Pair{k, w} : Pair{w, k});
        }
    }
}

// A counting sort on the lower index, then each body's few partners in ascending order: the
// order in which the all-pairs loop meets them.
void BroadPhase::groupByLowerIndex(int bodyCount) {
    firstPartner.assign(bodyCount + 1, 0);
    for (const Pair &p : pairs)
        ++firstPartner[p.lower + 1];
    for (int i = 0; i < bodyCount; ++i)
        firstPartner[i + 1] += firstPartner[i];

    cursor.assign(firstPartner.begin(), firstPartner.end() - 1);
    partnerList.resize(pairs.size());
    for (const Pair &p : pairs)
        partnerList[cursor[p.lower]++] = p.upper;

    for (int i = 0; i < bodyCount; ++i) {
        const int first = firstPartner[i];
        for (int k = first + 1; k < firstPartner[i + 1]; ++k) {
            const int moving = partnerList[k];
            int m = k;
            for (; m > first && partnerList[m - 1] > moving; --m)
                partnerList[m] = partnerList[m - 1];
            partnerList[m] = moving;
        }
    }
}

// The cost of the sweep is the number of extents overlapping along its axis. Now and then the
// other axis is counted too, and taken when it clearly has fewer: a falling column wants y, a
// pile on the floor wants x. The pairs found do not depend on the axis.
void BroadPhase::reconsiderSweepAxis() {
    if (++stepsOnAxis < stepsBetweenAxisTrials)
        return;
    stepsOnAxis = 1;
    const int other = 1 - sweepAxis;
    // Counting stops where the answer is known, at half the sweep's overlaps: a column of 100 000
    // circles overlaps 5 * 10^9 times along x.
    if (2 * overlapsAlong(other, (sweepOverlaps + 1) / 2) < sweepOverlaps) {
        sweepAxis = other;
        stepsOnAxis = 0; // the next step sorts afresh
    }
}

long long BroadPhase::overlapsAlong(int axis, long long limit) {
    trial.assign(extents.begin(), extents.begin() + trustedCount());
    std::sort(trial.begin(), trial.end(),
              [axis](const Extent &p, const Extent &q) { return p.lo[axis] < q.lo[axis]; });
    long long overlaps = 0;
    const int n = static_cast<int>(trial.size());
    for (int k = 0; k < n; ++k) {
        for (int m = k + 1; m < n && trial[m].lo[axis] <= trial[k].hi[axis]; ++m) {
            if (++overlaps >= limit)
                return overlaps;
        }
    }
    return overlaps;
}
