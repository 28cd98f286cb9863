#pragma once

#include "physics/bodypair.h"
#include "physics/radixsorter.h"

#include <vector>

class BaseEntity;
class EntityArray;

// How the broad phase pairs a body: by its bounds, with every other body (bounds that cannot be
// trusted), or with none (a position or velocity that is not finite, or no known kind).
enum class BodyPairing : unsigned char { Swept, WithAll, None };

// How a body of that kind (its type()) is paired and, when Swept, its bounds on x (0) and y (1):
// its bounding box widened by its margin and by reach (see BroadPhase::findPairs). Every search
// for pairs that must find what the narrow phase finds uses these bounds.
BodyPairing pairingBounds(const BaseEntity &body, int kind, float reach, double (&lo)[2],
                          double (&hi)[2]);

// A body as the searches for pairs take it in a step: its kind (its type()) and its pairing
// bounds, for a caller that hands the same body to more than one search.
struct PairingBox {
    double lo[2];
    double hi[2];
    int kind;
    BodyPairing pairing;
};

// Sets box to the pairing of a body of that kind (its type()) within reach. In place: a box made
// aside and copied in whole would be read back from stores of other sizes, which the processor
// cannot forward, at every body.
inline void setPairingBox(PairingBox &box, const BaseEntity &body, int kind, float reach) {
    box = PairingBox{};
    box.kind = kind;
    box.pairing = pairingBounds(body, kind, reach, box.lo, box.hi);
}

// Sets boxes to the pairing boxes of the bodies as they are now, by index. With reaches (by body
// index, each 0 or more), each body's box is widened by its reach, so that the pairs cover every
// contact the narrow phase finds within the sum of the two reaches (see collide).
void setPairingBoxes(std::vector<PairingBox> &boxes, const EntityArray &bodies,
                     const std::vector<float> *reaches = nullptr);

// Finds the pairs of bodies whose shapes can touch, by sort and sweep along one axis, and lists
// them in the order the all-pairs loop would visit them: by lower index, then by higher. The
// bounds are conservative: every pair the narrow phase would accept, to the last bit of its float
// arithmetic, is listed: the bounds are the bodies' bounding boxes widened by their margins (see
// boundingBox). Bodies whose box cannot be trusted (a huge coordinate, a non-finite or huge size)
// are paired with every other body, as the all-pairs loop would. Bodies whose position or velocity
// is not finite, or of no known kind, which the narrow phase ignores, are paired with none. Pairs
// of kinds that never collide (two rectangles) are left out.
//
// The buffers, and the orders along both axes, are kept from step to step: in a steady state
// nothing is allocated and the sorts have little to do. No step costs much more than an ordinary
// one: bodies added at the end of the array join the kept order, a sort with too much to do goes
// over to a radix sort (linear in the number of bodies), and the periodic trial of the other axis
// counts its overlaps only as far as the sweep's own count.
class BroadPhase {
public:
    // Rebuilds the pair list for the bodies 0 to boxes.size() - 1, given by their pairing boxes
    // (see setPairingBoxes), of an array of that capacity (see fitToBodies).
    void findPairs(const std::vector<PairingBox> &boxes, int capacity);

    // The partners j > i of body i, ascending, as [begin, end) into partners().
    int partnersBegin(int i) const { return firstPartner[i]; }
    int partnersEnd(int i) const { return firstPartner[i + 1]; }
    const std::vector<int> &partners() const { return partnerList; }

    // The work of the last findPairs, for tests: the pairs overlapping along the sweep axis, which
    // the sweep went through, and the pairs the trial of the other axis counted (0 on the steps
    // without one).
    long long sweepPairs() const { return sweepOverlaps; }
    long long axisTrialPairs() const { return trialOverlaps; }
    // 0: x, 1: y.
    int axis() const { return sweepAxis; }

private:
    using Pairing = BodyPairing;
    // A body's bounds on x (0) and y (1), widened by the rounding margin, when it is swept.
    struct Extent {
        double lo[2];
        double hi[2];
        int index;
        // Bit k of kindBit stands for the body's kind k; collidesWith holds the bits of the kinds
        // it may collide with (see collisionMasks). Both 0 for a body of no known kind.
        unsigned char kindBit;
        unsigned char collidesWith;
        Pairing pairing;
    };
    struct Interval {
        double lo;
        double hi;
    };
    // A swept extent's lower bound along the sweep axis and its bounds across it, with its body
    // and kind: all that the sweep reads of the extents after the one it pairs.
    struct SweptBounds {
        double low;
        Interval across;
        int index;
        unsigned char kindBit;
    };
    // The bands, across the sweep axis, an extent spans.
    struct BandSpan {
        int first;
        int last;
    };
    // An extent in a band: its lower bound along the sweep axis and its slot in the order.
    struct BandEntry {
        double low;
        int slot;
    };
    // A band's entries take up to this many times the extents.
    static constexpr int maxEntriesPerExtent = 3;
    // A body's bounds along the axis on trial.
    struct Span {
        double lo;
        double hi;
        int index;
    };

    void fitToBodies(int count, int capacity);
    void computeExtents(const std::vector<PairingBox> &boxes);
    void sortAlongSweepAxis();
    void sweep();
    long long countSweepOverlaps() const;
    int bandOf(double coordinate) const;
    static bool meetsAcross(Interval across, unsigned char collidesWith, const Interval &q,
                            unsigned char kindBit);
    long long sweepAll();
    bool dealIntoBands();
    void sweepBand(int band);
    void pairWildBodies(int bodyCount);
    void groupByLowerIndex(int bodyCount);
    void reconsiderSweepAxis();
    static double sortKey(const Extent &e, int axis);
    void orderSpans();
    long long overlapsAlongOtherAxis(long long enough);
    void mapSlots();
    void switchAxis();

    std::vector<Extent> extents; // sorted along the sweep axis, the swept ones first
    int sweptCount = 0;
    std::vector<int> wild; // bodies paired with every other body, ascending
    std::vector<BodyPair> pairs;
    std::vector<int> firstPartner; // by body index, one past the end for the last
    std::vector<int> cursor;
    std::vector<Extent> byIndex; // the kinds and pairings by body index, for pairWildBodies
    std::vector<int> partnerList;
    // The swept extents' bounds, in the sweep's order, and one past them whose lower bound is
    // infinite.
    std::vector<SweptBounds> sweptBounds;
    // The bands across the sweep axis: band b holds bandEntries[bandStart[b], bandStart[b + 1]),
    // in the sweep's order; they begin at bandOrigin, bandsPerUnit to a unit.
    int bandCount = 1;
    double bandOrigin = 0;
    double bandsPerUnit = 0;
    std::vector<double> sampledWidths;
    std::vector<BandSpan> bandSpans; // by slot
    std::vector<int> bandStart;
    std::vector<int> bandCursor;
    std::vector<BandEntry> bandEntries;

    std::vector<Span> spans; // sorted along the other axis at the last trial, the swept first
    int sweptSpans = 0;
    bool spansOrdered = false;   // for the trial's second step
    std::vector<int> slotByBody; // where each body's extent is, during a trial

    // For the radix sorts, and the extents or spans being put in its order.
    RadixSorter radixSorter;
    std::vector<RadixSorter::Key> sortKeys;
    std::vector<Extent> spareExtents;
    std::vector<Span> spareSpans;

    int sweepAxis = 1;    // 0: x, 1: y
    bool ordered = false; // false until the first sort
    long long sweepOverlaps = 0;
    long long trialOverlaps = 0;
    int stepsOnAxis = 0;
};
