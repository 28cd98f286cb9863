#pragma once

// Two bodies by their array indices, the lower first: how pairs are listed and how a pair is
// recognised from one step to the next.
struct BodyPair {
    int lower;
    int higher;
};

inline BodyPair bodyPair(int i, int j) {
    return i < j ? BodyPair{i, j} : BodyPair{j, i};
}
