#include "physics/world.h"

#include "core/entityarray.h"
#include "physics/circle.h"
#include "physics/rectangle.h"
#include "tests/math/exactfloat.h"
#include "tests/physics/pairsearches.h"

#include <gtest/gtest.h>

#include <cmath>  // std::isfinite
#include <memory> // std::unique_ptr
#include <vector> // std::vector

class WorldStep : public ::testing::TestWithParam<World::PairSearch> {
protected:
    World world{GetParam()};
    EntityArray bodies{16};

    // A circle of the scene's mass, inverse mass 50.
    Circle *addCircle(Vec2 position, Vec2 velocity = Vec2(), float radius = 30.0f) {
        Circle *circle = own(new Circle(radius));
        circle->setPosition(position);
        circle->setVelocity(velocity);
        circle->setMass(0.02f);
        bodies.append(circle);
        return circle;
    }

    RectAngle *addWall(Vec2 position, float width, float height) {
        RectAngle *wall = own(new RectAngle(width, height));
        wall->setPosition(position);
        wall->setStatic(true);
        bodies.append(wall);
        return wall;
    }

    template <typename Body> Body *own(Body *body) {
        owned.emplace_back(body);
        return body;
    }

private:
    std::vector<std::unique_ptr<BaseEntity>> owned;
};

namespace {

bool isFinite(const BaseEntity *body) {
    return std::isfinite(body->position.x) && std::isfinite(body->position.y) &&
           std::isfinite(body->velocity.x) && std::isfinite(body->velocity.y);
}

} // namespace

TEST_P(WorldStep, EmptyArrayOnlyClearsTheContacts) {
    addCircle(Vec2(0.0f, 0.0f));
    addCircle(Vec2(10.0f, 0.0f));
    world.step(bodies);
    ASSERT_EQ(world.contacts.size(), 1);
    EntityArray empty(4);
    world.step(empty);
    EXPECT_TRUE(world.contacts.empty());
}

TEST_P(WorldStep, ContactsFollowThePairOrderByLowerIndexThenHigher) {
    Circle *left = addCircle(Vec2(0.0f, 0.0f));
    Circle *right = addCircle(Vec2(40.0f, 0.0f));
    // Top face at y = -25, under all three circles.
    RectAngle *floor = addWall(Vec2(-50.0f, -40.0f), 200.0f, 15.0f);
    Circle *middle = addCircle(Vec2(20.0f, 0.0f));
    addCircle(Vec2(1000.0f, 1000.0f));
    world.step(bodies);
    const BaseEntity *expected[][2] = {{left, right},  {left, floor},   {left, middle},
                                       {right, floor}, {right, middle}, {middle, floor}};
    // Each contact's indices are those of its a and b: the circle first, as the table flips it.
    const int expectedIndices[][2] = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {3, 2}};
    ASSERT_EQ(world.contacts.size(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(world.contacts[i]->a, expected[i][0]) << "contact " << i;
        EXPECT_EQ(world.contacts[i]->b, expected[i][1]) << "contact " << i;
        EXPECT_EQ(world.contacts[i]->indexA, expectedIndices[i][0]) << "contact " << i;
        EXPECT_EQ(world.contacts[i]->indexB, expectedIndices[i][1]) << "contact " << i;
    }
}

TEST_P(WorldStep, BodiesOfUnusualSizeOrPlaceStillCollide) {
    Circle *farA = addCircle(Vec2(1e20f, 1e20f));
    Circle *farB = addCircle(Vec2(1e20f, 1e20f));
    Circle *pointA = addCircle(Vec2(-100.0f, -100.0f), Vec2(), 0.0f);
    Circle *pointB = addCircle(Vec2(-100.0f, -100.0f), Vec2(), 0.0f);
    // Wider than 2^24: x in [0, 16777300], y in [0, 10].
    RectAngle *longWall = addWall(Vec2(0.0f, 0.0f), 16777300.0f, 10.0f);
    Circle *onWall = addCircle(Vec2(8000000.0f, 15.0f), Vec2(), 10.0f);
    for (Circle *circle : {farA, farB, pointA, pointB, onWall})
        circle->setGravityScale(0.0f);
    world.step(bodies);
    ASSERT_EQ(world.contacts.size(), 3);
    EXPECT_EQ(world.contacts[0]->a, farA);
    EXPECT_EQ(world.contacts[0]->penetration, 60.0f);
    EXPECT_EQ(world.contacts[1]->a, pointA);
    EXPECT_EQ(world.contacts[1]->penetration, 0.0f);
    EXPECT_EQ(world.contacts[2]->a, onWall);
    EXPECT_EQ(world.contacts[2]->b, longWall);
    EXPECT_EQ(world.contacts[2]->penetration, 5.0f);
}

