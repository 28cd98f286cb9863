#pragma once

#include "physics/broadphase.h"

#include <vector>

// The broad phase's pairs kept from step to step while every body stays inside the box it was
// last paired with, widened by a slack: a pile at rest pays for its sort and sweep only when one of
// its bodies has moved by more than the slack. The pairs of the widened boxes include every pair
// of the boxes as they are now, and the narrow phase turns down those that do not touch, so the
// contacts are the same, to the last bit, as those of a search every step.
class KeptPairs {
public:
    // The pairs of the bodies 0 to boxes.size() - 1 of an array of that capacity, given by their
    // pairing boxes (see BroadPhase::findPairs).
    void findPairs(const std::vector<PairingBox> &boxes, int capacity);

    int partnersBegin(int i) const { return broadPhase.partnersBegin(i); }
    int partnersEnd(int i) const { return broadPhase.partnersEnd(i); }
    const std::vector<int> &partners() const { return broadPhase.partners(); }
    // Whether the last findPairs searched again rather than keeping the pairs, for tests.
    bool searched() const { return searchedLast; }

private:
    bool stillHold(const std::vector<PairingBox> &boxes) const;

    BroadPhase broadPhase;
    // The boxes of the last search, widened, by body.
    std::vector<PairingBox> widened;
    // The boxes of the last search as they were given, by body, and the steps since.
    std::vector<PairingBox> searchedBoxes;
    int stepsSinceSearch = 0;
    // The searches in a row that came within two steps of the one before, modulo the interval at
    // which they widen the boxes all the same.
    int searchesInMotion = 0;
    bool searchedLast = false;
};
