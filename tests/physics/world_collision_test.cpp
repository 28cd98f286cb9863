#include "physics/world.h"

#include "physics/circle.h"
#include "physics/rectangle.h"
#include "tests/math/exactfloat.h"

#include <gtest/gtest.h>

#include <limits> // std::numeric_limits
#include <string> // std::string, std::to_string

namespace {

Circle circleAt(float x, float y, float radius = 30.0f) {
    Circle circle(radius);
    circle.setPosition(Vec2(x, y));
    return circle;
}

RectAngle rectAt(float x, float y, float width, float height) {
    RectAngle rect(width, height);
    rect.setPosition(Vec2(x, y));
    return rect;
}

// The scene's floor: x in [100, 1180], y in [50, 65].
RectAngle sceneFloor() {
    return rectAt(100.0f, 50.0f, 1080.0f, 15.0f);
}

::testing::AssertionResult isContact(const Contact *contact, const BaseEntity *a,
                                     const BaseEntity *b, Vec2 normal, float penetration) {
    if (contact->a != a || contact->b != b)
        return ::testing::AssertionFailure() << "wrong bodies or body order";
    if (!sameVec2(contact->normal, normal))
        return ::testing::AssertionFailure()
               << "normal: " << sameVec2(contact->normal, normal).message();
    if (!sameFloat(contact->penetration, penetration))
        return ::testing::AssertionFailure()
               << "penetration: " << sameFloat(contact->penetration, penetration).message();
    return ::testing::AssertionSuccess();
}

// Calls the table entry for the pair, in the given order, as the step does.
void collide(World &world, BaseEntity *a, BaseEntity *b) {
    (world.*world.collisionTable[a->type()][b->type()])(a, b);
}

} // namespace

TEST(CollisionTable, IsIndexedByTheTypeCodesOfTheTwoBodies) {
    const World world;
    EXPECT_TRUE(world.collisionTable[0][0] == &World::circleVsCircle);
    EXPECT_TRUE(world.collisionTable[0][1] == &World::circleVsRect);
    EXPECT_TRUE(world.collisionTable[1][0] == &World::rectVsCircle);
    EXPECT_TRUE(world.contacts.isEmpty());
}

TEST(CollisionTable, OverlappingRectanglesNeverMakeAContact) {
    World world;
    RectAngle first = rectAt(0.0f, 0.0f, 100.0f, 100.0f);
    RectAngle second = rectAt(50.0f, 50.0f, 100.0f, 100.0f);
    collide(world, &first, &second);
    collide(world, &second, &first);
    collide(world, &first, &first);
    EXPECT_TRUE(world.contacts.isEmpty());
}

TEST(CollisionTable, AppendsContactsAtTheEndInCallOrder) {
    World world;
    Circle a = circleAt(200.0f, 300.0f);
    Circle b = circleAt(230.0f, 340.0f);
    RectAngle floor = sceneFloor();
    Circle onFloor = circleAt(130.0f, 70.0f);
    collide(world, &a, &b);
    collide(world, &floor, &onFloor);
    collide(world, &b, &a);
    ASSERT_EQ(world.contacts.size(), 3);
    EXPECT_EQ(world.contacts[0]->a, &a);
    EXPECT_EQ(world.contacts[1]->a, &onFloor);
    EXPECT_EQ(world.contacts[2]->a, &b);
}

TEST(CircleVsCircle, OverlapGivesTheDepthAndTheUnitNormalFromAToB) {
    World world;
    Circle a = circleAt(200.0f, 300.0f);
    Circle b = circleAt(230.0f, 340.0f);
    collide(world, &a, &b);
    ASSERT_EQ(world.contacts.size(), 1);
    EXPECT_TRUE(isContact(world.contacts[0], &a, &b, Vec2(0.6f, 0.8f), 10.0f));
}

