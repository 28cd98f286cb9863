#include "physics/broadphase.h"

#include "core/entityarray.h"
#include "physics/finitebodies.h"
#include "physics/shapes.h"

#include <algorithm> // std::sort, std::remove_if
#include <cmath>     // std::isfinite
#include <limits>    // std::numeric_limits

namespace {

// How often the sweep axis is put to the test against the other one.
constexpr int stepsBetweenAxisTrials = 64;

// Past this many moves per entry, insertion sort hands over to the radix sort, which costs a few
// passes over the entries however scrambled they are.
constexpr long long insertionMovesPerEntry = 4;

// Room kept in the pair list: a circle among circles of its size touches six at most, and each
// pair is listed once.
constexpr std::size_t pairsPerBody = 4;

constexpr double infinity = std::numeric_limits<double>::infinity();

static_assert(shapeKindCount <= 8, "an extent holds its kind's bit and mask in a byte each");

// Sorts entries by key(entry), ascending, by insertion from their present order. Returns false,
// leaving them in some order, as soon as it has moved more than budget.
template <typename Entry, typename Key>
bool insertionSort(std::vector<Entry> &entries, Key key, long long budget) {
    long long moves = 0;
    for (std::size_t k = 1; k < entries.size(); ++k) {
        const double value = key(entries[k]);
        if (!(value < key(entries[k - 1])))
            continue;
        const Entry moving = entries[k];
        std::size_t m = k;
        do {
            entries[m] = entries[m - 1];
            --m;
        } while (m > 0 && value < key(entries[m - 1]));
        entries[m] = moving;
        moves += static_cast<long long>(k - m);
        if (moves > budget)
            return false;
    }
    return true;
}

// Sorts entries by key(entry), ascending, through the radix sorter; spare receives them in order
// and swaps places with entries.
template <typename Entry, typename Key>
void radixSort(std::vector<Entry> &entries, Key key, RadixSorter &sorter,
               std::vector<RadixSorter::Key> &keys, std::vector<Entry> &spare) {
    const std::size_t n = entries.size();
    keys.resize(n);
    for (std::size_t k = 0; k < n; ++k)
        keys[k] = RadixSorter::Key{RadixSorter::orderedBits(key(entries[k])), static_cast<int>(k)};
    sorter.sort(keys);
    spare.resize(n);
    for (std::size_t k = 0; k < n; ++k)
        spare[k] = entries[keys[k].place];
    entries.swap(spare);
}

// Keeps the entries of the bodies below count, in their order, and appends one for each body
// from the previous count on, in index order.
template <typename Entry> void keepBodiesBelow(std::vector<Entry> &entries, int count) {
    const int previous = static_cast<int>(entries.size());
    if (count < previous) {
        const auto gone = [count](const Entry &e) { return e.index >= count; };
        entries.erase(std::remove_if(entries.begin(), entries.end(), gone), entries.end());
    }
    for (int i = previous; i < count; ++i) {
        Entry entry{};
        entry.index = i;
        entries.push_back(entry);
    }
}

} // namespace

void BroadPhase::findPairs(const EntityArray &bodies, const std::vector<float> *reaches) {
    const int count = bodies.size();
    fitToBodies(bodies);
    computeExtents(bodies, reaches);
    sortAlongSweepAxis();
    pairs.clear();
    sweep();
    if (!wild.empty())
        pairWildBodies(count);
    groupByLowerIndex(count);
    reconsiderSweepAxis();
}

// The extents (and the spans) hold the bodies 0 to size - 1. When the array has grown or shrunk,
// the bodies that remain keep their place in the order and new ones join at the end: a body
// dropped into a large scene costs its insertion, not a sort from scratch. The buffers are sized
// for the array's capacity at once: a buffer that grew later would move, and first touching the
// pages of its new place can cost more than a whole step.
void BroadPhase::fitToBodies(const EntityArray &bodies) {
    const std::size_t capacity = static_cast<std::size_t>(bodies.maxSize());
    if (extents.capacity() < capacity) {
        for (std::vector<Extent> *buffer : {&extents, &spareExtents})
            buffer->reserve(capacity);
        for (std::vector<Span> *buffer : {&spans, &spareSpans})
            buffer->reserve(capacity);
        firstPartner.reserve(capacity + 1);
        for (std::vector<int> *buffer : {&cursor, &slotByBody})
            buffer->reserve(capacity);
        byIndex.reserve(capacity);
        sweptLows.reserve(capacity);
        otherBounds.reserve(capacity);
        sortKeys.reserve(capacity);
        radixSorter.reserve(capacity);
        pairs.reserve(pairsPerBody * capacity);
        partnerList.reserve(pairsPerBody * capacity);
    }
    keepBodiesBelow(extents, bodies.size());
}

