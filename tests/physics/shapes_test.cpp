#include "physics/shapes.h"

#include "physics/box.h"
#include "physics/circle.h"
#include "physics/rectangle.h"
#include "tests/math/exactfloat.h"

#include <gtest/gtest.h>

#include <functional> // std::function
#include <limits>     // std::numeric_limits
#include <memory>     // std::unique_ptr, std::make_unique
#include <string>     // std::string, std::to_string

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

// A new body like the given one, for a table of cases.
using Made = std::function<std::unique_ptr<BaseEntity>()>;

template <typename Body> Made made(Body body) {
    return [body] { return std::make_unique<Body>(body); };
}

// Two bodies' contact as the step records it: a and b in the contact's order.
struct Found {
    const BaseEntity *a;
    const BaseEntity *b;
    Manifold manifold;
};

// Through the table, in the given order, as the step does.
Found collision(const BaseEntity &first, const BaseEntity &second) {
    const Collision c = collide(first, second);
    return c.reversed ? Found{&second, &first, c.manifold} : Found{&first, &second, c.manifold};
}

::testing::AssertionResult isContact(const Found &found, const BaseEntity *a, const BaseEntity *b,
                                     Vec2 normal, float penetration) {
    if (found.manifold.pointCount != 1)
        return ::testing::AssertionFailure() << found.manifold.pointCount << " points";
    if (found.a != a || found.b != b)
        return ::testing::AssertionFailure() << "wrong bodies or body order";
    if (!sameVec2(found.manifold.normal, normal))
        return ::testing::AssertionFailure()
               << "normal: " << sameVec2(found.manifold.normal, normal).message();
    const ManifoldPoint &point = found.manifold.points[0];
    if (!sameFloat(point.penetration, penetration))
        return ::testing::AssertionFailure()
               << "penetration: " << sameFloat(point.penetration, penetration).message();
    // On a's surface along the normal; a is a circle in every contact.
    const Vec2 anchor = normal * static_cast<const Circle *>(a)->radius;
    if (!sameVec2(point.anchorA, anchor))
        return ::testing::AssertionFailure()
               << "anchor: " << sameVec2(point.anchorA, anchor).message();
    if (point.featureId != 0)
        return ::testing::AssertionFailure() << "feature " << point.featureId;
    return ::testing::AssertionSuccess();
}

bool touches(const BaseEntity &first, const BaseEntity &second) {
    return collide(first, second).manifold.pointCount > 0;
}

// A kind of body the table does not know: it keeps the base class's type().
class ShapelessBody : public BaseEntity {
public:
    void draw() const override {}
};

} // namespace

TEST(CollisionTable, IsIndexedByTheTypeCodesOfTheTwoBodies) {
    EXPECT_TRUE(collisionTable[0][0].routine == &circleVsCircle);
    EXPECT_FALSE(collisionTable[0][0].reversed);
    EXPECT_TRUE(collisionTable[0][1].routine == &circleVsRect);
    EXPECT_FALSE(collisionTable[0][1].reversed);
    EXPECT_TRUE(collisionTable[1][0].routine == &circleVsRect);
    EXPECT_TRUE(collisionTable[1][0].reversed);
}

// The broad phase pairs bodies whichever comes first, so the table must agree with itself.
TEST(CollisionTable, EveryPairOfKindsCollidesInBothOrdersOrInNeither) {
    for (int first = 0; first < shapeKindCount; ++first) {
        for (int second = 0; second < shapeKindCount; ++second) {
            const CollisionEntry &entry = collisionTable[first][second];
            const CollisionEntry &mirror = collisionTable[second][first];
            SCOPED_TRACE(std::to_string(first) + ", " + std::to_string(second));
            // The same routine, taking the kinds in one order: one entry reversed, not both.
            EXPECT_EQ(entry.routine, mirror.routine);
            if (first == second) {
                EXPECT_FALSE(entry.reversed);
            } else if (entry.routine) {
                EXPECT_NE(entry.reversed, mirror.reversed);
            }
        }
    }
}

TEST(CollisionTable, OverlappingRectanglesNeverMakeAContact) {
    RectAngle first = rectAt(0.0f, 0.0f, 100.0f, 100.0f);
    RectAngle second = rectAt(50.0f, 50.0f, 100.0f, 100.0f);
    EXPECT_FALSE(mayCollide(BodyType::RectAngle, BodyType::RectAngle));
    EXPECT_FALSE(touches(first, second));
    EXPECT_FALSE(touches(second, first));
    EXPECT_FALSE(touches(first, first));
}

