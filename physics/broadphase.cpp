#include "physics/broadphase.h"

#include "core/entityarray.h"
#include "physics/finitebodies.h"
#include "physics/shapes.h"

#include <algorithm> // std::sort, std::remove_if, std::nth_element, std::min, std::max
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

// Below this many swept extents, or this few overlaps along the sweep axis per extent, the sweep
// goes through them in one band: dealing them into many would cost more than it saves.
constexpr int minBandedExtents = 64;
constexpr long long bandedOverlapsPerExtent = 32;
// The extents' widths across the sweep are taken from about this many of them.
constexpr int widthSamples = 64;

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

// Appends the pair of bodies i and j, its fields stored where the list keeps it: a pair made
// aside and copied in whole would be read back at once from two separate stores, which the
// processor cannot forward, and the sweep would wait for them at every pair.
void appendPair(std::vector<BodyPair> &pairs, int i, int j) {
    const BodyPair pair = bodyPair(i, j);
    pairs.emplace_back();
    pairs.back().lower = pair.lower;
    pairs.back().higher = pair.higher;
}

} // namespace

void setPairingBoxes(std::vector<PairingBox> &boxes, const EntityArray &bodies,
                     const std::vector<float> *reaches) {
    boxes.resize(static_cast<std::size_t>(bodies.size()));
    for (int i = 0; i < bodies.size(); ++i) {
        const float reach = reaches ? (*reaches)[static_cast<std::size_t>(i)] : 0.0f;
        setPairingBox(boxes[static_cast<std::size_t>(i)], *bodies[i], bodies[i]->type(), reach);
    }
}