TEST(CircleVsCircle, ReversedPairGivesTheReversedNormal) {
    World world;
    Circle a = circleAt(200.0f, 300.0f);
    Circle b = circleAt(230.0f, 340.0f);
    collide(world, &b, &a);
    ASSERT_EQ(world.contacts.size(), 1);
    EXPECT_TRUE(isContact(world.contacts[0], &b, &a, Vec2(-0.6f, -0.8f), 10.0f));
}

TEST(CircleVsCircle, AddsTheTwoRadii) {
    World world;
    Circle a = circleAt(0.0f, 0.0f, 10.0f);
    Circle b = circleAt(0.0f, -25.0f, 20.0f);
    collide(world, &a, &b);
    ASSERT_EQ(world.contacts.size(), 1);
    EXPECT_TRUE(isContact(world.contacts[0], &a, &b, Vec2(0.0f, -1.0f), 5.0f));
}

TEST(CircleVsCircle, ExactlyTouchingCirclesMakeAContactWithZeroPenetration) {
    World world;
    Circle a = circleAt(200.0f, 300.0f);
    Circle b = circleAt(260.0f, 300.0f);
    collide(world, &a, &b);
    ASSERT_EQ(world.contacts.size(), 1);
    EXPECT_TRUE(isContact(world.contacts[0], &a, &b, Vec2(1.0f, 0.0f), 0.0f));
}

TEST(CircleVsCircle, SeparatedCirclesMakeNoContact) {
    World world;
    Circle a = circleAt(200.0f, 300.0f);
    Circle b = circleAt(260.01f, 300.0f);
    collide(world, &a, &b);
    EXPECT_TRUE(world.contacts.isEmpty());
}

TEST(CircleVsCircle, CoincidentCentresPushBUpByTheSumOfTheRadii) {
    World world;
    Circle a = circleAt(200.0f, 300.0f, 30.0f);
    Circle b = circleAt(200.0f, 300.0f, 20.0f);
    collide(world, &a, &b);
    ASSERT_EQ(world.contacts.size(), 1);
    EXPECT_TRUE(isContact(world.contacts[0], &a, &b, Vec2(0.0f, 1.0f), 50.0f));
}

TEST(CircleVsCircle, ASeparationWhoseLengthUnderflowsCountsAsCoincident) {
    World world;
    // The square of 1e-30 underflows to 0, so the separation has length 0.
    Circle a = circleAt(0.0f, 0.0f);
    Circle b = circleAt(1e-30f, 0.0f);
    collide(world, &a, &b);
    ASSERT_EQ(world.contacts.size(), 1);
    EXPECT_TRUE(isContact(world.contacts[0], &a, &b, Vec2(0.0f, 1.0f), 60.0f));
}

