// The broad phase must hand the collision table exactly the pairs that can touch, in the all-pairs
// order: every test here runs the same bodies through a broad-phase world and an all-pairs world
// side by side and demands identical contact lists, entry for entry, to the last bit.

#include "core/entityarray.h"
#include "physics/broadphase.h"
#include "physics/circle.h"
#include "physics/rectangle.h"
#include "physics/world.h"
#include "scenes/scene.h"
#include "tests/math/exactfloat.h"

#include <gtest/gtest.h>

#include <cmath>   // std::ldexp, std::nextafter
#include <limits>  // std::numeric_limits
#include <memory>  // std::unique_ptr
#include <random>  // std::mt19937
#include <utility> // std::move
#include <vector>  // std::vector

namespace {

constexpr float inf = std::numeric_limits<float>::infinity();
constexpr float nan = std::numeric_limits<float>::quiet_NaN();

struct BodySpec {
    bool circle;
    float x;
    float y;
    float radiusOrWidth;
    float height;
    float mass;
    Vec2 velocity;
};

// One set of bodies, built twice: once per pair search.
class Twin {
public:
    // With room for room more bodies appended later.
    explicit Twin(const std::vector<BodySpec> &specs, int room = 0)
        : broad(std::make_unique<World>(World::PairSearch::BroadPhase)),
          reference(std::make_unique<World>(World::PairSearch::AllPairs)),
          broadBodies(static_cast<int>(specs.size()) + room),
          referenceBodies(static_cast<int>(specs.size()) + room) {
        for (const BodySpec &s : specs)
            append(s);
    }
    ~Twin() {
        deleteEntities(broadBodies);
        deleteEntities(referenceBodies);
    }
    Twin(const Twin &) = delete;
    Twin &operator=(const Twin &) = delete;

    // Steps both worlds and compares their contacts; stops at the first difference.
    ::testing::AssertionResult step(int steps = 1) {
        for (int s = 0; s < steps; ++s) {
            broad->step(broadBodies);
            reference->step(referenceBodies);
            if (auto same = sameContacts(); !same)
                return same << " (step " << s + 1 << ")";
        }
        return sameBodies();
    }

    int contactCount() const { return static_cast<int>(reference->contacts.size()); }

    void append(const BodySpec &s) {
        ASSERT_TRUE(broadBodies.append(make(s)));
        ASSERT_TRUE(referenceBodies.append(make(s)));
    }

private:
    static BaseEntity *make(const BodySpec &s) {
        BaseEntity *body;
        if (s.circle)
            body = new Circle(s.radiusOrWidth);
        else
            body = new RectAngle(s.radiusOrWidth, s.height);
        body->setPosition(Vec2(s.x, s.y));
        body->setVelocity(s.velocity);
        body->setMass(s.mass);
        return body;
    }

    static int indexIn(const EntityArray &bodies, const BaseEntity *body) {
        for (int i = 0; i < bodies.size(); ++i) {
            if (bodies[i] == body)
                return i;
        }
        return -1;
    }

