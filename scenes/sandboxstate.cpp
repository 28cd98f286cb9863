#include "scenes/sandboxstate.h"

#include <algorithm> // std::max
#include <cstddef>   // std::ptrdiff_t
#include <cstdint>   // std::uint32_t
#include <cstring>   // std::memcpy
#include <utility>   // std::move

namespace {

std::uint32_t bits(float value) {
    std::uint32_t word = 0;
    std::memcpy(&word, &value, sizeof word);
    return word;
}

} // namespace

std::size_t SandboxState::bytes() const {
    return sizeof *this + motions.capacity() * sizeof(BodyMotion) +
           runs.capacity() * sizeof(TraitsRun) + warmStart.capacity() * sizeof(PairImpulse) +
           sleep.capacity() * sizeof(BodySleep);
}

BodyTraits traitsOf(const BaseEntity &body) {
    BodyTraits traits;
    traits.shape = shapeSize(body);
    traits.force = body.force;
    traits.mass = body.mass;
    traits.inverseMass = body.inverseMass;
    traits.gravityScale = body.gravityScale;
    traits.isStatic = body.isStatic;
    traits.inertia = body.inertia;
    traits.inverseInertia = body.inverseInertia;
    traits.friction = body.friction;
    return traits;
}

bool sameTraits(const BodyTraits &a, const BodyTraits &b) {
    return sameShapeSize(a.shape, b.shape) && bits(a.force.x) == bits(b.force.x) &&
           bits(a.force.y) == bits(b.force.y) && bits(a.mass) == bits(b.mass) &&
           bits(a.inverseMass) == bits(b.inverseMass) &&
           bits(a.gravityScale) == bits(b.gravityScale) && a.isStatic == b.isStatic &&
           bits(a.inertia) == bits(b.inertia) && bits(a.inverseInertia) == bits(b.inverseInertia) &&
           bits(a.friction) == bits(b.friction);
}

void appendTraits(std::vector<TraitsRun> &runs, const BodyTraits &traits) {
    if (!runs.empty() && sameTraits(runs.back().traits, traits))
        ++runs.back().count;
    else
        runs.push_back(TraitsRun{traits, 1});
}

void eraseBodies(SandboxState &state, int first, int end) {
    const auto from = static_cast<std::ptrdiff_t>(first);
    const auto to = static_cast<std::ptrdiff_t>(end);
    state.motions.erase(state.motions.begin() + from, state.motions.begin() + to);
    std::vector<TraitsRun> runs;
    int index = 0;
    for (const TraitsRun &run : state.runs) {
        for (int k = 0; k < run.count; ++k, ++index) {
            if (index < first || index >= end)
                appendTraits(runs, run.traits);
        }
    }
    state.runs = std::move(runs);
    // Renumbering the bodies after the gap keeps the pairs in ascending order.
    const int removed = end - first;
    std::vector<PairImpulse> kept;
    for (PairImpulse pair : state.warmStart) {
        const bool gone = (pair.lower >= first && pair.lower < end) ||
                          (pair.higher >= first && pair.higher < end);
        if (gone)
            continue;
        pair.lower -= pair.lower >= end ? removed : 0;
        pair.higher -= pair.higher >= end ? removed : 0;
        kept.push_back(pair);
    }
    state.warmStart = std::move(kept);
    const auto renumbered = [first, end, removed](int index) {
        return index < first ? index : index >= end ? index - removed : -1;
    };
    std::vector<BodySleep> sleep;
    for (BodySleep record : state.sleep) {
        record.index = renumbered(record.index);
        if (record.index < 0)
            continue;
        // An island that lost the body it is named by wakes.
        if (record.island >= 0)
            record.island = renumbered(record.island);
        if (record.island < 0 && record.restSteps == 0)
            continue;
        sleep.push_back(record);
    }
    state.sleep = std::move(sleep);
    const int dropFrom = static_cast<int>(state.motions.size()) + removed - state.droppedCircles;
    state.droppedCircles -= std::max(0, end - std::max(first, dropFrom));
}
