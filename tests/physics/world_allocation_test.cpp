// In the steady state a step allocates nothing: the contact records and the list of them keep
// their storage from one step to the next, and so do the broad phase and the solvers.

#include "bench/heapcounter.h"
#include "core/entityarray.h"
#include "physics/circle.h"
#include "physics/world.h"
#include "scenes/scene.h"
#include "tests/physics/pairsearches.h"

#include <gtest/gtest.h>

#include <cstdint> // std::uint64_t
#include <string>  // std::string
#include <tuple>   // std::tuple, std::get

class WorldAllocation
    : public ::testing::TestWithParam<std::tuple<World::PairSearch, World::Solver>> {};

TEST_P(WorldAllocation, ASteadyStepAllocatesNothing) {
    if (!heapAllocationsCounted())
        GTEST_SKIP() << "this build does not count heap allocations";
    // Overlapping immovable circles: nothing moves, so every step finds the same contacts (a
    // solver that lets bodies sleep finds none: sleeping_test covers it).
    EntityArray bodies(16);
    for (int i = 0; i < 16; ++i) {
        auto *circle = new Circle(30);
        circle->setPosition(Vec2(10.0f * static_cast<float>(i), 0));
        circle->setMass(0);
        bodies.append(circle);
    }
    World world(std::get<0>(GetParam()), std::get<1>(GetParam()));
    // The contacts, the broad phase and the solver grow to their sizes.
    world.step(bodies);
    ASSERT_GT(world.contacts.size(), 0u);
    for (int step = 0; step < 3; ++step) {
        const std::uint64_t before = heapAllocationCalls();
        world.step(bodies);
        EXPECT_EQ(heapAllocationCalls() - before, 0u) << "step " << step;
    }
    deleteEntities(bodies);
}

INSTANTIATE_TEST_SUITE_P(PairSearchesAndSolvers, WorldAllocation,
                         ::testing::Combine(everyPairSearch(),
                                            ::testing::Values(World::Solver::Designed,
                                                              World::Solver::StableRevision2)),
                         [](const auto &info) {
                             return std::string(nameOf(std::get<0>(info.param))) +
                                    (std::get<1>(info.param) == World::Solver::Designed ? "Designed"
                                                                                        : "Stable");
                         });

// A pile asleep: its steps allocate nothing either.
TEST(WorldAllocation, ASleepingPileAllocatesNothing) {
    if (!heapAllocationsCounted())
        GTEST_SKIP() << "this build does not count heap allocations";
    const Scene scene{SceneKind::Grid, 100, World::Solver::Stable};
    EntityArray bodies(scene.capacity());
    populateScene(bodies, scene);
    World world(World::PairSearch::BroadPhase, scene.solver);
    for (int step = 0; step < 600; ++step)
        world.step(bodies);
    ASSERT_EQ(world.awakeCount(bodies), 0);
    const std::uint64_t before = heapAllocationCalls();
    for (int step = 0; step < 3; ++step)
        world.step(bodies);
    EXPECT_EQ(heapAllocationCalls() - before, 0u);
    deleteEntities(bodies);
}
