// One bad body must not poison the world: a body whose position or velocity is not finite, given
// so or overflowed to it, takes part in no contact, and every other body goes on exactly as if it
// were not there, with either pair search.

#include "core/entityarray.h"
#include "physics/circle.h"
#include "physics/contact.h"
#include "physics/finitebodies.h"
#include "physics/world.h"
#include "scenes/scene.h"
#include "tests/math/exactfloat.h"
#include "tests/physics/pairsearches.h"
#include "tests/physics/samebodies.h"

#include <gtest/gtest.h>

#include <limits> // std::numeric_limits

namespace {

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

// The grid of a thousand circles, with room for a few more, stepped by its own world.
class GridRun {
public:
    explicit GridRun(World::PairSearch search) : bodies(grid.capacity()), world(search) {
        populateScene(bodies, grid);
    }
    ~GridRun() { deleteEntities(bodies); }
    GridRun(const GridRun &) = delete;
    GridRun &operator=(const GridRun &) = delete;

    void step(int steps) {
        for (int s = 0; s < steps; ++s)
            world.step(bodies);
    }

    const Scene grid{SceneKind::Grid, 1000};
    EntityArray bodies;
    World world;
};

class Containment : public ::testing::TestWithParam<World::PairSearch> {};

// A NaN circle, and two more whose position or velocity is infinite or NaN, among the grid's
// thousand: those go on to the last bit as in the grid alone.
TEST_P(Containment, ANaNCircleLeavesAThousandOthersExactlyAsWithoutIt) {
    GridRun clean(World::PairSearch::BroadPhase);
    GridRun poisoned(GetParam());
    const int finite = poisoned.bodies.size();
    ASSERT_TRUE(addDemoCircle(poisoned.bodies, nan, 600));
    ASSERT_TRUE(addDemoCircle(poisoned.bodies, 640, inf));
    ASSERT_TRUE(addDemoCircle(poisoned.bodies, 500, 500));
    poisoned.bodies[finite + 2]->setVelocity(Vec2(nan, 0));
    clean.step(1000);
    poisoned.step(1000);
    EXPECT_EQ(countNonFiniteBodies(poisoned.bodies), 3);
    EXPECT_TRUE(sameBodies(poisoned.bodies, clean.bodies, finite));
}

// A circle thrown at 3e38 per step into the grid's first two rows, overlapping two circles of
// each: the first impulse overflows, and the circle it pushes goes non-finite with the thrown one.
// The three later contacts, found while all were finite, are passed over, and nothing else is
// touched.
TEST_P(Containment, AnOverflowingImpulseGoesNoFurtherThanTheTwoBodiesItOverflowed) {
    GridRun run(GetParam());
    const Vec2 left = run.bodies[3]->position;
    const Vec2 right = run.bodies[4]->position;
    ASSERT_TRUE(addDemoCircle(run.bodies, (left.x + right.x) * 0.5f, left.y + 40));
    run.bodies[run.bodies.size() - 1]->setVelocity(Vec2(0, -3e38f));
    run.step(1);
    const ContactList &contacts = run.world.contacts;
    ASSERT_EQ(contacts.size(), 4);
    EXPECT_FALSE(isFiniteBody(*contacts[0]->a));
    for (std::size_t k = 1; k < contacts.size(); ++k)
        EXPECT_TRUE(isFiniteBody(*contacts[k]->a)) << "contact " << k;
    run.step(99);
    EXPECT_EQ(countNonFiniteBodies(run.bodies), 2);
}

INSTANTIATE_TEST_SUITE_P(PairSearches, Containment, everyPairSearch(), pairSearchName);

} // namespace