TEST(CollisionTable, ABodyOfNoKnownKindCollidesWithNothing) {
    ShapelessBody shapeless;
    Circle circle = circleAt(0.0f, 0.0f);
    RectAngle floor = rectAt(-50.0f, -50.0f, 100.0f, 100.0f);
    EXPECT_FALSE(mayCollide(shapeless.type(), BodyType::Circle));
    for (const BaseEntity *other :
         {static_cast<const BaseEntity *>(&circle), static_cast<const BaseEntity *>(&floor),
          static_cast<const BaseEntity *>(&shapeless)}) {
        EXPECT_FALSE(touches(shapeless, *other));
        EXPECT_FALSE(touches(*other, shapeless));
    }
}

TEST(CollisionTable, TheContactsAIsTheFirstBodyUnlessTheTableFlipsThePair) {
    Circle a = circleAt(200.0f, 300.0f);
    Circle b = circleAt(230.0f, 340.0f);
    RectAngle floor = sceneFloor();
    Circle onFloor = circleAt(130.0f, 70.0f);
    EXPECT_EQ(collision(a, b).a, &a);
    EXPECT_EQ(collision(floor, onFloor).a, &onFloor);
    EXPECT_EQ(collision(b, a).a, &b);
}

TEST(CircleVsCircle, SeparatedCirclesMakeNoContact) {
    Circle a = circleAt(200.0f, 300.0f);
    Circle b = circleAt(260.01f, 300.0f);
    EXPECT_FALSE(touches(a, b));
}

