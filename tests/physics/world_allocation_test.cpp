// In the steady state a step allocates its Contact records and nothing else: the contact list
// keeps its storage from one step to the next (with Qt 5's QList as with Qt 6's, which differ in
// what clearing frees) and the broad phase keeps its buffers.

#include "bench/heapcounter.h"
#include "core/entityarray.h"
#include "physics/circle.h"
#include "physics/world.h"
#include "scenes/scene.h"
#include "tests/physics/pairsearches.h"

#include <gtest/gtest.h>

#include <cstdint> // std::uint64_t

class WorldAllocation : public ::testing::TestWithParam<World::PairSearch> {};

TEST_P(WorldAllocation, ASteadyStepAllocatesOnlyItsContacts) {
    if (!heapAllocationsCounted())
        GTEST_SKIP() << "this build does not count heap allocations";
    // Overlapping immovable circles: nothing moves, so every step finds the same contacts.
    EntityArray bodies(16);
    for (int i = 0; i < 16; ++i) {
        auto *circle = new Circle(30);
        circle->setPosition(Vec2(10.0f * static_cast<float>(i), 0));
        circle->setMass(0);
        bodies.append(circle);
    }
    World world(GetParam());
    // The list and the broad phase grow to their sizes; Qt 5's list may take a second step to
    // settle where its first element lies in its block.
    world.step(bodies);
    world.step(bodies);
    const std::uint64_t contacts = static_cast<std::uint64_t>(world.contacts.size());
    ASSERT_GT(contacts, 0u);
    for (int step = 0; step < 3; ++step) {
        const std::uint64_t before = heapAllocationCalls();
        world.step(bodies);
        const std::uint64_t allocations = heapAllocationCalls() - before;
        EXPECT_EQ(allocations, contacts) << "step " << step;
    }
    deleteEntities(bodies);
}

INSTANTIATE_TEST_SUITE_P(PairSearches, WorldAllocation, everyPairSearch(), pairSearchName);
