#include "physics/shapes.h"

#include "tests/math/exactfloat.h"

#include <gtest/gtest.h>

#include <limits> // std::numeric_limits
#include <memory> // std::unique_ptr
#include <vector> // std::vector

namespace {

std::unique_ptr<BaseEntity> boxAt(float x, float y, Vec2 half, Rotation q = Rotation()) {
    auto box = std::make_unique<Box>(half.x, half.y);
    box->setPosition(Vec2(x, y));
    box->setRotation(q);
    return box;
}

std::unique_ptr<BaseEntity> circleAt(float x, float y, float radius) {
    auto circle = std::make_unique<Circle>(radius);
    circle->setPosition(Vec2(x, y));
    return circle;
}

// A wall with x in [0, 64], y in [0, 16].
std::unique_ptr<BaseEntity> wall() {
    auto wall = std::make_unique<RectAngle>(64.0f, 16.0f);
    wall->setPosition(Vec2(0, 0));
    return wall;
}

// A quarter turn counter-clockwise.
const Rotation quarterTurn{0, 1};

struct ExpectedPoint {
    Vec2 anchorA;
    float penetration;
    std::uint32_t featureId;
};

// Two bodies given in this order, and the contact the table must find: the normal from the
// contact's a to its b, and each point on a's surface, from a's position.
struct BoxCase {
    const char *name;
    std::unique_ptr<BaseEntity> (*first)();
    std::unique_ptr<BaseEntity> (*second)();
    // Whether the contact's a is the second body given.
    bool reversed;
    Vec2 normal;
    std::vector<ExpectedPoint> points;
};

class BoxContacts : public ::testing::TestWithParam<BoxCase> {};

TEST_P(BoxContacts, GiveEveryPointWithItsDepthAndFeature) {
    const BoxCase &c = GetParam();
    const std::unique_ptr<BaseEntity> first = c.first();
    const std::unique_ptr<BaseEntity> second = c.second();
    const Collision found = collide(*first, *second);
    EXPECT_EQ(found.reversed, c.reversed);
    const Manifold &m = found.manifold;
    ASSERT_EQ(m.pointCount, static_cast<int>(c.points.size()));
    if (m.pointCount == 0)
        return;
    EXPECT_TRUE(sameVec2(m.normal, c.normal));
    for (int k = 0; k < m.pointCount; ++k) {
        SCOPED_TRACE(k);
        EXPECT_TRUE(sameVec2(m.points[k].anchorA, c.points[k].anchorA));
        EXPECT_TRUE(sameFloat(m.points[k].penetration, c.points[k].penetration));
        EXPECT_EQ(m.points[k].featureId, c.points[k].featureId);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, BoxContacts,
    ::testing::Values(
        // A's top side is the reference (side 2); B's bottom corners 0 and 1 touch it, 0.5 deep.
        BoxCase{"BoxRestingOnABox",
                [] { return boxAt(0, 0, Vec2(20, 20)); },
                [] { return boxAt(0, 39.5f, Vec2(20, 20)); },
                false,
                Vec2(0, 1),
                {{Vec2(-20, 20), 0.5f, 0x20}, {Vec2(20, 20), 0.5f, 0x21}}},
        // Narrower on top: the points are B's own corners, the reference side stays A's.
        BoxCase{"NarrowBoxOnAWideOne",
                [] { return boxAt(0, 0, Vec2(20, 20)); },
                [] { return boxAt(5, 29.75f, Vec2(5, 10)); },
                false,
                Vec2(0, 1),
                {{Vec2(0, 20), 0.25f, 0x20}, {Vec2(10, 20), 0.25f, 0x21}}},
        // Wider on top: B's side is clipped to A's width; the points keep B's corners.
        BoxCase{"WideBoxOnANarrowOne",
                [] { return boxAt(0, 0, Vec2(5, 5)); },
                [] { return boxAt(0, 24.5f, Vec2(20, 20)); },
                false,
                Vec2(0, 1),
                {{Vec2(-5, 5), 0.5f, 0x20}, {Vec2(5, 5), 0.5f, 0x21}}},
        BoxCase{"ApartByLessThanTheSpeculativeDistance",
                [] { return boxAt(0, 0, Vec2(20, 20)); },
                [] { return boxAt(0, 40.125f, Vec2(20, 20)); },
                false,
                Vec2(0, 1),
                {{Vec2(-20, 20), -0.125f, 0x20}, {Vec2(20, 20), -0.125f, 0x21}}},
        BoxCase{"ApartByMore",
                [] { return boxAt(0, 0, Vec2(20, 20)); },
                [] { return boxAt(0, 40.5f, Vec2(20, 20)); },
                false,
                Vec2(),
                {}},
        // Its right side flush with the wall's end: the wall's top is clipped on the left only.
        // A quarter turn makes the box's side 3 its bottom.
        BoxCase{"TurnedBoxOnAWall",
                [] { return boxAt(44, 25.5f, Vec2(10, 20), quarterTurn); },
                wall,
                false,
                Vec2(-0.0f, -1),
                {{Vec2(20, -10), 0.5f, 0x32}, {Vec2(-20, -10), 0.5f, 0x33}}},
        // The wall given first: the table hands the pair over box first.
        BoxCase{"WallUnderABox",
                wall,
                [] { return boxAt(44, 35.5f, Vec2(20, 20)); },
                true,
                Vec2(0, -1),
                {{Vec2(20, -20), 0.5f, 0x02}, {Vec2(-20, -20), 0.5f, 0x03}}},
        // A circle is a and its point is on the circle, as with the walls.
        BoxCase{"CircleOnATurnedBox",
                [] { return circleAt(0, 69, 30); },
                [] { return boxAt(0, 0, Vec2(40, 20), quarterTurn); },
                false,
                Vec2(-0.0f, -1),
                {{Vec2(-0.0f, -30), 1, 0}}},
        BoxCase{"CircleCentreInsideABox",
                [] { return boxAt(0, 0, Vec2(20, 20)); },
                [] { return circleAt(5, 15, 10); },
                true,
                Vec2(0, -1),
                {{Vec2(0, -10), 15, 0}}}),
    [](const auto &info) { return std::string(info.param.name); });

// A box turned by 45 degrees resting on its corner (38 - 20 sqrt(2) = 0.284 deep): one point, the
// corner, whichever body comes first. The flat box's top is the reference side both times, so
// given second its side is taken (feature bit 0x100) and the normal still leaves the first body.
TEST(BoxContacts, ABoxOnItsCornerTouchesAtOnePoint) {
    const float half = 0.70710677f; // the float nearest sqrt(1/2)
    const std::unique_ptr<BaseEntity> slab = boxAt(0, 0, Vec2(100, 10));
    const std::unique_ptr<BaseEntity> diamond = boxAt(0, 38, Vec2(20, 20), Rotation{half, half});
    const Manifold below = collide(*slab, *diamond).manifold;
    const Manifold above = collide(*diamond, *slab).manifold;
    ASSERT_EQ(below.pointCount, 1);
    ASSERT_EQ(above.pointCount, 1);
    EXPECT_TRUE(sameVec2(below.normal, Vec2(0, 1)));
    EXPECT_TRUE(sameVec2(above.normal, Vec2(-0.0f, -1)));
    EXPECT_EQ(below.points[0].featureId, 0x20u);
    EXPECT_EQ(above.points[0].featureId, 0x120u);
    EXPECT_TRUE(sameFloat(below.points[0].penetration, above.points[0].penetration));
    EXPECT_GT(below.points[0].penetration, 0.284f);
    EXPECT_LT(below.points[0].penetration, 0.285f);
}

// Boxes never collide with nothing at all: a box that left the finite numbers touches no one.
TEST(BoxContacts, ABoxWithANonFiniteSpinTouchesNothing) {
    const std::unique_ptr<BaseEntity> below = boxAt(0, 0, Vec2(20, 20));
    const std::unique_ptr<BaseEntity> above = boxAt(0, 39.5f, Vec2(20, 20));
    above->setAngularVelocity(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(collide(*below, *above).manifold.pointCount, 0);
    above->setAngularVelocity(0);
    above->setRotation(Rotation{std::numeric_limits<float>::infinity(), 0});
    EXPECT_EQ(collide(*below, *above).manifold.pointCount, 0);
}

// The broad phase must find every pair the routines would touch: a turned box reaches further
// along the axes than its half-extents.
TEST(BoxContacts, ATurnedBoxsBoundsHoldItsCornersAndTheSpeculativeReach) {
    const float half = 0.70710677f;
    const std::unique_ptr<BaseEntity> diamond = boxAt(100, 200, Vec2(20, 10), Rotation{half, half});
    const BoundingBox bounds = boundingBox(*diamond);
    ASSERT_TRUE(bounds.bounded);
    // The corners reach (20 + 10) sqrt(1/2) = 21.2 either side.
    EXPECT_LT(bounds.lo[0] - bounds.margin[0], 100 - 21.21 - speculativeDistance);
    EXPECT_GT(bounds.hi[1] + bounds.margin[1], 200 + 21.21 + speculativeDistance);
    EXPECT_GT(bounds.lo[0], 100 - 21.22);
}

} // namespace