// Squares this small are subnormal and length() loses precision on them; the normal must still
// be a unit vector.
TEST(CircleVsCircle, ATinySeparationStillGivesAUnitNormal) {
    Circle a = circleAt(0.0f, 0.0f);
    Circle b = circleAt(3e-23f, 0.0f);
    Circle c = circleAt(0.0f, -2e-22f);
    EXPECT_TRUE(sameVec2(collision(a, b).manifold.normal, Vec2(1.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(collision(a, c).manifold.normal, Vec2(0.0f, -1.0f)));
}

// A circle a's contact with b: the normal points from a toward b. A circle and a rectangle make
// the same contact with either body first. A circle's centre inside a rectangle or on its boundary
// leaves through the nearest face: the normal is that face's axis, and the penetration is the
// radius plus the centre's depth behind the face.
struct ContactCase {
    const char *name;
    Made a;
    Made b;
    Vec2 normal;
    float penetration;
};

class Contacts : public ::testing::TestWithParam<ContactCase> {};

TEST_P(Contacts, GiveTheDepthAndTheUnitNormalFromAToB) {
    const ContactCase &c = GetParam();
    const std::unique_ptr<BaseEntity> a = c.a();
    const std::unique_ptr<BaseEntity> b = c.b();
    EXPECT_TRUE(isContact(collision(*a, *b), a.get(), b.get(), c.normal, c.penetration));
    if (b->type() == BodyType::RectAngle) {
        EXPECT_TRUE(isContact(collision(*b, *a), a.get(), b.get(), c.normal, c.penetration));
    }
}

// A circle of radius r at (x, y); a rectangle with x in [0, 100], y in [0, 40].
Made circle(float x, float y, float r = 30.0f) {
    return made(circleAt(x, y, r));
}
const Made floorRect = made(sceneFloor());
const Made box = made(rectAt(0, 0, 100, 40));

INSTANTIATE_TEST_SUITE_P(
    Pairs, Contacts,
    ::testing::Values(
        ContactCase{"Circles", circle(200, 300), circle(230, 340), Vec2(0.6f, 0.8f), 10},
        ContactCase{"ReversedCircles", circle(230, 340), circle(200, 300), Vec2(-0.6f, -0.8f), 10},
        ContactCase{"CirclesOfTwoRadii", circle(0, 0, 10), circle(0, -25, 20), Vec2(0, -1), 5},
        ContactCase{"ExactlyTouchingCirclesWithZeroPenetration", circle(200, 300), circle(260, 300),
                    Vec2(1, 0), 0},
        // Coincident centres push b up by the sum of the radii.
        ContactCase{"CoincidentCentres", circle(200, 300, 30), circle(200, 300, 20), Vec2(0, 1),
                    50},
        // The square of 1e-30 underflows to 0, so the separation has length 0.
        ContactCase{"ASeparationWhoseLengthUnderflowsCountsAsCoincident", circle(0, 0),
                    circle(1e-30f, 0), Vec2(0, 1), 60},
        ContactCase{"CircleSinkingIntoTheFloorIsPushedUp", circle(130, 70), floorRect, Vec2(0, -1),
                    25},
        ContactCase{"CircleBesideASideFaceIsPushedSideways", circle(-5, 20, 10), box, Vec2(1, 0),
                    5},
        // The floor's upper-left corner (100, 65) is (12, -16) from the centre: distance 20.
        ContactCase{"CircleNearACornerIsPushedAlongTheDiagonal", circle(88, 81), floorRect,
                    Vec2(0.6f, -0.8f), 10},
        ContactCase{"NearLeft", circle(3, 20, 10), box, Vec2(1, 0), 13},
        ContactCase{"NearRight", circle(98, 20, 10), box, Vec2(-1, 0), 12},
        ContactCase{"NearBottom", circle(50, 4, 10), box, Vec2(0, 1), 14},
        ContactCase{"NearTop", circle(50, 39, 10), box, Vec2(0, -1), 11},
        ContactCase{"OnLeft", circle(0, 20, 10), box, Vec2(1, 0), 10},
        ContactCase{"OnRight", circle(100, 30, 10), box, Vec2(-1, 0), 10},
        ContactCase{"OnBottom", circle(30, 0, 10), box, Vec2(0, 1), 10},
        ContactCase{"OnTop", circle(30, 40, 10), box, Vec2(0, -1), 10},
        ContactCase{"LowerLeftCornerPrefersLeft", circle(0, 0, 10), box, Vec2(1, 0), 10},
        ContactCase{"UpperLeftCornerPrefersLeft", circle(0, 40, 10), box, Vec2(1, 0), 10},
        ContactCase{"LowerRightCornerPrefersRight", circle(100, 0, 10), box, Vec2(-1, 0), 10},
        ContactCase{"UpperRightCornerPrefersRight", circle(100, 40, 10), box, Vec2(-1, 0), 10},
        ContactCase{"MiddlePrefersBottomToTop", circle(50, 20, 10), box, Vec2(0, 1), 30},
        // A centre a hair outside a zero-width rectangle (0.5 truncates to 0): the gap is not
        // zero, but its length underflows to zero, so it has no direction of its own either.
        ContactCase{"AGapWhoseLengthUnderflowsLeavesThroughTheNearestFace", circle(1e-23f, 20),
                    made(rectAt(0, 0, 0.5f, 40)), Vec2(-1, 0), 30},
        ContactCase{"CentreOfASquarePrefersTheLeftFace", circle(20, 20, 10),
                    made(rectAt(0, 0, 40, 40)), Vec2(1, 0), 30},
        ContactCase{"CentreInsideTheSceneFloorLeavesThroughItsTop", circle(130, 60), floorRect,
                    Vec2(0, -1), 35}),
    [](const ::testing::TestParamInfo<ContactCase> &info) { return std::string(info.param.name); });

// Exactly touching is no contact here, on a face or at a corner.
TEST(CircleVsRect, ExactlyTouchingIsNoContact) {
    RectAngle floor = sceneFloor();
    for (const Vec2 centre : {Vec2(130, 95), Vec2(82, 89)}) {
        Circle circle = circleAt(centre.x, centre.y);
        EXPECT_FALSE(touches(circle, floor));
        EXPECT_FALSE(touches(floor, circle));
    }
}

// A body whose position or velocity is not finite makes no contact, on either side of the pair and
// in either order: a NaN would otherwise fail every "no contact" test and reach its partner.
TEST(NonFiniteBody, MakesNoContactWithACircleOrAWall) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (const float bad : {nan, inf, -inf}) {
        for (int field = 0; field < 4; ++field) {
            SCOPED_TRACE(std::to_string(bad) + " in field " + std::to_string(field));
            Circle a = circleAt(200.0f, 300.0f);
            Circle b = circleAt(230.0f, 340.0f);
            Circle onFloor = circleAt(130.0f, 70.0f);
            RectAngle floor = sceneFloor();
            for (Circle *circle : {&b, &onFloor}) {
                float *fields[] = {&circle->position.x, &circle->position.y, &circle->velocity.x,
                                   &circle->velocity.y};
                *fields[field] = bad;
            }
            EXPECT_FALSE(touches(a, b));
            EXPECT_FALSE(touches(b, a));
            EXPECT_FALSE(touches(onFloor, floor));
            EXPECT_FALSE(touches(floor, onFloor));
        }
    }
}

// The box holds the shape exactly, and says whether the broad phase may trust it.
struct BoxCase {
    const char *name;
    Made body;
    double lo[2];
    double hi[2];
    bool bounded;
};

class BoundingBoxOf : public ::testing::TestWithParam<BoxCase> {};

TEST_P(BoundingBoxOf, HoldsTheShapeExactly) {
    const BoxCase &expected = GetParam();
    const BoundingBox box = boundingBox(*expected.body());
    for (int axis = 0; axis < 2; ++axis) {
        EXPECT_EQ(box.lo[axis], expected.lo[axis]) << "axis " << axis;
        EXPECT_EQ(box.hi[axis], expected.hi[axis]) << "axis " << axis;
    }
    EXPECT_EQ(box.bounded, expected.bounded);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, BoundingBoxOf,
    ::testing::Values(
        BoxCase{"Circle", made(circleAt(200.0f, 300.0f)), {170, 270}, {230, 330}, true},
        // Not rounded to float: 0.1f - 30 is -29.9000000014901...
        BoxCase{"CircleOffTheGrid",
                made(circleAt(0.1f, 0.0f)),
                {0.1f - 30.0, -30},
                {0.1f + 30.0, 30},
                true},
        BoxCase{"NegativeRadius", made(circleAt(0.0f, 0.0f, -5.0f)), {-5, -5}, {5, 5}, true},
        BoxCase{"Rectangle", made(sceneFloor()), {100, 50}, {1180, 65}, true},
        BoxCase{"HugeCoordinate",
                made(circleAt(0x1p61f, 0.0f)),
                {0x1p61 - 30, -30},
                {0x1p61 + 30, 30},
                false},
        BoxCase{"RectangleWiderThanFloatsCount",
                made(rectAt(0.0f, 0.0f, 16777300.0f, 10.0f)),
                {0, 0},
                {16777300, 10},
                false},
        BoxCase{"NoKnownShape", made(ShapelessBody()), {0, 0}, {0, 0}, false}),
    [](const ::testing::TestParamInfo<BoxCase> &info) { return std::string(info.param.name); });

// What a snapshot keeps of a body's shape makes the same shape again, to the bit: a radius of -0,
// a width no float holds.
// What the pointer picks: a turned box by its own axes, a wall by its lower-left corner.
TEST(ContainsPoint, FollowsEachShapeToItsEdge) {
    Box turned(20, 10);
    turned.rotation = Rotation{0, 1}; // a quarter turn: 20 wide along y, 10 along x
    struct Case {
        const BaseEntity &body;
        Vec2 point;
        bool inside;
    };
    const Circle circle = circleAt(0, 0);
    const RectAngle wall = sceneFloor();
    const Case cases[] = {
        {circle, Vec2(30, 0), true},    {circle, Vec2(21, 21), true},
        {circle, Vec2(22, 22), false},  {turned, Vec2(5, 15), true},
        {turned, Vec2(15, 5), false},   {turned, Vec2(10, -20), true},
        {wall, Vec2(100, 50), true},    {wall, Vec2(1180, 65), true},
        {wall, Vec2(99.5f, 60), false}, {wall, Vec2(500, 65.5f), false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(containsPoint(c.body, c.point), c.inside)
            << "type " << c.body.type() << " at " << c.point.x << ", " << c.point.y;
}

TEST(ShapeSizeOf, MakesTheSameShapeAgain) {
    const Circle circle = circleAt(1.0f, 2.0f, -0.0f);
    const RectAngle rect = rectAt(3.0f, 4.0f, 2147483520.0f, 7.0f);
    for (const BaseEntity *body :
         {static_cast<const BaseEntity *>(&circle), static_cast<const BaseEntity *>(&rect)}) {
        const ShapeSize size = shapeSize(*body);
        const std::unique_ptr<BaseEntity> copy(makeBody(size));
        ASSERT_EQ(copy->type(), body->type());
        EXPECT_TRUE(sameShapeSize(shapeSize(*copy), size));
    }
    EXPECT_FALSE(sameShapeSize(shapeSize(circle), shapeSize(circleAt(1.0f, 2.0f, 0.0f))));
}
