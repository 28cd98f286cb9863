#include "core/entityarray.h"

#include "physics/circle.h"

#include <gtest/gtest.h>

#include <type_traits> // std::is_copy_constructible_v, std::is_copy_assignable_v

// Two copies would free the same block of slots.
static_assert(!std::is_copy_constructible_v<EntityArray>);
static_assert(!std::is_copy_assignable_v<EntityArray>);

namespace {

struct ThreeCircles {
    Circle first{10.0f};
    Circle second{20.0f};
    Circle third{30.0f};
};

} // namespace

TEST(EntityArray, StartsEmpty) {
    const EntityArray entities(1024);
    EXPECT_EQ(entities.size(), 0);
}

TEST(EntityArray, KeepsBodiesInInsertionOrder) {
    ThreeCircles bodies;
    EntityArray entities(8);
    EXPECT_TRUE(entities.append(&bodies.second));
    EXPECT_TRUE(entities.append(&bodies.first));
    EXPECT_TRUE(entities.append(&bodies.third));
    ASSERT_EQ(entities.size(), 3);
    EXPECT_EQ(entities[0], &bodies.second);
    EXPECT_EQ(entities[1], &bodies.first);
    EXPECT_EQ(entities[2], &bodies.third);
}

TEST(EntityArray, HoldsTheSameBodyTwiceWhenAppendedTwice) {
    ThreeCircles bodies;
    EntityArray entities(2);
    EXPECT_TRUE(entities.append(&bodies.first));
    EXPECT_TRUE(entities.append(&bodies.first));
    EXPECT_EQ(entities.size(), 2);
    EXPECT_EQ(entities[1], &bodies.first);
}

TEST(EntityArray, AppendingToAFullArrayReturnsFalseAndChangesNothing) {
    ThreeCircles bodies;
    EntityArray entities(2);
    ASSERT_TRUE(entities.append(&bodies.first));
    ASSERT_TRUE(entities.append(&bodies.second));
    EXPECT_FALSE(entities.append(&bodies.third));
    EXPECT_FALSE(entities.append(&bodies.third));
    ASSERT_EQ(entities.size(), 2);
    EXPECT_EQ(entities[0], &bodies.first);
    EXPECT_EQ(entities[1], &bodies.second);
}

TEST(EntityArray, FillsExactlyToItsCapacity) {
    Circle circle(30.0f);
    EntityArray entities(1024);
    for (int i = 0; i < 1024; ++i)
        ASSERT_TRUE(entities.append(&circle)) << "slot " << i;
    EXPECT_FALSE(entities.append(&circle));
    EXPECT_EQ(entities.size(), 1024);
    EXPECT_EQ(entities.maxSize(), 1024);
}

TEST(EntityArray, ZeroCapacityHoldsNothing) {
    Circle circle(30.0f);
    EntityArray entities(0);
    EXPECT_FALSE(entities.append(&circle));
    EXPECT_EQ(entities.size(), 0);
}

TEST(EntityArray, NegativeCapacityBehavesAsZero) {
    Circle circle(30.0f);
    EntityArray entities(-5);
    EXPECT_EQ(entities.size(), 0);
    EXPECT_EQ(entities.maxSize(), 0);
    EXPECT_FALSE(entities.append(&circle));
    EXPECT_EQ(entities.size(), 0);
}

TEST(EntityArray, LeavesTheBodiesAliveWhenDestroyed) {
    Circle circle(30.0f);
    {
        EntityArray entities(4);
        entities.append(&circle);
    }
    // Deleting this stack object would have aborted the test.
    EXPECT_EQ(circle.radius, 30.0f);
}
