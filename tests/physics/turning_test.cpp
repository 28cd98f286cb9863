// Bodies that turn under the stable solver: circles with friction roll, boxes stand in stacks and
// pyramids, the two pair searches agree to the bit, and a body whose spin is not finite spoils no
// other.

#include "core/entityarray.h"
#include "physics/box.h"
#include "physics/circle.h"
#include "physics/finitebodies.h"
#include "physics/world.h"
#include "scenes/scene.h"
#include "tests/math/exactfloat.h"
#include "tests/physics/pairsearches.h"
#include "tests/physics/samebodies.h"
#include "text/statetext.h"

#include <gtest/gtest.h>

#include <algorithm> // std::max
#include <cmath>     // std::fabs
#include <limits>    // std::numeric_limits

namespace {

// A scene stepped by its own stable world.
class SceneRun {
public:
    SceneRun(SceneKind kind, int count, World::PairSearch search = World::PairSearch::BroadPhase)
        : scene{kind, count}, bodies(scene.capacity()), world(search, World::Solver::Stable) {
        populateScene(bodies, scene);
    }
    ~SceneRun() { deleteEntities(bodies); }
    SceneRun(const SceneRun &) = delete;
    SceneRun &operator=(const SceneRun &) = delete;

    void step(int steps) {
        for (int s = 0; s < steps; ++s)
            world.step(bodies);
    }

    // The deepest overlap of the last step's contacts between two boxes.
    float deepestBoxOverlap() const {
        float deepest = 0;
        for (const Contact *c : world.contacts) {
            if (c->a->type() == BodyType::Box && c->b->type() == BodyType::Box)
                deepest = std::max(deepest, c->penetration);
        }
        return deepest;
    }

