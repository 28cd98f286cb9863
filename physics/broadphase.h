#pragma once

#include <vector>

class EntityArray;

// Finds the pairs of bodies whose shapes can touch, by sort and sweep along one axis, and lists
// them in the order the all-pairs loop would visit them: by lower index, then by higher. The
// bounds are conservative: every pair the narrow phase would accept, to the last bit of its float
// arithmetic, is listed. Bodies whose bounds cannot be trusted (a non-finite or huge coordinate or
// size, an unknown type) are paired with every other body, as the all-pairs loop would. Pairs of
// two rectangles are left out: they never make a contact.
//
// The buffers, and the order along the sweep axis, are kept from step to step: in a steady state
// nothing is allocated and the sort has little to do.
class BroadPhase {
public:
    // Rebuilds the pair list for the bodies as they are now.
    void findPairs(const EntityArray &bodies);

    // The partners j > i of body i, ascending, as [begin, end) into partners().
    int partnersBegin(int i) const { return firstPartner[i]; }
    int partnersEnd(int i) const { return firstPartner[i + 1]; }
    const std::vector<int> &partners() const { return partnerList; }

private:
    // A body's bounds on x (0) and y (1), widened by the rounding margin.
    struct Extent {
        double lo[2];
        double hi[2];
        int index;
        bool rectangle;
        bool wild;
    };
    struct Pair {
        int lower;
        int upper;
    };

    void computeExtents(const EntityArray &bodies);
    void sortAlongSweepAxis(bool keepOrder);
    void sweep();
    void pairWildBodies(int bodyCount);
    void groupByLowerIndex(int bodyCount);
    void reconsiderSweepAxis();
    // The overlaps along the axis, counted up to limit at most.
    long long overlapsAlong(int axis, long long limit);

    // The extents before the wild ones.
    int trustedCount() const { return static_cast<int>(extents.size() - wild.size()); }

    std::vector<Extent> extents; // sorted along the sweep axis, wild bodies last
    std::vector<int> wild;       // bodies paired with every other body, ascending
    std::vector<Pair> pairs;
    std::vector<int> firstPartner; // by body index, one past the end for the last
    std::vector<int> cursor;
    std::vector<unsigned char> flagsByIndex; // wild and rectangle flags, for pairWildBodies
    std::vector<int> partnerList;

    int sweepAxis = 1; // 0: x, 1: y
    long long sweepOverlaps = 0;
    int stepsOnAxis = 0;
    std::vector<Extent> trial;
};
