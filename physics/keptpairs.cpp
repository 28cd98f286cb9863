#include "physics/keptpairs.h"

#include <algorithm> // std::max, std::min
#include <cmath>     // std::fabs

namespace {

// A body that moved little since the last search has its box widened by this share of the box's
// smaller side; one that would cross that slack within slowSteps steps at its pace since then
// gets none, since it would leave its widened box soon in any case and the slack would only pair
// it with bodies it does not touch.
constexpr double slackShare = 1.0 / 16;
constexpr double slowSteps = 16;
// While the pairs are searched again every step or two (bodies in motion), widening only adds
// pairs the narrow phase turns down: it is tried on one search in this many.
constexpr int probeInterval = 16;
// The steps since the last search are counted up to this: the pace only guides the slack.
constexpr int maxStepsCounted = 1 << 20;

bool inside(const PairingBox &box, const PairingBox &kept) {
    if (box.kind != kept.kind || box.pairing != kept.pairing)
        return false;
    if (box.pairing != BodyPairing::Swept)
        return true;
    for (int axis = 0; axis < 2; ++axis) {
        if (!(box.lo[axis] >= kept.lo[axis] && box.hi[axis] <= kept.hi[axis]))
            return false;
    }
    return true;
}

// How far the box's sides moved since before, at most; infinite when it was not swept then.
double moved(const PairingBox &box, const PairingBox &before) {
    if (before.pairing != BodyPairing::Swept)
        return HUGE_VAL;
    double most = 0;
    for (int axis = 0; axis < 2; ++axis) {
        most = std::max(most, std::fabs(box.lo[axis] - before.lo[axis]));
        most = std::max(most, std::fabs(box.hi[axis] - before.hi[axis]));
    }
    return most;
}

} // namespace

bool KeptPairs::stillHold(const std::vector<PairingBox> &boxes) const {
    if (boxes.size() != widened.size())
        return false;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (!inside(boxes[i], widened[i]))
            return false;
    }
    return true;
}

void KeptPairs::findPairs(const std::vector<PairingBox> &boxes, int capacity) {
    // A pile at rest for ever must not overflow the count.
    stepsSinceSearch = std::min(stepsSinceSearch + 1, maxStepsCounted);
    searchedLast = !stillHold(boxes);
    if (!searchedLast)
        return;
    const bool held = stepsSinceSearch > 2;
    searchesInMotion = held ? 0 : (searchesInMotion + 1) % probeInterval;
    const bool widen = searchedBoxes.size() == boxes.size() && (held || searchesInMotion == 0);
    widened = boxes;
    for (std::size_t i = 0; i < widened.size() && widen; ++i) {
        PairingBox &box = widened[i];
        if (box.pairing != BodyPairing::Swept)
            continue;
        const double slack = slackShare * std::min(box.hi[0] - box.lo[0], box.hi[1] - box.lo[1]);
        const double pace = moved(box, searchedBoxes[i]) / stepsSinceSearch;
        if (!(pace * slowSteps <= slack))
            continue;
        for (int axis = 0; axis < 2; ++axis) {
            box.lo[axis] -= slack;
            box.hi[axis] += slack;
        }
    }
    broadPhase.findPairs(widened, capacity);
    searchedBoxes = boxes;
    stepsSinceSearch = 0;
}
