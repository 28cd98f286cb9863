#include "physics/rectangle.h"

#include "tests/math/exactfloat.h"

#include <gtest/gtest.h>

TEST(RectAngle, StartsAtRestWithTheBodyDefaults) {
    const RectAngle rect(1080.0f, 15.0f);
    EXPECT_EQ(rect.width, 1080);
    EXPECT_EQ(rect.height, 15);
    EXPECT_TRUE(sameVec2(rect.position, Vec2(0.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(rect.velocity, Vec2(0.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(rect.force, Vec2(0.0f, 0.0f)));
    EXPECT_TRUE(sameFloat(rect.mass, 0.0f));
    EXPECT_TRUE(sameFloat(rect.inverseMass, 0.0f));
    EXPECT_EQ(rect.gravityScale, 1.0f);
    EXPECT_FALSE(rect.isStatic);
}

TEST(RectAngle, ReportsTypeOneThroughTheBase) {
    RectAngle rect(15.0f, 400.0f);
    const BaseEntity *body = &rect;
    EXPECT_EQ(body->type(), 1);
}

TEST(RectAngle, TruncatesItsSizesTowardZero) {
    const RectAngle rect(15.9f, 400.0f);
    EXPECT_EQ(rect.width, 15);
    EXPECT_EQ(rect.height, 400);
    const RectAngle negative(-15.9f, -0.5f);
    EXPECT_EQ(negative.width, -15);
    EXPECT_EQ(negative.height, 0);
}