    ::testing::AssertionResult sameContacts() const {
        const ContactList &got = broad->contacts;
        const ContactList &want = reference->contacts;
        if (got.size() != want.size())
            return ::testing::AssertionFailure()
                   << got.size() << " contacts instead of " << want.size();
        for (std::size_t k = 0; k < want.size(); ++k) {
            const Contact &g = *got[k];
            const Contact &w = *want[k];
            const int ga = indexIn(broadBodies, g.a), gb = indexIn(broadBodies, g.b);
            const int wa = indexIn(referenceBodies, w.a), wb = indexIn(referenceBodies, w.b);
            if (ga != wa || gb != wb)
                return ::testing::AssertionFailure()
                       << "contact " << k << " is (" << ga << ", " << gb << ") instead of (" << wa
                       << ", " << wb << ")";
            if (auto n = sameVec2(g.normal, w.normal); !n)
                return n << " normal of contact " << k;
            if (auto p = sameFloat(g.penetration, w.penetration); !p)
                return p << " penetration of contact " << k;
        }
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult sameBodies() const {
        for (int i = 0; i < referenceBodies.size(); ++i) {
            if (auto p = sameVec2(broadBodies[i]->position, referenceBodies[i]->position); !p)
                return p << " position of body " << i;
            if (auto v = sameVec2(broadBodies[i]->velocity, referenceBodies[i]->velocity); !v)
                return v << " velocity of body " << i;
        }
        return ::testing::AssertionSuccess();
    }

    std::unique_ptr<World> broad;
    std::unique_ptr<World> reference;
    EntityArray broadBodies;
    EntityArray referenceBodies;
};

BodySpec circle(float x, float y, float radius = 30, float mass = 0.02f) {
    return {true, x, y, radius, 0, mass, Vec2()};
}

// Immovable (mass 0: no gravity, no impulse), so it keeps its velocity whatever it touches.
BodySpec gliding(float x, float y, float vx, float vy) {
    return {true, x, y, 30, 0, 0, Vec2(vx, vy)};
}

BodySpec rectangle(float x, float y, float width, float height) {
    return {false, x, y, width, height, 0, Vec2()};
}

std::vector<BodySpec> demoWalls() {
    return {rectangle(1165, 80, 15, 400), rectangle(100, 80, 15, 400),
            rectangle(100, 50, 1080, 15)};
}

TEST(BroadPhaseTest, DemoSceneGivesTheReferenceContactsEveryStep) {
    std::vector<BodySpec> specs = demoWalls();
    for (int i = 0; i < 100; ++i)
        specs.push_back(circle(i % 2 == 1 ? 230 : 200, static_cast<float>(300 + 100 * i)));
    Twin twin(specs);
    EXPECT_TRUE(twin.step(3000));
}

// Overlapping circles, several on the very same centre, and centres inside the walls: the cases
// where contacts are densest and the degenerate normals are taken.
TEST(BroadPhaseTest, DenseGridWithCoincidentAndOverlappingCircles) {
    std::vector<BodySpec> specs = demoWalls();
    for (int i = 0; i < 400; ++i) {
        const float x = 150 + 45 * static_cast<float>(i % 20);
        const float y = 90 + 45 * static_cast<float>(i / 20);
        specs.push_back(circle(x, y));
        if (i % 7 == 0)
            specs.push_back(circle(x, y)); // the same centre again
    }
    specs.push_back(circle(640, 57));  // centre inside the floor
    specs.push_back(circle(107, 300)); // centre inside the left wall
    specs.push_back(circle(1180, 65)); // centre on the floor's corner
    Twin twin(specs);
    EXPECT_TRUE(twin.step(300));
}

// Pairs on either side of the acceptance boundary, at every scale: the bounds must never leave
// out a pair whose rounded arithmetic still touches.
TEST(BroadPhaseTest, PairsAtTheLastBitOfTouchingAreKeptAtEveryScale) {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> exponent(-40, 40);
    std::uniform_real_distribution<float> unit(-1, 1);
    std::vector<BodySpec> specs;
    for (int k = 0; k < 300; ++k) {
        const float scale = std::ldexp(1.0f, exponent(random));
        const float radius = scale * (1 + unit(random) * 0.5f);
        const float x = std::ldexp(unit(random), exponent(random));
        const float y = std::ldexp(unit(random), exponent(random));
        const float angle = unit(random) * 3.14159265f;
        float reach = 2 * radius;
        for (int ulps = 0; ulps < 3; ++ulps)
            reach = std::nextafter(reach, unit(random) < 0 ? 0.0f : inf);
        specs.push_back(circle(x, y, radius));
        specs.push_back(circle(x + reach, y, radius));
        specs.push_back(circle(x, y, radius));
        specs.push_back(circle(x + reach * std::cos(angle), y + reach * std::sin(angle), radius));
        // A circle just touching a square's edge from outside.
        const float side = 2 * radius + 1;
        specs.push_back(rectangle(x, y - 3 * scale, side, side));
        specs.push_back(circle(std::nextafter(x - radius, unit(random) < 0 ? -inf : inf),
                               y - 3 * scale + side / 2, radius));
    }
    Twin twin(specs);
    EXPECT_TRUE(twin.step());
    EXPECT_GT(twin.contactCount(), 0);
}

// Bodies whose coordinates or sizes are huge, or whose sizes are not finite, have no trustworthy
// bounds: they are paired with every other body, as the all-pairs loop pairs them, whatever the
// narrow phase then makes of it. Those whose position is not finite are paired with none, as the
// narrow phase ignores them.
TEST(BroadPhaseTest, NonFiniteAndHugeBodiesArePairedLikeTheReference) {
    std::vector<BodySpec> specs = demoWalls();
    specs.push_back(circle(nan, 100));
    specs.push_back(circle(200, inf));
    specs.push_back(circle(300, 100, nan));
    specs.push_back(circle(300, 100, inf));
    specs.push_back(circle(3e38f, -3e38f, 3e38f));
    specs.push_back(circle(-3e38f, 3e38f, 1e38f));
    specs.push_back(circle(1e30f, 0, 1e30f));
    specs.push_back(rectangle(nan, 0, 10, 10));
    specs.push_back(rectangle(-1e30f, -1e30f, 2e9f, 2e9f));
    specs.push_back(rectangle(500, 500, -40, 20));
    specs.push_back(circle(200, 300));
    specs.push_back(circle(230, 340));
    specs.push_back(circle(650, 60, 30, 0));
    Twin twin(specs);
    EXPECT_TRUE(twin.step(3));
}

TEST(BroadPhaseTest, NegativeAndZeroSizes) {
    std::vector<BodySpec> specs = demoWalls();
    specs.push_back(circle(400, 100, -30));
    specs.push_back(circle(440, 100, 50));
    specs.push_back(circle(400, 60, 0));
    specs.push_back(circle(700, 64, -5));
    specs.push_back(rectangle(690, 60, 0, 0));
    specs.push_back(circle(690, 60, 0));
    Twin twin(specs);
    EXPECT_TRUE(twin.step(5));
}

// The broad phase keeps its order between steps: a different set of bodies in the same world must
// not inherit it.
TEST(BroadPhaseTest, SameWorldWithArraysOfOtherSizes) {
    World broad(World::PairSearch::BroadPhase);
    World reference(World::PairSearch::AllPairs);
    for (int count : {103, 40, 103, 1, 0, 250}) {
        EntityArray a(count + 3), b(count + 3);
        for (EntityArray *bodies : {&a, &b}) {
            addDemoWalls(*bodies);
            for (int i = 0; i < count; ++i)
                addDemoCircle(*bodies, 130 + 37 * static_cast<float>(i % 29),
                              80 + 41 * static_cast<float>(i / 29));
        }
        for (int s = 0; s < 20; ++s) {
            broad.step(a);
            reference.step(b);
            ASSERT_EQ(broad.contacts.size(), reference.contacts.size()) << count << " bodies";
        }
        for (int i = 0; i < a.size(); ++i)
            ASSERT_TRUE(sameVec2(a[i]->position, b[i]->position)) << count << " bodies, " << i;
        deleteEntities(a);
        deleteEntities(b);
    }
}

// Two columns of overlapping circles pass through each other, twenty places per step: far more
// reordering along y than insertion sort is allowed to do, so the order is rebuilt from scratch.
TEST(BroadPhaseTest, ColumnsFallingPastEachOtherGiveTheReferenceContacts) {
    std::vector<BodySpec> specs;
    for (int i = 0; i < 300; ++i) {
        specs.push_back(gliding(200, static_cast<float>(50 * i), 0, -500));
        specs.push_back(gliding(230, static_cast<float>(50 * i - 15000), 0, 500));
    }
    Twin twin(specs);
    EXPECT_TRUE(twin.step(40));
    EXPECT_GT(twin.contactCount(), 0);
}

// Circles dropped into a running scene one at a time, and twenty at once, join the kept order.
TEST(BroadPhaseTest, BodiesAppendedBetweenStepsGiveTheReferenceContacts) {
    std::vector<BodySpec> specs = demoWalls();
    for (int i = 0; i < 300; ++i)
        specs.push_back(
            circle(130 + 61 * static_cast<float>(i % 17), 90 + 61 * static_cast<float>(i / 17)));
    Twin twin(specs, 400);
    for (int s = 0; s < 200; ++s) {
        const int dropped = s % 50 == 49 ? 20 : 1;
        for (int k = 0; k < dropped; ++k)
            twin.append(circle(140 + static_cast<float>((37 * (s + k)) % 1000), 700));
        ASSERT_TRUE(twin.step()) << "step " << s;
    }
}

// One search of the bodies as they are, each box as wide as the body.
void findPairsOf(BroadPhase &broadPhase, const EntityArray &bodies) {
    std::vector<PairingBox> boxes;
    setPairingBoxes(boxes, bodies);
    broadPhase.findPairs(boxes, bodies.maxSize());
}

// A wide row overlaps all along y and hardly along x: the trial moves the sweep to x, which
// changes its work but not a single pair.
TEST(BroadPhaseTest, AWideRowMovesTheSweepToXWithTheSameContacts) {
    std::vector<BodySpec> specs;
    for (int i = 0; i < 1000; ++i)
        specs.push_back(gliding(static_cast<float>(50 * i), 100, 0, 0));
    Twin twin(specs);
    EXPECT_TRUE(twin.step(70));
    EXPECT_EQ(twin.contactCount(), 999);

    EntityArray row(1000);
    for (int i = 0; i < 1000; ++i)
        addDemoCircle(row, static_cast<float>(50 * i), 100);
    BroadPhase broadPhase;
    for (int s = 0; s < 63; ++s)
        findPairsOf(broadPhase, row);
    EXPECT_EQ(broadPhase.axis(), 1);
    findPairsOf(broadPhase, row); // the 64th step tries x
    EXPECT_EQ(broadPhase.sweepPairs(), 1000 * 999 / 2);
    EXPECT_EQ(broadPhase.axis(), 0);
    findPairsOf(broadPhase, row);
    EXPECT_EQ(broadPhase.sweepPairs(), 999);
    deleteEntities(row);
}

// Trying the other axis must never count more than half the sweep's own pairs. Along x every
// pair of a tall column overlaps, 50 million of them at 10 000 circles: counting them all would
// make the trial steps hundreds of times slower than the others. Here each circle overlaps the
// next ones along y, so the sweep has pairs enough to be put to the test.
TEST(BroadPhaseTest, AxisTrialOnATallColumnCountsNoMoreThanHalfTheSweepsPairs) {
    EntityArray column(10000);
    for (int i = 0; i < 10000; ++i)
        addDemoCircle(column, i % 2 == 1 ? 230 : 200, static_cast<float>(25 * i));
    BroadPhase broadPhase;
    for (int s = 0; s < 200; ++s) {
        findPairsOf(broadPhase, column);
        EXPECT_EQ(broadPhase.axisTrialPairs() > 0, s % 64 == 63) << "step " << s;
        EXPECT_LE(2 * broadPhase.axisTrialPairs(), broadPhase.sweepPairs() + 1) << "step " << s;
    }
    EXPECT_EQ(broadPhase.sweepPairs(), 2 * 10000 - 3);
    EXPECT_EQ(broadPhase.axis(), 1);
    deleteEntities(column);
}

} // namespace

// Piles so crowded along the sweep axis that the sweep deals them into bands across it, from the
// second step on: circles of one size, every fourth one wide enough to span most bands (too many
// entries: the plain sweep again), and of sizes from 1 to 100 scattered at random.
TEST(BroadPhaseTest, CrowdedPilesSweptInBandsGiveTheReferenceContacts) {
    std::mt19937 random(20261209);
    std::uniform_real_distribution<float> unit(0, 1);
    std::vector<BodySpec> even, spanning, scattered;
    for (int i = 0; i < 600; ++i) {
        const float x = 150 + 45 * static_cast<float>(i % 40);
        const float y = 90 + 45 * static_cast<float>(i / 40);
        even.push_back(circle(x, y));
        spanning.push_back(circle(x, y, i % 4 == 0 ? 1500 : 30));
        scattered.push_back(
            circle(100 + 2000 * unit(random), 60 + 400 * unit(random), 1 + 99 * unit(random)));
    }
    const std::vector<BodySpec> *piles[] = {&even, &spanning, &scattered};
    for (int k = 0; k < 3; ++k) {
        Twin twin(*piles[k]);
        EXPECT_TRUE(twin.step(5)) << "pile " << k;
        EXPECT_GT(twin.contactCount(), 0) << "pile " << k;
    }
}
