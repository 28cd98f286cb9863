#include "physics/baseentity.h"

#include "tests/math/exactfloat.h"

#include <gtest/gtest.h>

#include <cmath> // std::signbit

namespace {

// A kind of body that keeps the base class's type().
class PlainBody : public BaseEntity {
public:
    void draw() const override {}
};

} // namespace

TEST(BaseEntityType, IsMinusOneUnlessAKindOverridesIt) {
    const PlainBody body;
    EXPECT_EQ(body.type(), -1);
}

TEST(BaseEntitySetters, StoreTheGivenValues) {
    PlainBody body;
    body.setPosition(Vec2(1.5f, -2.0f));
    body.setVelocity(Vec2(0.25f, 3.0f));
    body.setGravityScale(2.5f);
    EXPECT_TRUE(sameVec2(body.position, Vec2(1.5f, -2.0f)));
    EXPECT_TRUE(sameVec2(body.velocity, Vec2(0.25f, 3.0f)));
    EXPECT_EQ(body.gravityScale, 2.5f);
}

TEST(BaseEntityMass, InverseMassIsTheReciprocal) {
    PlainBody body;
    body.setMass(0.02f);
    EXPECT_EQ(body.mass, 0.02f);
    EXPECT_EQ(body.inverseMass, 50.0f);
    body.setMass(4.0f);
    EXPECT_EQ(body.inverseMass, 0.25f);
}

TEST(BaseEntityMass, ZeroMassGivesZeroInverseMassNotInfinity) {
    PlainBody body;
    body.setMass(0.02f);
    body.setMass(0.0f);
    EXPECT_EQ(body.mass, 0.0f);
    EXPECT_TRUE(sameFloat(body.inverseMass, 0.0f));
}

TEST(BaseEntityMass, SetMassIgnoresTheStaticFlag) {
    PlainBody body;
    body.setStatic(true);
    body.setMass(0.02f);
    EXPECT_TRUE(body.isStatic);
    EXPECT_EQ(body.inverseMass, 50.0f);
}

TEST(BaseEntityStatic, StaticZeroesTheInverseMassAndKeepsTheMass) {
    PlainBody body;
    body.setMass(0.02f);
    body.setStatic(true);
    EXPECT_TRUE(body.isStatic);
    EXPECT_EQ(body.inverseMass, 0.0f);
    EXPECT_EQ(body.mass, 0.02f);
    body.setStatic(false);
    EXPECT_FALSE(body.isStatic);
    EXPECT_EQ(body.inverseMass, 50.0f);
    EXPECT_EQ(body.mass, 0.02f);
}

TEST(BaseEntityStatic, UnsettingStaticOnAMasslessBodyLeavesItImmovable) {
    PlainBody body;
    body.setStatic(true);
    body.setStatic(false);
    EXPECT_FALSE(body.isStatic);
    EXPECT_TRUE(sameFloat(body.inverseMass, 0.0f));
}

TEST(BaseEntityImpulse, AddsTheImpulseTimesTheInverseMassToTheVelocity) {
    PlainBody body;
    body.setMass(0.02f);
    body.setVelocity(Vec2(1.0f, -3.0f));
    body.applyImpulse(Vec2(0.0f, 2.0f));
    EXPECT_TRUE(sameVec2(body.velocity, Vec2(1.0f, 97.0f)));
    EXPECT_TRUE(sameVec2(body.position, Vec2(0.0f, 0.0f)));
}

TEST(BaseEntityImpulse, LeavesAnImmovableBodyAlone) {
    PlainBody body;
    body.setVelocity(Vec2(1.0f, -3.0f));
    body.applyImpulse(Vec2(0.0f, 2.0f));
    EXPECT_TRUE(sameVec2(body.velocity, Vec2(1.0f, -3.0f)));
    body.setMass(0.02f);
    body.setStatic(true);
    body.applyImpulse(Vec2(5.0f, 2.0f));
    EXPECT_TRUE(sameVec2(body.velocity, Vec2(1.0f, -3.0f)));
}

TEST(BaseEntityUpdate, AddsForceAndGravityToTheVelocityBeforeMovingThePosition) {
    PlainBody body;
    body.setMass(0.02f);
    body.setPosition(Vec2(10.0f, 20.0f));
    body.setVelocity(Vec2(3.0f, 4.0f));
    body.update();
    // The position moves by the new velocity, 4 - 0.02 rounded to 3.98f.
    EXPECT_TRUE(sameVec2(body.velocity, Vec2(3.0f, 3.98f)));
    EXPECT_TRUE(sameVec2(body.position, Vec2(13.0f, 20.0f + 3.98f)));
}

TEST(BaseEntityUpdate, GravityIsMassTimesGravityScale) {
    PlainBody body;
    body.setMass(0.5f);
    body.setGravityScale(3.0f);
    body.force = Vec2(0.25f, 1.0f);
    body.update();
    EXPECT_TRUE(sameVec2(body.velocity, Vec2(0.25f, -0.5f)));
    EXPECT_TRUE(sameVec2(body.position, Vec2(0.25f, -0.5f)));
}

TEST(BaseEntityUpdate, LeavesAMasslessBodyAtRest) {
    PlainBody body;
    body.setPosition(Vec2(7.0f, 8.0f));
    body.update();
    EXPECT_TRUE(sameVec2(body.velocity, Vec2(0.0f, 0.0f)));
    EXPECT_TRUE(sameVec2(body.position, Vec2(7.0f, 8.0f)));
}
