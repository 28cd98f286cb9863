#include "scenes/sandboxstate.h"

#include <cstdint> // std::uint32_t
#include <cstring> // std::memcpy

namespace {

std::uint32_t bits(float value) {
    std::uint32_t word = 0;
    std::memcpy(&word, &value, sizeof word);
    return word;
}

} // namespace

std::size_t SandboxState::bytes() const {
    return sizeof *this + motions.capacity() * sizeof(BodyMotion) +
           runs.capacity() * sizeof(TraitsRun) + warmStart.capacity() * sizeof(PairImpulse);
}

BodyTraits traitsOf(const BaseEntity &body) {
    BodyTraits traits;
    traits.shape = shapeSize(body);
    traits.force = body.force;
    traits.mass = body.mass;
    traits.inverseMass = body.inverseMass;
    traits.gravityScale = body.gravityScale;
    traits.isStatic = body.isStatic;
    return traits;
}

bool sameTraits(const BodyTraits &a, const BodyTraits &b) {
    return sameShapeSize(a.shape, b.shape) && bits(a.force.x) == bits(b.force.x) &&
           bits(a.force.y) == bits(b.force.y) && bits(a.mass) == bits(b.mass) &&
           bits(a.inverseMass) == bits(b.inverseMass) &&
           bits(a.gravityScale) == bits(b.gravityScale) && a.isStatic == b.isStatic;
}

void appendTraits(std::vector<TraitsRun> &runs, const BodyTraits &traits) {
    if (!runs.empty() && sameTraits(runs.back().traits, traits))
        ++runs.back().count;
    else
        runs.push_back(TraitsRun{traits, 1});
}