void BroadPhase::findPairs(const std::vector<PairingBox> &boxes, int capacity) {
    const int count = static_cast<int>(boxes.size());
    fitToBodies(count, capacity);
    computeExtents(boxes);
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
void BroadPhase::fitToBodies(int count, int bodyCapacity) {
    const std::size_t capacity = static_cast<std::size_t>(bodyCapacity);
    if (extents.capacity() < capacity) {
        for (std::vector<Extent> *buffer : {&extents, &spareExtents})
            buffer->reserve(capacity);
        for (std::vector<Span> *buffer : {&spans, &spareSpans})
            buffer->reserve(capacity);
        firstPartner.reserve(capacity + 1);
        for (std::vector<int> *buffer : {&cursor, &slotByBody})
            buffer->reserve(capacity);
        byIndex.reserve(capacity);
        sweptBounds.reserve(capacity + 1);
        bandSpans.reserve(capacity);
        bandEntries.reserve(maxEntriesPerExtent * capacity);
        sortKeys.reserve(capacity);
        radixSorter.reserve(capacity);
        pairs.reserve(pairsPerBody * capacity);
        partnerList.reserve(pairsPerBody * capacity);
    }
    keepBodiesBelow(extents, count);
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

// Fills the extents in their present order, each from its body's box.
void BroadPhase::computeExtents(const std::vector<PairingBox> &boxes) {
    wild.clear();
    sweptCount = 0;
    for (Extent &e : extents) {
        const PairingBox &box = boxes[static_cast<std::size_t>(e.index)];
        const int kind = box.kind;
        const bool known = isShapeKind(kind);
        e.kindBit = known ? static_cast<unsigned char>(1u << kind) : 0;
        e.collidesWith = known ? static_cast<unsigned char>(collisionMasks[kind]) : 0;
        e.pairing = box.pairing;
        for (int axis = 0; axis < 2; ++axis) {
            e.lo[axis] = box.lo[axis];
            e.hi[axis] = box.hi[axis];
        }
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

// Every pair of swept extents overlapping on both axes whose kinds may collide. Along the sweep
// axis alone, a pile has many more pairs than touch: its bodies overlap every body of their row
// (or column). So when the extents overlap many others along the axis, they are dealt into bands
// across the other axis, each about two bodies wide, and swept band by band: a pair overlapping
// on the other axis shares a band, and is paired in the one where its overlap begins, that is
// once. The overlaps along the sweep axis are counted over all the extents all the same, for the
// trial of the other axis and to choose between one band and many.
void BroadPhase::sweep() {
    const int axis = sweepAxis;
    const int other = 1 - axis;
    const int swept = sweptCount;
    const std::size_t count = static_cast<std::size_t>(swept);
    sweptBounds.resize(count + 1);
    for (std::size_t k = 0; k < count; ++k) {
        const Extent &e = extents[k];
        sweptBounds[k] = SweptBounds{e.lo[axis], {e.lo[other], e.hi[other]}, e.index, e.kindBit};
    }
    // Beyond every swept extent's upper bound, which is finite: a run along the axis stops there.
    sweptBounds[count] = SweptBounds{infinity, {0, 0}, 0, 0};
    // Bodies move little from one step to the next: the last step's overlaps tell whether bands
    // are worth dealing.
    if (sweepOverlaps > bandedOverlapsPerExtent * static_cast<long long>(swept) &&
        dealIntoBands()) {
        sweepOverlaps = countSweepOverlaps();
        for (int band = 0; band < bandCount; ++band)
            sweepBand(band);
    } else {
        sweepOverlaps = sweepAll();
    }
}

// Whether an extent with bounds q across the sweep axis and the kind of kindBit meets one with
// those bounds across, which may collide with the kinds of collidesWith.
bool BroadPhase::meetsAcross(Interval across, unsigned char collidesWith, const Interval &q,
                             unsigned char kindBit) {
    return !(q.lo > across.hi || across.lo > q.hi) && (collidesWith & kindBit) != 0;
}

// The plain sweep, in one band, counting the overlaps along its axis as it goes. It reads the
// buffers through pointers of its own, which the pairs it appends cannot move.
long long BroadPhase::sweepAll() {
    const int axis = sweepAxis;
    const int swept = sweptCount;
    const Extent *slots = extents.data();
    const SweptBounds *bounds = sweptBounds.data();
    long long overlaps = 0;
    for (int k = 0; k < swept; ++k) {
        const Extent &p = slots[k];
        const double reach = p.hi[axis];
        const Interval across = bounds[k].across;
        const unsigned char collidesWith = p.collidesWith;
        const int index = p.index;
        const SweptBounds *q = bounds + k + 1;
        for (; q->low <= reach; ++q) {
            if (meetsAcross(across, collidesWith, q->across, q->kindBit))
                appendPair(pairs, index, q->index);
        }
        overlaps += q - (bounds + k + 1);
    }
    return overlaps;
}

// For each extent, the extents after it in the order whose lower bound along the sweep axis is
// within its upper one: sorted, they follow it without a gap, and a run of eight is passed in one
// comparison with its last.
long long BroadPhase::countSweepOverlaps() const {
    const int axis = sweepAxis;
    const int swept = sweptCount;
    constexpr int run = 8;
    long long overlaps = 0;
    for (int k = 0; k < swept; ++k) {
        const double reach = extents[static_cast<std::size_t>(k)].hi[axis];
        int m = k + 1;
        while (m + run <= swept && sweptBounds[static_cast<std::size_t>(m + run - 1)].low <= reach)
            m += run;
        while (sweptBounds[static_cast<std::size_t>(m)].low <= reach)
            ++m;
        overlaps += m - k - 1;
    }
    return overlaps;
}

// The band of a coordinate along the other axis: rising with it, the first and last bands taking
// whatever lies beyond them. A positive place truncates to its band.
int BroadPhase::bandOf(double coordinate) const {
    const double place = (coordinate - bandOrigin) * bandsPerUnit;
    if (!(place > 0))
        return 0;
    return place < bandCount - 1 ? static_cast<int>(place) : bandCount - 1;
}

// Bands twice as wide as the median extent across (taken from a sample), as many as cover the
// extents. An extent goes into every band it spans, in the sweep's order. False, leaving no
// bands, when there would be fewer than two or the extents spread over them would take more than
// a few times their number of entries.
bool BroadPhase::dealIntoBands() {
    const int swept = sweptCount;
    bandCount = 1;
    if (swept <= minBandedExtents)
        return false;
    double low = sweptBounds[0].across.lo;
    double high = sweptBounds[0].across.hi;
    for (int k = 0; k < swept; ++k) {
        const Interval &b = sweptBounds[static_cast<std::size_t>(k)].across;
        low = std::min(low, std::min(b.lo, b.hi));
        high = std::max(high, std::max(b.lo, b.hi));
    }
    sampledWidths.clear();
    const int stride = std::max(1, swept / widthSamples);
    for (int k = 0; k < swept; k += stride) {
        const Interval &b = sweptBounds[static_cast<std::size_t>(k)].across;
        sampledWidths.push_back(b.hi - b.lo);
    }
    const auto middle = sampledWidths.begin() + sampledWidths.size() / 2;
    std::nth_element(sampledWidths.begin(), middle, sampledWidths.end());
    const double width = 2 * *middle;
    const double bands = width > 0 ? (high - low) / width : 0;
    if (!(bands >= 2))
        return false;
    bandCount = bands < swept / 2 ? static_cast<int>(bands) : swept / 2;
    bandOrigin = low;
    bandsPerUnit = bandCount / (high - low);

    // bandStart[b] counts first the extents starting in band b; each band's entries are those
    // and those carried over from the bands before.
    bandStart.assign(static_cast<std::size_t>(bandCount) + 1, 0);
    std::vector<int> &carried = bandCursor;
    carried.assign(static_cast<std::size_t>(bandCount) + 1, 0);
    bandSpans.resize(static_cast<std::size_t>(swept));
    long long entries = 0;
    for (int k = 0; k < swept; ++k) {
        const Interval &b = sweptBounds[static_cast<std::size_t>(k)].across;
        const int first = bandOf(std::min(b.lo, b.hi));
        const int last = bandOf(std::max(b.lo, b.hi));
        bandSpans[static_cast<std::size_t>(k)] = BandSpan{first, last};
        ++bandStart[static_cast<std::size_t>(first)];
        ++carried[static_cast<std::size_t>(first) + 1];
        --carried[static_cast<std::size_t>(last) + 1];
        entries += last - first + 1;
    }
    if (entries > maxEntriesPerExtent * static_cast<long long>(swept)) {
        bandCount = 1;
        return false;
    }
    int running = 0;
    int total = 0;
    for (int b = 0; b < bandCount; ++b) {
        running += carried[static_cast<std::size_t>(b)];
        const int size = bandStart[static_cast<std::size_t>(b)] + running;
        bandStart[static_cast<std::size_t>(b)] = total;
        total += size;
    }
    bandStart[static_cast<std::size_t>(bandCount)] = total;
    bandEntries.resize(static_cast<std::size_t>(total));
    bandCursor.assign(bandStart.begin(), bandStart.end() - 1);
    for (int k = 0; k < swept; ++k) {
        const BandSpan &span = bandSpans[static_cast<std::size_t>(k)];
        for (int b = span.first; b <= span.last; ++b)
            bandEntries[static_cast<std::size_t>(bandCursor[static_cast<std::size_t>(b)]++)] =
                BandEntry{sweptBounds[static_cast<std::size_t>(k)].low, k};
    }
    return true;
}

// The pairs of one band whose overlap across begins in it.
void BroadPhase::sweepBand(int band) {
    const int axis = sweepAxis;
    const int end = bandStart[static_cast<std::size_t>(band) + 1];
    for (int i = bandStart[static_cast<std::size_t>(band)]; i < end; ++i) {
        const int k = bandEntries[static_cast<std::size_t>(i)].slot;
        const Extent &p = extents[static_cast<std::size_t>(k)];
        const double reach = p.hi[axis];
        const Interval across = sweptBounds[static_cast<std::size_t>(k)].across;
        const unsigned char collidesWith = p.collidesWith;
        const int index = p.index;
        for (int j = i + 1; j < end && bandEntries[static_cast<std::size_t>(j)].low <= reach; ++j) {
            const int m = bandEntries[static_cast<std::size_t>(j)].slot;
            const SweptBounds &q = sweptBounds[static_cast<std::size_t>(m)];
            if (meetsAcross(across, collidesWith, q.across, q.kindBit) &&
                bandOf(std::max(across.lo, q.across.lo)) == band)
                appendPair(pairs, index, q.index);
        }
    }
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