// The box widened by its margin and its reach. The narrow phase compares the sum of the radii and
// the reaches in float: its rounding is covered by the size margin taken of the reach as it is of
// the radius.
BodyPairing pairingBounds(const BaseEntity &body, int kind, float reach, double (&lo)[2],
                          double (&hi)[2]) {
    const bool known = isShapeKind(kind);
    const BoundingBox box = boundingBox(body, kind);
    // A bounded box has a finite position, so the velocity and the reach (which may have
    // overflowed from it) are left to check.
    if (known && box.bounded && std::isfinite(body.velocity.x) && std::isfinite(body.velocity.y) &&
        bounds::sane(reach)) {
        const double widening =
            static_cast<double>(reach) + static_cast<double>(reach) * bounds::sizeMargin;
        for (int axis = 0; axis < 2; ++axis) {
            lo[axis] = box.lo[axis] - box.margin[axis] - widening;
            hi[axis] = box.hi[axis] + box.margin[axis] + widening;
        }
        return BodyPairing::Swept;
    }
    if (!known || !isFiniteBody(body))
        return BodyPairing::None;
    return BodyPairing::WithAll;
}

// Fills the extents in their present order, each from its body's pairing bounds.
void BroadPhase::computeExtents(const EntityArray &bodies, const std::vector<float> *reaches) {
    wild.clear();
    sweptCount = 0;
    for (Extent &e : extents) {
        const BaseEntity *body = bodies[e.index];
        const int kind = body->type();
        const bool known = isShapeKind(kind);
        e.kindBit = known ? static_cast<unsigned char>(1u << kind) : 0;
        e.collidesWith = known ? static_cast<unsigned char>(collisionMasks[kind]) : 0;
        const float reach = reaches ? (*reaches)[static_cast<std::size_t>(e.index)] : 0.0f;
        e.pairing = pairingBounds(*body, kind, reach, e.lo, e.hi);
        if (e.pairing == Pairing::Swept)
            ++sweptCount;
        else if (e.pairing == Pairing::WithAll)
            wild.push_back(e.index);
    }
    std::sort(wild.begin(), wild.end());
}

// Orders the swept extents by their lower bound on the sweep axis; the others go last. From
// one step to the next bodies move little, so insertion sort on the previous order is nearly
// linear. When it has much more to do (bodies falling past each other in numbers, many new bodies)
// the radix sort takes over, as it does on the first step, which also puts the spans in the other
// axis's order for the trials to come.
void BroadPhase::sortAlongSweepAxis() {
    const int axis = sweepAxis;
    const auto key = [axis](const Extent &e) { return sortKey(e, axis); };
    const long long budget = insertionMovesPerEntry * static_cast<long long>(extents.size());
    if (ordered && insertionSort(extents, key, budget))
        return;
    radixSort(extents, key, radixSorter, sortKeys, spareExtents);
    if (!ordered) {
        ordered = true;
        orderSpans();
    }
}

// Every pair of swept extents overlapping on both axes whose kinds may collide. The inner loop
// goes through many more extents than it pairs, so it reads the bounds it tests from arrays of
// their own, in the sweep's order, and the extents themselves only for the few that overlap.
void BroadPhase::sweep() {
    const int axis = sweepAxis;
    const int other = 1 - axis;
    const int swept = sweptCount;
    const std::size_t count = static_cast<std::size_t>(swept);
    sweptLows.resize(count);
    otherBounds.resize(count);
    for (std::size_t k = 0; k < count; ++k) {
        sweptLows[k] = extents[k].lo[axis];
        otherBounds[k] = Interval{extents[k].lo[other], extents[k].hi[other]};
    }
    long long overlaps = 0;
    for (int k = 0; k < swept; ++k) {
        const Extent &p = extents[k];
        const double reach = p.hi[axis];
        const Interval across = otherBounds[k];
        int m = k + 1;
        for (; m < swept && sweptLows[m] <= reach; ++m) {
            const Interval &q = otherBounds[m];
            if (q.lo > across.hi || across.lo > q.hi)
                continue;
            const Extent &e = extents[m];
            if (!(p.collidesWith & e.kindBit))
                continue;
            pairs.push_back(bodyPair(p.index, e.index));
        }
        overlaps += m - k - 1;
    }
    sweepOverlaps = overlaps;
}