    const Scene scene;
    EntityArray bodies;
    World world;
};

constexpr int firstBody = 3; // after the three walls
constexpr float floorTop = 65;

struct Rolling {
    const char *name;
    float radius;
    float speed;
};

class RollingCircle : public ::testing::TestWithParam<Rolling> {};

// Thrown along the floor it slides, friction slows it and spins it up until the point touching
// the floor stands still: from then on it rolls, its spin times its radius its speed.
TEST_P(RollingCircle, SlowsAndEndsRollingWithoutSliding) {
    const Rolling &r = GetParam();
    SceneRun run(SceneKind::Mix, 0);
    auto *circle = new Circle(r.radius);
    circle->setPosition(Vec2(200, floorTop + r.radius));
    circle->setVelocity(Vec2(r.speed, 0));
    circle->setMass(0.02f);
    circle->setFriction(0.6f);
    ASSERT_TRUE(run.bodies.append(circle));
    run.step(300);
    const float speed = circle->velocity.x;
    EXPECT_GT(speed, 0.5f * r.speed);
    EXPECT_LT(speed, 0.9f * r.speed);
    // Rolling to the right turns it clockwise: a negative spin.
    EXPECT_LT(std::fabs(speed + circle->angularVelocity * r.radius), 0.01f * speed);
    EXPECT_FALSE(circle->rotation.c == 1 && circle->rotation.s == 0);
}

INSTANTIATE_TEST_SUITE_P(Circles, RollingCircle,
                         ::testing::Values(Rolling{"Large", 30, 2}, Rolling{"Small", 15, 2},
                                           Rolling{"Slow", 30, 0.5f}),
                         [](const auto &info) { return std::string(info.param.name); });

// The circle scenes have no friction: a circle thrown along the floor keeps its speed to the bit
// and never turns, as before bodies could turn.
TEST(TurningBodies, WithoutFrictionACircleSlidesOnAndNeverTurns) {
    SceneRun run(SceneKind::Grid, 0);
    ASSERT_TRUE(addDemoCircle(run.bodies, 200, floorTop + 30));
    BaseEntity *circle = run.bodies[firstBody];
    circle->setVelocity(Vec2(2, 0));
    run.step(200);
    EXPECT_TRUE(sameFloat(circle->velocity.x, 2));
    EXPECT_TRUE(sameFloat(circle->angularVelocity, 0));
    EXPECT_TRUE(sameFloat(circle->rotation.c, 1));
    EXPECT_TRUE(sameFloat(circle->rotation.s, 0));
}

// A box 40 wide dropped corner first into the groove between two immovable circles without
// friction, tilted either way: nothing but the contacts' resistance to turning damps its rocking
// there (it rocked for ever, half a radian either way, without it), and it comes to rest and
// falls asleep.
TEST(TurningBodies, ABoxRockingOnCirclesWithoutFrictionComesToRest) {
    for (const Rotation tilt : {Rotation{0.6f, 0.8f}, Rotation{0.8f, 0.6f}}) {
        SCOPED_TRACE(tilt.s);
        EntityArray bodies(3);
        for (const float x : {-30.5f, 30.5f}) {
            ASSERT_TRUE(addCircle(bodies, Vec2(x, 0), 30, 0));
        }
        auto *box = new Box(20, 20);
        box->setPosition(Vec2(0, 44));
        box->setRotation(tilt);
        box->setMass(0.02f);
        box->setFriction(0.6f);
        ASSERT_TRUE(bodies.append(box));
        World world(World::PairSearch::BroadPhase, World::Solver::Stable);
        for (int s = 0; s < 1000; ++s)
            world.step(bodies);
        EXPECT_TRUE(world.isAsleep(2));
        EXPECT_TRUE(sameFloat(box->angularVelocity, 0));
        deleteEntities(bodies);
    }
}

// A box dropped off-centre onto a circle without friction tips and slides off it; nothing it does
// turns the circle, whose spin nothing could ever stop.
TEST(TurningBodies, ABoxSlidingOffACircleWithoutFrictionLeavesItUnturned) {
    SceneRun run(SceneKind::Grid, 0);
    ASSERT_TRUE(addDemoCircle(run.bodies, 640, floorTop + 30));
    ASSERT_TRUE(addDroppedBox(run.bodies, 645, floorTop + 72));
    const BaseEntity &circle = *run.bodies[firstBody];
    const BaseEntity &box = *run.bodies[firstBody + 1];
    run.step(300);
    EXPECT_NE(box.angularVelocity, 0);
    EXPECT_TRUE(sameFloat(circle.angularVelocity, 0));
    EXPECT_TRUE(sameFloat(circle.rotation.c, 1));
    EXPECT_TRUE(sameFloat(circle.rotation.s, 0));
}

// Twenty boxes 40 wide, one on another: after 3 000 steps none has slid off or sunk.
TEST(TurningBodies, AStackOfTwentyStandsForThreeThousandSteps) {
    SceneRun run(SceneKind::Stack, 20);
    run.step(3000);
    for (int i = 0; i < 20; ++i) {
        const BaseEntity &box = *run.bodies[firstBody + i];
        SCOPED_TRACE(i);
        EXPECT_LT(std::fabs(box.position.x - 640), 0.4f);
        EXPECT_LT(std::fabs(box.position.y - static_cast<float>(85 + 40 * i)), 0.4f * (i + 1));
        EXPECT_GT(box.rotation.c, 0.9999f);
    }
    EXPECT_LE(run.deepestBoxOverlap(), 0.8f); // 2 % of a box's size
}

struct PyramidCase {
    const char *name;
    int boxes;
    int rows;
    int steps;
    // How far the top box may move, as a share of the pyramid's height, and how deep two boxes may
    // overlap, as a share of their size.
    float drift;
    float overlap;
};

class StandingPyramid : public ::testing::TestWithParam<PyramidCase> {};

// A pyramid of boxes 10 wide: its top box stays near where it started, no box goes under the
// floor and no two sink into each other. A pyramid leans and sinks more the taller it is; the
// full one of 100 rows must keep within 1 % of its height and 2 % of a box, so one of 40 rows
// must keep within a tenth of that and a quarter of this.
TEST_P(StandingPyramid, KeepsItsTopInPlaceAndItsBoxesApart) {
    const PyramidCase &c = GetParam();
    SceneRun run(SceneKind::Pyramid, c.boxes);
    const BaseEntity &top = *run.bodies[run.bodies.size() - 1];
    const Vec2 start = top.position;
    run.step(c.steps);
    const float height = 10.0f * static_cast<float>(c.rows);
    EXPECT_LT(std::fabs(top.position.y - start.y), c.drift * height);
    EXPECT_LT(std::fabs(top.position.x - start.x), c.drift * height);
    for (int i = firstBody; i < run.bodies.size(); ++i)
        EXPECT_GT(run.bodies[i]->position.y, floorTop) << "box " << i;
    EXPECT_LE(run.deepestBoxOverlap(), c.overlap * 10);
    EXPECT_EQ(countNonFiniteBodies(run.bodies), 0);
}

INSTANTIATE_TEST_SUITE_P(Pyramids, StandingPyramid,
                         ::testing::Values(PyramidCase{"TwentyRows", 210, 20, 500, 0.01f, 0.02f},
                                           PyramidCase{"FortyRows", 820, 40, 300, 0.001f, 0.005f}),
                         [](const auto &info) { return std::string(info.param.name); });

struct TurningGolden {
    const char *name;
    SceneKind kind;
    int bodies;
    int steps;
    const char *hash;
};

class TurningGoldens : public ::testing::TestWithParam<TurningGolden> {};

// Pins the arithmetic of the rows that turn their bodies, solved in lanes level by level (the
// pyramid, the mix: four at a time, or eight where the processor has AVX) or one by one (the
// stack, a level a row): any change to either, or to the order each body meets its rows in,
// changes the hash. The hashes were made with four lanes: on a processor with AVX, they hold the
// eight to the bits of the four.
TEST_P(TurningGoldens, MatchesItsGoldenHash) {
    const TurningGolden &golden = GetParam();
    SceneRun run(golden.kind, golden.bodies);
    run.step(golden.steps);
    EXPECT_EQ(hashDigits(stateHash(run.bodies)), golden.hash);
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, TurningGoldens,
    ::testing::Values(TurningGolden{"Pyramid", SceneKind::Pyramid, 210, 200, "7844c7e013f40c72"},
                      TurningGolden{"Mix", SceneKind::Mix, 120, 300, "36e76692f49d5fba"},
                      TurningGolden{"Stack", SceneKind::Stack, 20, 300, "0f7effb43a5c1aad"}),
    [](const auto &info) { return std::string(info.param.name); });

// Boxes and frictionless circles dropped on a standing pyramid: in the same steps the boxes on
// boxes are solved a pair of points at a time, a box landing on a corner has a point of its own
// and a circle on a box, which resists turning, is solved alone. Any of them taken out of its
// bodies' order changes the hash.
TEST(TurningGoldens, PyramidWithBodiesDroppedOnItMatchesItsGoldenHash) {
    SceneRun run(SceneKind::Pyramid, 210);
    run.world.allowSleeping(false);
    for (int drop = 1; drop <= 8; ++drop) {
        run.step(30);
        const float x = 560.0f + 11.0f * static_cast<float>(drop);
        ASSERT_TRUE(drop % 2 == 0 ? addDroppedBox(run.bodies, x, 320)
                                  : addDemoCircle(run.bodies, x, 320));
    }
    run.step(200);
    EXPECT_EQ(hashDigits(stateHash(run.bodies)), "75ccd937e0cea376");
}

class TurningPairSearches : public ::testing::TestWithParam<World::PairSearch> {};

// The turning terms keep the contacts' fixed order: both pair searches give the same bits.
TEST_P(TurningPairSearches, MixAgreesWithAllPairsToTheBit) {
    SceneRun reference(SceneKind::Mix, 120, World::PairSearch::AllPairs);
    SceneRun run(SceneKind::Mix, 120, GetParam());
    for (int s = 0; s < 400; ++s) {
        reference.step(1);
        run.step(1);
        ASSERT_EQ(stateText(run.bodies), stateText(reference.bodies)) << "step " << s + 1;
    }
}

// A box given a NaN spin, and one given an infinite one, away from a stack: they touch nothing,
// and the stack goes on exactly as without them.
TEST_P(TurningPairSearches, NonFiniteSpinsLeaveTheOthersExactlyAsWithoutThem) {
    SceneRun clean(SceneKind::Stack, 10);
    SceneRun poisoned(SceneKind::Stack, 10, GetParam());
    const int finite = poisoned.bodies.size();
    ASSERT_TRUE(addDroppedBox(poisoned.bodies, 640, 1000));
    ASSERT_TRUE(addDroppedBox(poisoned.bodies, 640, 1400));
    poisoned.bodies[finite]->setAngularVelocity(std::numeric_limits<float>::quiet_NaN());
    poisoned.bodies[finite + 1]->setAngularVelocity(std::numeric_limits<float>::infinity());
    clean.step(300);
    poisoned.step(300);
    EXPECT_EQ(countNonFiniteBodies(poisoned.bodies), 2);
    EXPECT_TRUE(sameBodies(poisoned.bodies, clean.bodies, finite));
}

// Without sleep a standing pyramid keeps its pairs from step to step. A box nudged within it, one
// lifted from its top onto its side and one dropped on it must each be found as all pairs find
// them.
TEST(TurningPairSearches, APyramidKeepingItsPairsAgreesWithAllPairsWhenBoxesAreMoved) {
    SceneRun reference(SceneKind::Pyramid, 210, World::PairSearch::AllPairs);
    SceneRun run(SceneKind::Pyramid, 210);
    for (SceneRun *r : {&reference, &run}) {
        r->world.allowSleeping(false);
        r->step(100);
        r->bodies[10]->position += Vec2(0.3f, 0);
        r->step(20);
        r->bodies[r->bodies.size() - 1]->setPosition(Vec2(545, 80));
        r->step(20);
        ASSERT_TRUE(addDroppedBox(r->bodies, 640, 300));
        r->step(100);
    }
    EXPECT_EQ(stateText(run.bodies), stateText(reference.bodies));
}

INSTANTIATE_TEST_SUITE_P(PairSearches, TurningPairSearches, everyPairSearch(), pairSearchName);

} // namespace
