#pragma once

#include "physics/bodypair.h"

#include <vector>

class EntityArray;
struct PairingBox;

// The bodies at rest, kept for the pairs they make with the awake ones: built when the bodies at
// rest change, then asked for each awake body, so that a step costs what the awake bodies need
// and nothing per body at rest. Their bounds are the broad phase's (see pairingBounds), sorted
// along the axis they spread over most; bodies far wider than most (a floor) are kept aside and
// tried one by one, and those whose bounds cannot be trusted pair with every awake body.
class RestingIndex {
public:
    // reaches: each body's reach by index.
    void rebuild(const EntityArray &bodies, const std::vector<int> &resting,
                 const std::vector<float> &reaches);
    // Appends the pairs of each awake body, bodies[k] of box boxes[k], with every body at rest
    // whose bounds meet its own. Pairs the narrow phase turns down may be among them; none it
    // accepts is missing.
    void pairsOf(const std::vector<PairingBox> &boxes, const std::vector<int> &bodies,
                 std::vector<BodyPair> &out) const;

private:
    void pairsOf(const PairingBox &box, int i, std::vector<BodyPair> &out) const;

    struct Entry {
        double lo[2];
        double hi[2];
        int index;
    };

    std::vector<Entry> narrow; // by lo[axis]
    std::vector<Entry> wide;
    std::vector<int> unbounded;
    std::vector<int> all;
    std::vector<double> widths;
    double widest = 0; // the widest of the narrow entries along the axis
    int axis = 1;
};
