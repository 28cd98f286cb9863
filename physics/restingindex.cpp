#include "physics/restingindex.h"

#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "physics/broadphase.h"

#include <algorithm> // std::sort, std::lower_bound, std::nth_element, std::max, std::min

namespace {

constexpr std::size_t fewEntries = 8;

} // namespace

void RestingIndex::rebuild(const EntityArray &bodies, const std::vector<int> &resting,
                           const std::vector<float> &reaches) {
    narrow.clear();
    wide.clear();
    unbounded.clear();
    all = resting;
    double low[2] = {0, 0};
    double high[2] = {0, 0};
    for (const int i : resting) {
        const BaseEntity &body = *bodies[i];
        Entry e{};
        e.index = i;
        const BodyPairing pairing =
            pairingBounds(body, body.type(), reaches[static_cast<std::size_t>(i)], e.lo, e.hi);
        if (pairing == BodyPairing::WithAll)
            unbounded.push_back(i);
        if (pairing != BodyPairing::Swept)
            continue;
        for (int a = 0; a < 2; ++a) {
            low[a] = narrow.empty() ? e.lo[a] : std::min(low[a], e.lo[a]);
            high[a] = narrow.empty() ? e.lo[a] : std::max(high[a], e.lo[a]);
        }
        narrow.push_back(e);
    }
    axis = high[1] - low[1] >= high[0] - low[0] ? 1 : 0;
    const int a = axis;
    // Wide: more than twice the median width along the axis.
    widths.clear();
    for (const Entry &e : narrow)
        widths.push_back(e.hi[a] - e.lo[a]);
    double limit = 0;
    if (!widths.empty()) {
        std::nth_element(widths.begin(), widths.begin() + widths.size() / 2, widths.end());
        limit = 2 * widths[widths.size() / 2];
    }
    widest = 0;
    std::size_t kept = 0;
    for (const Entry &e : narrow) {
        const double width = e.hi[a] - e.lo[a];
        if (width <= limit) {
            narrow[kept++] = e;
            widest = std::max(widest, width);
        } else {
            wide.push_back(e);
        }
    }
    narrow.resize(kept);
    std::sort(narrow.begin(), narrow.end(), [a](const Entry &x, const Entry &y) {
        return x.lo[a] < y.lo[a] || (x.lo[a] == y.lo[a] && x.index < y.index);
    });
}

void RestingIndex::pairsOf(const std::vector<PairingBox> &boxes, const std::vector<int> &bodies,
                           std::vector<BodyPair> &out) const {
    for (std::size_t k = 0; k < bodies.size(); ++k)
        pairsOf(boxes[k], bodies[k], out);
}

// Inlined into the loop over the awake bodies, which are many where the bodies at rest are few
// (a settling pile in its box).
[[gnu::always_inline]] inline void RestingIndex::pairsOf(const PairingBox &box, int i,
                                                         std::vector<BodyPair> &out) const {
    if (box.pairing == BodyPairing::None)
        return;
    if (box.pairing == BodyPairing::WithAll) {
        for (const int r : all)
            out.push_back(bodyPair(i, r));
        return;
    }
    for (const int r : unbounded)
        out.push_back(bodyPair(i, r));
    const auto meets = [&box](const Entry &e) {
        return !(e.lo[0] > box.hi[0] || box.lo[0] > e.hi[0] || e.lo[1] > box.hi[1] ||
                 box.lo[1] > e.hi[1]);
    };
    for (const Entry &e : wide) {
        if (meets(e))
            out.push_back(bodyPair(i, e.index));
    }
    // Every entry that can reach into [lo, hi] along the axis starts no earlier than lo - widest;
    // twice that leaves room for the rounding of the widths. A few entries (the walls of a box)
    // are tried from the first: the search would cost more.
    const int a = axis;
    auto it = narrow.begin();
    if (narrow.size() > fewEntries) {
        const double from = box.lo[a] - 2 * widest;
        it = std::lower_bound(narrow.begin(), narrow.end(), from,
                              [a](const Entry &e, double value) { return e.lo[a] < value; });
    }
    for (; it != narrow.end() && !(it->lo[a] > box.hi[a]); ++it) {
        if (meets(*it))
            out.push_back(bodyPair(i, it->index));
    }
}