// Squares this small are subnormal and length() loses precision on them; the normal must still
// be a unit vector.
TEST(CircleVsCircle, ATinySeparationStillGivesAUnitNormal) {
    World world;
    Circle a = circleAt(0.0f, 0.0f);
    Circle b = circleAt(3e-23f, 0.0f);
    Circle c = circleAt(0.0f, -2e-22f);
    collide(world, &a, &b);
    collide(world, &a, &c);
    ASSERT_EQ(world.contacts.size(), 2);
    EXPECT_TRUE(sameVec2(world.contacts[0]->normal, Vec2(1.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(world.contacts[1]->normal, Vec2(0.0f, -1.0f)));
}

TEST(CircleVsRect, CircleSinkingIntoTheFloorIsPushedUp) {
    World world;
    Circle circle = circleAt(130.0f, 70.0f);
    RectAngle floor = sceneFloor();
    collide(world, &circle, &floor);
    ASSERT_EQ(world.contacts.size(), 1);
    EXPECT_TRUE(isContact(world.contacts[0], &circle, &floor, Vec2(0.0f, -1.0f), 25.0f));
}

TEST(CircleVsRect, RectangleFirstStillMakesTheCircleA) {
    World world;
    Circle circle = circleAt(130.0f, 70.0f);
    RectAngle floor = sceneFloor();
    collide(world, &floor, &circle);
    world.rectVsCircle(&floor, &circle);
    ASSERT_EQ(world.contacts.size(), 2);
    EXPECT_TRUE(isContact(world.contacts[0], &circle, &floor, Vec2(0.0f, -1.0f), 25.0f));
    EXPECT_TRUE(isContact(world.contacts[1], &circle, &floor, Vec2(0.0f, -1.0f), 25.0f));
}

TEST(CircleVsRect, ExactlyTouchingIsNoContact) {
    World world;
    Circle circle = circleAt(130.0f, 95.0f);
    RectAngle floor = sceneFloor();
    collide(world, &circle, &floor);
    collide(world, &floor, &circle);
    EXPECT_TRUE(world.contacts.isEmpty());
}

TEST(CircleVsRect, CircleBesideASideFaceIsPushedSideways) {
    World world;
    Circle circle = circleAt(-5.0f, 20.0f, 10.0f);
    RectAngle rect = rectAt(0.0f, 0.0f, 100.0f, 40.0f);
    collide(world, &circle, &rect);
    ASSERT_EQ(world.contacts.size(), 1);
    EXPECT_TRUE(isContact(world.contacts[0], &circle, &rect, Vec2(1.0f, 0.0f), 5.0f));
}

TEST(CircleVsRect, CircleNearACornerIsPushedAlongTheDiagonal) {
    World world;
    // The floor's upper-left corner (100, 65) is (12, -16) from the centre: distance 20.
    Circle circle = circleAt(88.0f, 81.0f);
    RectAngle floor = sceneFloor();
    collide(world, &circle, &floor);
    ASSERT_EQ(world.contacts.size(), 1);
    EXPECT_TRUE(isContact(world.contacts[0], &circle, &floor, Vec2(0.6f, -0.8f), 10.0f));
    // At distance 30 it only touches.
    Circle touching = circleAt(82.0f, 89.0f);
    collide(world, &touching, &floor);
    EXPECT_EQ(world.contacts.size(), 1);
}

// A centre inside the rectangle or on its boundary leaves through the nearest face: the normal is
// that face's axis pointing from the circle toward the rectangle, and the penetration is the
// radius plus the centre's depth behind the face.
struct FaceCase {
    const char *name;
    Vec2 centre;
    Vec2 normal;
    float penetration;
};

class CircleCentreInRect : public ::testing::TestWithParam<FaceCase> {};

TEST_P(CircleCentreInRect, LeavesThroughTheNearestFace) {
    const FaceCase &face = GetParam();
    World world;
    // x in [0, 100], y in [0, 40].
    RectAngle rect = rectAt(0.0f, 0.0f, 100.0f, 40.0f);
    Circle circle = circleAt(face.centre.x, face.centre.y, 10.0f);
    collide(world, &circle, &rect);
    collide(world, &rect, &circle);
    ASSERT_EQ(world.contacts.size(), 2);
    EXPECT_TRUE(isContact(world.contacts[0], &circle, &rect, face.normal, face.penetration));
    EXPECT_TRUE(isContact(world.contacts[1], &circle, &rect, face.normal, face.penetration));
}

INSTANTIATE_TEST_SUITE_P(
    Faces, CircleCentreInRect,
    ::testing::Values(
        FaceCase{"NearLeft", Vec2(3.0f, 20.0f), Vec2(1.0f, 0.0f), 13.0f},
        FaceCase{"NearRight", Vec2(98.0f, 20.0f), Vec2(-1.0f, 0.0f), 12.0f},
        FaceCase{"NearBottom", Vec2(50.0f, 4.0f), Vec2(0.0f, 1.0f), 14.0f},
        FaceCase{"NearTop", Vec2(50.0f, 39.0f), Vec2(0.0f, -1.0f), 11.0f},
        FaceCase{"OnLeft", Vec2(0.0f, 20.0f), Vec2(1.0f, 0.0f), 10.0f},
        FaceCase{"OnRight", Vec2(100.0f, 30.0f), Vec2(-1.0f, 0.0f), 10.0f},
        FaceCase{"OnBottom", Vec2(30.0f, 0.0f), Vec2(0.0f, 1.0f), 10.0f},
        FaceCase{"OnTop", Vec2(30.0f, 40.0f), Vec2(0.0f, -1.0f), 10.0f},
        FaceCase{"LowerLeftCornerPrefersLeft", Vec2(0.0f, 0.0f), Vec2(1.0f, 0.0f), 10.0f},
        FaceCase{"UpperLeftCornerPrefersLeft", Vec2(0.0f, 40.0f), Vec2(1.0f, 0.0f), 10.0f},
        FaceCase{"LowerRightCornerPrefersRight", Vec2(100.0f, 0.0f), Vec2(-1.0f, 0.0f), 10.0f},
        FaceCase{"UpperRightCornerPrefersRight", Vec2(100.0f, 40.0f), Vec2(-1.0f, 0.0f), 10.0f},
        FaceCase{"MiddlePrefersBottomToTop", Vec2(50.0f, 20.0f), Vec2(0.0f, 1.0f), 30.0f}),
    [](const ::testing::TestParamInfo<FaceCase> &info) { return std::string(info.param.name); });

// A centre a hair outside a zero-width rectangle: the gap is not zero, but its length underflows
// to zero, so it has no direction of its own either.
TEST(CircleVsRect, AGapWhoseLengthUnderflowsLeavesThroughTheNearestFace) {
    World world;
    RectAngle sliver = rectAt(0.0f, 0.0f, 0.5f, 40.0f); // width truncated to 0
    Circle circle = circleAt(1e-23f, 20.0f);
    collide(world, &circle, &sliver);
    ASSERT_EQ(world.contacts.size(), 1);
    EXPECT_TRUE(isContact(world.contacts[0], &circle, &sliver, Vec2(-1.0f, 0.0f), 30.0f));
}

TEST(CircleVsRect, CentreOfASquarePrefersTheLeftFace) {
    World world;
    RectAngle square = rectAt(0.0f, 0.0f, 40.0f, 40.0f);
    Circle circle = circleAt(20.0f, 20.0f, 10.0f);
    collide(world, &circle, &square);
    ASSERT_EQ(world.contacts.size(), 1);
    EXPECT_TRUE(isContact(world.contacts[0], &circle, &square, Vec2(1.0f, 0.0f), 30.0f));
}

TEST(CircleVsRect, CentreInsideTheSceneFloorLeavesThroughItsTop) {
    World world;
    Circle circle = circleAt(130.0f, 60.0f);
    RectAngle floor = sceneFloor();
    collide(world, &floor, &circle);
    ASSERT_EQ(world.contacts.size(), 1);
    EXPECT_TRUE(isContact(world.contacts[0], &circle, &floor, Vec2(0.0f, -1.0f), 35.0f));
}

// A body whose position or velocity is not finite makes no contact, on either side of the pair and
// in either order: a NaN would otherwise fail every "no contact" test and reach its partner.
TEST(NonFiniteBody, MakesNoContactWithACircleOrAWall) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (const float bad : {nan, inf, -inf}) {
        for (int field = 0; field < 4; ++field) {
            SCOPED_TRACE(std::to_string(bad) + " in field " + std::to_string(field));
            World world;
            Circle a = circleAt(200.0f, 300.0f);
            Circle b = circleAt(230.0f, 340.0f);
            Circle onFloor = circleAt(130.0f, 70.0f);
            RectAngle floor = sceneFloor();
            for (Circle *circle : {&b, &onFloor}) {
                float *fields[] = {&circle->position.x, &circle->position.y, &circle->velocity.x,
                                   &circle->velocity.y};
                *fields[field] = bad;
            }
            collide(world, &a, &b);
            collide(world, &b, &a);
            collide(world, &onFloor, &floor);
            collide(world, &floor, &onFloor);
            EXPECT_TRUE(world.contacts.isEmpty());
        }
    }
}