// A wild body is paired with every other body its kind may collide with, but not with one the
// narrow phase ignores; a pair of two wild bodies is listed once, from the lower one.
void BroadPhase::pairWildBodies(int bodyCount) {
    byIndex.resize(static_cast<std::size_t>(bodyCount));
    for (const Extent &e : extents)
        byIndex[static_cast<std::size_t>(e.index)] = e;
    for (const int w : wild) {
        const unsigned char collidesWith = byIndex[static_cast<std::size_t>(w)].collidesWith;
        for (int k = 0; k < bodyCount; ++k) {
            const Extent &other = byIndex[static_cast<std::size_t>(k)];
            if (k == w || (other.pairing == Pairing::WithAll && k < w) ||
                other.pairing == Pairing::None || !(collidesWith & other.kindBit))
                continue;
            pairs.push_back(bodyPair(k, w));
        }
    }
}

// A counting sort on the lower index, then each body's few partners in ascending order: the
// order in which the all-pairs loop meets them.
void BroadPhase::groupByLowerIndex(int bodyCount) {
    firstPartner.assign(bodyCount + 1, 0);
    for (const BodyPair &p : pairs)
        ++firstPartner[p.lower + 1];
    for (int i = 0; i < bodyCount; ++i)
        firstPartner[i + 1] += firstPartner[i];

    cursor.assign(firstPartner.begin(), firstPartner.end() - 1);
    partnerList.resize(pairs.size());
    for (const BodyPair &p : pairs)
        partnerList[cursor[p.lower]++] = p.higher;

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

// The cost of the sweep is the number of extents plus the pairs overlapping along its axis. While
// the pairs are no more than the extents, no axis could do much better; past that, every so often,
// the other axis is put to the test and taken when it has less than half as many: a falling column
// wants y, a pile on the floor wants x. The pairs found do not depend on the axis. The trial takes
// two steps, so that neither carries all of it: the spans are put in order at the first and
// counted at the next.
void BroadPhase::reconsiderSweepAxis() {
    trialOverlaps = 0;
    ++stepsOnAxis;
    if (stepsOnAxis == stepsBetweenAxisTrials - 1) {
        spansOrdered = sweepOverlaps > sweptCount;
        if (spansOrdered)
            orderSpans();
        return;
    }
    if (stepsOnAxis < stepsBetweenAxisTrials)
        return;
    stepsOnAxis = 0;
    if (!spansOrdered || spans.size() != extents.size())
        return;
    spansOrdered = false;
    const long long enough = (sweepOverlaps + 1) / 2; // 2 * overlaps >= sweepOverlaps
    if (overlapsAlongOtherAxis(enough) < enough)
        switchAxis();
}

// Where the extent goes in the order along axis: by its lower bound, or last when not swept.
double BroadPhase::sortKey(const Extent &e, int axis) {
    return e.pairing == Pairing::Swept ? e.lo[axis] : infinity;
}

// Brings the spans up to date along the other axis. They keep its order from one trial to the
// next, so that sorting them again is an insertion sort too, unless they have the motion of many
// steps to catch up with: then a sort from scratch takes over sooner than for the extents.
void BroadPhase::orderSpans() {
    const int other = 1 - sweepAxis;
    mapSlots();
    keepBodiesBelow(spans, static_cast<int>(extents.size()));
    for (Span &s : spans) {
        const Extent &e = extents[slotByBody[s.index]];
        s.lo = sortKey(e, other);
        s.hi = e.hi[other];
    }
    sweptSpans = sweptCount;
    const auto key = [](const Span &s) { return s.lo; };
    if (!insertionSort(spans, key, static_cast<long long>(spans.size())))
        radixSort(spans, key, radixSorter, sortKeys, spareSpans);
}

// The pairs of swept spans overlapping, counted one by one like the sweep counts its own, but only
// until there are enough: the trial never counts more than half the sweep's pairs.
long long BroadPhase::overlapsAlongOtherAxis(long long enough) {
    for (int k = 0; k < sweptSpans && trialOverlaps < enough; ++k) {
        for (int m = k + 1; m < sweptSpans && spans[m].lo <= spans[k].hi && trialOverlaps < enough;
             ++m)
            ++trialOverlaps;
    }
    return trialOverlaps;
}

// Where each body's extent is now.
void BroadPhase::mapSlots() {
    slotByBody.resize(extents.size());
    for (std::size_t k = 0; k < extents.size(); ++k)
        slotByBody[extents[k].index] = static_cast<int>(k);
}

// The spans are in the new axis's order, as of the step before, and the extents in the old one's:
// they trade orders, and neither needs a sort from scratch.
void BroadPhase::switchAxis() {
    mapSlots();
    spareExtents.resize(extents.size());
    for (std::size_t k = 0; k < spans.size(); ++k)
        spareExtents[k] = extents[slotByBody[spans[k].index]];
    for (std::size_t k = 0; k < extents.size(); ++k)
        spans[k].index = extents[k].index;
    extents.swap(spareExtents);
    sweepAxis = 1 - sweepAxis;
}