TEST_P(WorldStep, ContactsAreRebuiltEveryStep) {
    Circle *a = addCircle(Vec2(0.0f, 0.0f));
    Circle *b = addCircle(Vec2(0.0f, 59.0f));
    a->setGravityScale(0.0f);
    b->setGravityScale(0.0f);
    for (int step = 0; step < 3; ++step) {
        world.step(bodies);
        ASSERT_EQ(world.contacts.size(), 1) << "step " << step;
        EXPECT_EQ(world.contacts[0]->a, a);
    }
    // Moved apart, the pair no longer touches.
    b->setPosition(Vec2(0.0f, 100.0f));
    world.step(bodies);
    EXPECT_TRUE(world.contacts.empty());
}

TEST_P(WorldStep, HeadOnCirclesBounceWithRestitution) {
    Circle *a = addCircle(Vec2(0.0f, 0.0f), Vec2(1.0f, 0.0f));
    Circle *b = addCircle(Vec2(50.0f, 0.0f), Vec2(-1.0f, 0.0f));
    a->setGravityScale(0.0f);
    b->setGravityScale(0.0f);
    world.step(bodies);
    ASSERT_EQ(world.contacts.size(), 1);
    // vn = -2, magnitude (-2 * -1.8f) / 100 = 0.035999998f; each velocity changes by
    // 50 times that, 1.7999999f: one unit in the last place short of -0.8 and 0.8.
    EXPECT_TRUE(sameVec2(a->velocity, Vec2(-0.79999995f, 0.0f)));
    EXPECT_TRUE(sameVec2(b->velocity, Vec2(0.79999995f, 0.0f)));
    // Moved by the new velocity, then each pushed out by 50 * (0.7f * (10 - 0.01f) / 100).
    EXPECT_TRUE(sameVec2(a->position, Vec2(-0x1.12f9dcp+2f, 0.0f)));
    EXPECT_TRUE(sameVec2(b->position, Vec2(0x1.b25f3cp+5f, 0.0f)));
}

