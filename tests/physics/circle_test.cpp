#include "physics/circle.h"

#include "tests/math/exactfloat.h"

#include <gtest/gtest.h>

TEST(Circle, StartsAtRestWithTheBodyDefaults) {
    const Circle circle(30.0f);
    EXPECT_EQ(circle.radius, 30.0f);
    EXPECT_TRUE(sameVec2(circle.position, Vec2(0.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(circle.velocity, Vec2(0.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(circle.force, Vec2(0.0f, 0.0f)));
    EXPECT_TRUE(sameFloat(circle.mass, 0.0f));
    EXPECT_TRUE(sameFloat(circle.inverseMass, 0.0f));
    EXPECT_EQ(circle.gravityScale, 1.0f);
    EXPECT_FALSE(circle.isStatic);
}

TEST(Circle, ReportsTypeZeroThroughTheBase) {
    Circle circle(30.0f);
    const BaseEntity *body = &circle;
    EXPECT_EQ(body->type(), 0);
}

TEST(Circle, KeepsAFractionalRadius) {
    EXPECT_EQ(Circle(0.1f).radius, 0.1f);
}