TEST_P(WorldStep, CircleFallingOntoTheFloorBouncesBack) {
    Circle *circle = addCircle(Vec2(130.0f, 70.0f), Vec2(0.0f, -5.0f));
    RectAngle *floor = addWall(Vec2(100.0f, 50.0f), 1080.0f, 15.0f);
    circle->setGravityScale(0.0f);
    world.step(bodies);
    // vn = -5, magnitude 9 / 50 = 0.18f, the velocity gains 0.18f * 50 = 9.
    EXPECT_TRUE(sameVec2(circle->velocity, Vec2(0.0f, 4.0f)));
    // 74 after moving, then 25 - 0.01f of overlap, 0.7 of it removed: y = 91.493f.
    EXPECT_TRUE(sameVec2(circle->position, Vec2(130.0f, 0x1.6df8d4p+6f)));
    EXPECT_TRUE(sameVec2(floor->velocity, Vec2(0.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(floor->position, Vec2(100.0f, 50.0f)));
}

TEST_P(WorldStep, ImpulseScalesTheSpeedBeforeDividingByTheInverseMasses) {
    Circle *circle = addCircle(Vec2(130.0f, 70.0f), Vec2(0.0f, -0.7f));
    addWall(Vec2(100.0f, 50.0f), 1080.0f, 15.0f);
    circle->setGravityScale(0.0f);
    world.step(bodies);
    // (-0.7f * -1.8f) / 50; -0.7f * (-1.8f / 50) would end at 0x1.1eb84ep-1.
    EXPECT_TRUE(sameVec2(circle->velocity, Vec2(0.0f, 0x1.1eb852p-1f)));
}

TEST_P(WorldStep, GravityIsAddedAfterTheImpulseAndAfterTheMove) {
    Circle *circle = addCircle(Vec2(130.0f, 70.0f), Vec2(0.0f, -5.0f));
    addWall(Vec2(100.0f, 50.0f), 1080.0f, 15.0f);
    world.step(bodies);
    // 4 - 0.02f rounds to 3.98f; the position is the same as without gravity.
    EXPECT_TRUE(sameVec2(circle->velocity, Vec2(0.0f, 3.98f)));
    EXPECT_TRUE(sameVec2(circle->position, Vec2(130.0f, 0x1.6df8d4p+6f)));
}

TEST_P(WorldStep, ContactsSeeTheVelocitiesLeftByEarlierContacts) {
    // A hits B, then B, already moving, hits C. Solved together instead, B and C would not
    // approach each other and C would stay at rest.
    Circle *a = addCircle(Vec2(0.0f, 0.0f), Vec2(1.0f, 0.0f));
    Circle *b = addCircle(Vec2(50.0f, 0.0f));
    Circle *c = addCircle(Vec2(100.0f, 0.0f));
    for (Circle *circle : {a, b, c})
        circle->setGravityScale(0.0f);
    world.step(bodies);
    ASSERT_EQ(world.contacts.size(), 2);
    EXPECT_TRUE(sameVec2(a->velocity, Vec2(0x1.9999a0p-4f, 0.0f)));
    EXPECT_TRUE(sameVec2(b->velocity, Vec2(0x1.70a3e0p-4f, 0.0f)));
    EXPECT_TRUE(sameVec2(c->velocity, Vec2(0x1.9eb850p-1f, 0.0f)));
    EXPECT_TRUE(sameVec2(a->position, Vec2(-0x1.b2c084p+1f, 0.0f)));
    EXPECT_TRUE(sameVec2(b->position, Vec2(0x1.90b854p+5f, 0.0f)));
    EXPECT_TRUE(sameVec2(c->position, Vec2(0x1.a139dap+6f, 0.0f)));
}

TEST_P(WorldStep, SeparatingPairGetsNoImpulseButIsStillPushedApart) {
    Circle *a = addCircle(Vec2(0.0f, 0.0f), Vec2(-1.0f, 0.0f));
    Circle *b = addCircle(Vec2(50.0f, 0.0f), Vec2(1.0f, 0.0f));
    a->setGravityScale(0.0f);
    b->setGravityScale(0.0f);
    world.step(bodies);
    ASSERT_EQ(world.contacts.size(), 1);
    EXPECT_TRUE(sameVec2(a->velocity, Vec2(-1.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(b->velocity, Vec2(1.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(a->position, Vec2(-0x1.1fc6a8p+2f, 0.0f)));
    EXPECT_TRUE(sameVec2(b->position, Vec2(0x1.b3f8d4p+5f, 0.0f)));
}

TEST_P(WorldStep, PairAtRelativeRestIsNotSkipped) {
    // vn is exactly 0, so the impulse is applied; it is a zero, and only the sign of a zero
    // velocity shows it: A gets +0 * 50 added to its -0. Forces of -0 keep integration from
    // touching those signs.
    Circle *a = addCircle(Vec2(0.0f, 0.0f), Vec2(-0.0f, -0.0f));
    Circle *b = addCircle(Vec2(50.0f, 0.0f), Vec2(-0.0f, -0.0f));
    for (Circle *circle : {a, b}) {
        circle->setGravityScale(0.0f);
        circle->force = Vec2(-0.0f, -0.0f);
    }
    world.step(bodies);
    ASSERT_EQ(world.contacts.size(), 1);
    EXPECT_TRUE(sameVec2(a->velocity, Vec2(0.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(b->velocity, Vec2(-0.0f, -0.0f)));
}

TEST_P(WorldStep, PenetrationWithinTheSlopIsNotCorrected) {
    // Two circles of radius 0.01f, 0.01f apart: the penetration is exactly 0.01f.
    Circle *a = addCircle(Vec2(0.0f, 0.0f), Vec2(), 0.01f);
    Circle *b = addCircle(Vec2(0.01f, 0.0f), Vec2(), 0.01f);
    // Exactly touching: penetration 0.
    Circle *c = addCircle(Vec2(100.0f, 0.0f));
    Circle *d = addCircle(Vec2(160.0f, 0.0f));
    for (Circle *circle : {a, b, c, d})
        circle->setGravityScale(0.0f);
    world.step(bodies);
    ASSERT_EQ(world.contacts.size(), 2);
    EXPECT_EQ(world.contacts[0]->penetration, 0.01f);
    EXPECT_EQ(world.contacts[1]->penetration, 0.0f);
    EXPECT_TRUE(sameVec2(a->position, Vec2(0.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(b->position, Vec2(0.01f, 0.0f)));
    EXPECT_TRUE(sameVec2(c->position, Vec2(100.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(d->position, Vec2(160.0f, 0.0f)));
}

TEST_P(WorldStep, CorrectionMovesEachCircleBySeventyPercentOfItsShare) {
    // Radii 1.01f and 0.5f, 0.5 apart: penetration exactly 1.01f.
    Circle *a = addCircle(Vec2(0.0f, 0.0f), Vec2(), 1.01f);
    Circle *b = addCircle(Vec2(0.5f, 0.0f), Vec2(), 0.5f);
    a->setGravityScale(0.0f);
    b->setGravityScale(0.0f);
    world.step(bodies);
    ASSERT_EQ(world.contacts.size(), 1);
    EXPECT_EQ(world.contacts[0]->penetration, 1.01f);
    // k = (1.01f - 0.01f) / 100; each moves by (0.7f * k) * 50, which rounds to 0.35f.
    const float shift = 0.35f;
    EXPECT_TRUE(sameVec2(a->position, Vec2(-shift, 0.0f)));
    EXPECT_TRUE(sameVec2(b->position, Vec2(0.5f + shift, 0.0f)));
}

TEST_P(WorldStep, ContactBetweenImmovableBodiesChangesNothing) {
    // Neither circle has a mass: the pair's inverse masses add up to 0.
    Circle *a = own(new Circle(30.0f));
    Circle *b = own(new Circle(30.0f));
    a->setVelocity(Vec2(1.0f, 0.0f));
    b->setPosition(Vec2(50.0f, 0.0f));
    b->setVelocity(Vec2(-1.0f, 0.0f));
    bodies.append(a);
    bodies.append(b);
    // A wall under both: two more such contacts.
    RectAngle *floor = addWall(Vec2(-100.0f, -20.0f), 300.0f, 15.0f);
    world.step(bodies);
    ASSERT_EQ(world.contacts.size(), 3);
    EXPECT_TRUE(sameVec2(a->velocity, Vec2(1.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(b->velocity, Vec2(-1.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(a->position, Vec2(1.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(b->position, Vec2(49.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(floor->position, Vec2(-100.0f, -20.0f)));
}

TEST_P(WorldStep, BodyWithoutContactsMovesByItsOldVelocityThenGainsGravity) {
    Circle *circle = addCircle(Vec2(10.0f, 20.0f), Vec2(3.0f, 4.0f));
    world.step(bodies);
    EXPECT_TRUE(world.contacts.empty());
    EXPECT_TRUE(sameVec2(circle->position, Vec2(13.0f, 24.0f)));
    EXPECT_TRUE(sameVec2(circle->velocity, Vec2(3.0f, 3.98f)));
}

TEST_P(WorldStep, GravityIsGravityScaleTimesMass) {
    Circle *circle = addCircle(Vec2(0.0f, 0.0f));
    circle->setMass(0.5f);
    circle->setGravityScale(3.0f);
    world.step(bodies);
    world.step(bodies);
    EXPECT_TRUE(sameVec2(circle->velocity, Vec2(0.0f, -3.0f)));
    EXPECT_TRUE(sameVec2(circle->position, Vec2(0.0f, -1.5f)));
}

TEST_P(WorldStep, ForceMinusGravityIsAddedAsOneTerm) {
    // velocity.y + (1 - 1) keeps 1e-8; (velocity.y + 1) - 1 would lose it.
    Circle *circle = addCircle(Vec2(0.0f, 0.0f), Vec2(0.0f, 1e-8f));
    circle->setMass(1.0f);
    circle->force = Vec2(0.5f, 1.0f);
    world.step(bodies);
    EXPECT_TRUE(sameVec2(circle->velocity, Vec2(0.5f, 1e-8f)));
    EXPECT_TRUE(sameVec2(circle->position, Vec2(0.0f, 1e-8f)));
}

TEST_P(WorldStep, StaticBodyWithAMassStillFalls) {
    RectAngle *wall = addWall(Vec2(0.0f, 0.0f), 10.0f, 10.0f);
    wall->setMass(2.0f);
    wall->setStatic(true);
    world.step(bodies);
    EXPECT_TRUE(sameVec2(wall->position, Vec2(0.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(wall->velocity, Vec2(0.0f, -2.0f)));
    world.step(bodies);
    EXPECT_TRUE(sameVec2(wall->position, Vec2(0.0f, -2.0f)));
    EXPECT_TRUE(sameVec2(wall->velocity, Vec2(0.0f, -4.0f)));
}

TEST_P(WorldStep, StaticBodyWithAMassIsNeitherBouncedNorPushed) {
    RectAngle *wall = addWall(Vec2(100.0f, 50.0f), 1080.0f, 15.0f);
    wall->setMass(2.0f);
    wall->setStatic(true);
    Circle *circle = addCircle(Vec2(130.0f, 70.0f), Vec2(0.0f, -5.0f));
    circle->setGravityScale(0.0f);
    world.step(bodies);
    ASSERT_EQ(world.contacts.size(), 1);
    EXPECT_TRUE(sameVec2(wall->position, Vec2(100.0f, 50.0f)));
    EXPECT_TRUE(sameVec2(wall->velocity, Vec2(0.0f, -2.0f)));
    EXPECT_TRUE(sameVec2(circle->velocity, Vec2(0.0f, 4.0f)));
}

TEST_P(WorldStep, BodiesThatDidNotFitInTheArrayAreLeftAlone) {
    EntityArray full(2);
    Circle *a = addCircle(Vec2(0.0f, 0.0f));
    Circle *b = addCircle(Vec2(10.0f, 0.0f));
    Circle *left = own(new Circle(30.0f));
    left->setMass(0.02f);
    left->setPosition(Vec2(5.0f, 0.0f));
    ASSERT_TRUE(full.append(a));
    ASSERT_TRUE(full.append(b));
    ASSERT_FALSE(full.append(left));
    world.step(full);
    ASSERT_EQ(world.contacts.size(), 1);
    EXPECT_TRUE(sameVec2(left->position, Vec2(5.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(left->velocity, Vec2(0.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(a->velocity, Vec2(0.0f, -0.02f)));
}

TEST_P(WorldStep, CoincidentCirclesSeparateVerticallyWithoutNaN) {
    Circle *a = addCircle(Vec2(200.0f, 300.0f));
    Circle *b = addCircle(Vec2(200.0f, 300.0f));
    // 1e-30 apart: the square of the separation underflows to 0.
    Circle *c = addCircle(Vec2(0.0f, 300.0f));
    Circle *d = addCircle(Vec2(1e-30f, 300.0f));
    for (Circle *circle : {a, b, c, d})
        circle->setGravityScale(0.0f);
    for (int step = 0; step < 30; ++step)
        world.step(bodies);
    for (Circle *circle : {a, b, c, d})
        ASSERT_TRUE(isFinite(circle));
    // Each step removes 0.7 of the overlap beyond the slop, so the gap closes in on 60 - 0.01.
    EXPECT_EQ(a->position.x, 200.0f);
    EXPECT_EQ(b->position.x, 200.0f);
    EXPECT_LT(a->position.y, 300.0f);
    EXPECT_GT(b->position.y, 300.0f);
    EXPECT_GE(b->position.y - a->position.y, 59.98f);
    EXPECT_LE(b->position.y - a->position.y, 60.0f);
    EXPECT_LT(c->position.y, 300.0f);
    EXPECT_GT(d->position.y, 300.0f);
    EXPECT_GE(d->position.y - c->position.y, 59.98f);
}

TEST_P(WorldStep, CircleInsideAWallIsPushedOutThroughTheNearestFace) {
    // 6 below the top face of a wall spanning y in [0, 40].
    RectAngle *wall = addWall(Vec2(0.0f, 0.0f), 100.0f, 40.0f);
    Circle *circle = addCircle(Vec2(30.0f, 34.0f), Vec2(), 10.0f);
    circle->setGravityScale(0.0f);
    world.step(bodies);
    ASSERT_EQ(world.contacts.size(), 1);
    EXPECT_TRUE(sameVec2(world.contacts[0]->normal, Vec2(0.0f, -1.0f)));
    for (int step = 1; step < 30; ++step)
        world.step(bodies);
    ASSERT_TRUE(isFinite(circle));
    EXPECT_EQ(circle->position.x, 30.0f);
    EXPECT_GE(circle->position.y, 49.98f);
    EXPECT_LE(circle->position.y, 50.0f);
    EXPECT_TRUE(sameVec2(wall->position, Vec2(0.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(wall->velocity, Vec2(0.0f, 0.0f)));
}

INSTANTIATE_TEST_SUITE_P(PairSearches, WorldStep, everyPairSearch(), pairSearchName);
