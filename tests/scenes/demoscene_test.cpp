#include "scenes/scene.h"

#include "core/entityarray.h"
#include "physics/circle.h"
#include "physics/rectangle.h"
#include "physics/world.h"
#include "tests/math/exactfloat.h"
#include "tests/physics/pairsearches.h"

#include <gtest/gtest.h>

#include <cmath>   // std::isfinite, std::fabs
#include <cstdint> // std::uint32_t, std::uint64_t
#include <cstdio>  // std::printf, std::snprintf
#include <string>  // std::string

namespace {

// Golden hashes of the whole scene's state. Any change to the arithmetic of the step, the order
// of the pairs or the scene itself changes them.
constexpr std::uint64_t hashAfter1000Steps = 0x6f590fcfc22ec859;
constexpr std::uint64_t hashAfter10000Steps = 0x6ae52d9ff4eac59c;

// FNV-1a over 32-bit values, each fed least significant byte first whatever the machine's byte
// order.
class StateHash {
public:
    void add(std::uint32_t value) {
        for (int byte = 0; byte < 4; ++byte) {
            hash ^= (value >> (8 * byte)) & 0xffu;
            hash *= 0x100000001b3u;
        }
    }
    void add(float value) { add(bitsOf(value)); }
    void add(Vec2 value) {
        add(value.x);
        add(value.y);
    }
    std::uint64_t value() const { return hash; }

private:
    std::uint64_t hash = 0xcbf29ce484222325u;
};

// Every field of every body, not the object bytes: the vtable pointer and padding are not state.
std::uint64_t hashOf(const EntityArray &entities) {
    StateHash hash;
    for (int i = 0; i < entities.size(); ++i) {
        const BaseEntity *body = entities[i];
        hash.add(static_cast<std::uint32_t>(body->type()));
        hash.add(body->position);
        hash.add(body->velocity);
        hash.add(body->force);
        hash.add(body->inverseMass);
        hash.add(body->mass);
        hash.add(body->gravityScale);
        hash.add(static_cast<std::uint32_t>(body->isStatic));
        if (body->type() == 0) {
            hash.add(static_cast<const Circle *>(body)->radius);
        } else {
            const auto *rect = static_cast<const RectAngle *>(body);
            hash.add(static_cast<std::uint32_t>(rect->width));
            hash.add(static_cast<std::uint32_t>(rect->height));
        }
    }
    return hash.value();
}

std::string hexOf(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%016llx", static_cast<unsigned long long>(value));
    return text;
}

::testing::AssertionResult hashIs(std::uint64_t actual, std::uint64_t expected) {
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "actual hash " << hexOf(actual) << ", expected " << hexOf(expected);
}

bool isFinite(const BaseEntity *body) {
    return std::isfinite(body->position.x) && std::isfinite(body->position.y) &&
           std::isfinite(body->velocity.x) && std::isfinite(body->velocity.y);
}

::testing::AssertionResult isWall(const BaseEntity *body, Vec2 position, int width, int height) {
    if (body->type() != 1)
        return ::testing::AssertionFailure() << "not a rectangle";
    const auto *wall = static_cast<const RectAngle *>(body);
    if (wall->width != width || wall->height != height)
        return ::testing::AssertionFailure() << "size " << wall->width << " x " << wall->height;
    if (!sameVec2(wall->position, position))
        return ::testing::AssertionFailure()
               << "position: " << sameVec2(wall->position, position).message();
    if (!wall->isStatic || wall->inverseMass != 0 || wall->mass != 0)
        return ::testing::AssertionFailure() << "not a static massless body";
    if (!sameVec2(wall->velocity, Vec2(0.0f, 0.0f)))
        return ::testing::AssertionFailure() << "moving";
    return ::testing::AssertionSuccess();
}

// Circle i of the column starts at (200 or 230, 300 + 100 i).
Vec2 startOfCircle(int i) {
    return Vec2(i % 2 == 1 ? 230.0f : 200.0f, static_cast<float>(300 + 100 * i));
}

class OwnedScene {
public:
    explicit OwnedScene(int capacity) : entities(capacity) { populateDemoScene(entities); }
    ~OwnedScene() { deleteEntities(entities); }
    EntityArray entities;
};

} // namespace

TEST(DemoScene, HoldsTheWallsThenOneHundredCircles) {
    const OwnedScene scene(1024);
    const EntityArray &entities = scene.entities;
    ASSERT_EQ(entities.size(), 103);
    EXPECT_TRUE(isWall(entities[0], Vec2(1165.0f, 80.0f), 15, 400)) << "right wall";
    EXPECT_TRUE(isWall(entities[1], Vec2(100.0f, 80.0f), 15, 400)) << "left wall";
    EXPECT_TRUE(isWall(entities[2], Vec2(100.0f, 50.0f), 1080, 15)) << "floor";
    for (int i = 0; i < 100; ++i) {
        const BaseEntity *body = entities[3 + i];
        ASSERT_EQ(body->type(), 0) << "circle " << i;
        EXPECT_EQ(static_cast<const Circle *>(body)->radius, 30.0f);
        EXPECT_TRUE(sameVec2(body->position, startOfCircle(i))) << "circle " << i;
        EXPECT_TRUE(sameVec2(body->velocity, Vec2(0.0f, 0.0f)));
        EXPECT_TRUE(sameVec2(body->force, Vec2(0.0f, 0.0f)));
        EXPECT_EQ(body->mass, 0.02f);
        EXPECT_EQ(body->inverseMass, 50.0f);
        EXPECT_EQ(body->gravityScale, 1.0f);
        EXPECT_FALSE(body->isStatic);
    }
    EXPECT_TRUE(sameVec2(entities[3]->position, Vec2(200.0f, 300.0f)));
    EXPECT_TRUE(sameVec2(entities[4]->position, Vec2(230.0f, 400.0f)));
    EXPECT_TRUE(sameVec2(entities[102]->position, Vec2(230.0f, 10200.0f)));
}

TEST(DemoScene, FillsASmallArrayInOrderAndDropsTheRest) {
    const OwnedScene scene(10);
    const EntityArray &entities = scene.entities;
    ASSERT_EQ(entities.size(), 10);
    EXPECT_TRUE(isWall(entities[0], Vec2(1165.0f, 80.0f), 15, 400));
    EXPECT_TRUE(sameVec2(entities[9]->position, startOfCircle(6)));
}

TEST(DemoScene, WallsAloneAreRightLeftFloor) {
    EntityArray entities(4);
    addDemoWalls(entities);
    ASSERT_EQ(entities.size(), 3);
    EXPECT_TRUE(isWall(entities[0], Vec2(1165.0f, 80.0f), 15, 400));
    EXPECT_TRUE(isWall(entities[1], Vec2(100.0f, 80.0f), 15, 400));
    EXPECT_TRUE(isWall(entities[2], Vec2(100.0f, 50.0f), 1080, 15));
    addDemoCircle(entities, 12.5f, 7.0f);
    addDemoCircle(entities, 1.0f, 2.0f);
    ASSERT_EQ(entities.size(), 4);
    EXPECT_TRUE(sameVec2(entities[3]->position, Vec2(12.5f, 7.0f)));
    EXPECT_EQ(entities[3]->inverseMass, 50.0f);
    deleteEntities(entities);
}

class DemoSceneStep : public ::testing::TestWithParam<World::PairSearch> {
protected:
    OwnedScene scene{1024};
    EntityArray &entities = scene.entities;
    World world{GetParam()};

    void run(int steps) {
        for (int s = 0; s < steps; ++s)
            world.step(entities);
    }
};

TEST_P(DemoSceneStep, FirstStepOnlyAddsGravity) {
    run(1);
    EXPECT_TRUE(world.contacts.empty());
    EXPECT_TRUE(isWall(entities[0], Vec2(1165.0f, 80.0f), 15, 400));
    EXPECT_TRUE(isWall(entities[1], Vec2(100.0f, 80.0f), 15, 400));
    EXPECT_TRUE(isWall(entities[2], Vec2(100.0f, 50.0f), 1080, 15));
    for (int i = 0; i < 100; ++i) {
        EXPECT_TRUE(sameVec2(entities[3 + i]->position, startOfCircle(i))) << "circle " << i;
        EXPECT_TRUE(sameVec2(entities[3 + i]->velocity, Vec2(0.0f, -0.02f))) << "circle " << i;
    }
}

TEST_P(DemoSceneStep, AfterThreeThousandStepsSomeRestInTheBoxAndTheRestHaveFallenOut) {
    run(3000);
    int resting = 0;
    int fallen = 0;
    for (int i = 3; i < entities.size(); ++i) {
        const BaseEntity *circle = entities[i];
        ASSERT_TRUE(isFinite(circle)) << "body " << i;
        const Vec2 p = circle->position;
        const Vec2 v = circle->velocity;
        // The box's inside: between the inner faces of the walls, from the floor's top up to
        // the top of the walls.
        const bool inBox = p.x > 115.0f && p.x < 1165.0f && p.y > 65.0f && p.y < 480.0f;
        if (inBox && std::fabs(v.x) < 0.1f && std::fabs(v.y) < 0.1f)
            ++resting;
        else if (p.y < 50.0f)
            ++fallen;
    }
    std::printf("after 3000 steps: %d circles rest in the box, %d have fallen below the floor\n",
                resting, fallen);
    EXPECT_GE(resting, 20);
    EXPECT_GE(fallen, 30);
    EXPECT_EQ(resting + fallen, 100);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(sameVec2(entities[i]->velocity, Vec2(0.0f, 0.0f))) << "wall " << i;
}

TEST_P(DemoSceneStep, StateMatchesTheGoldenHashes) {
    run(1000);
    EXPECT_TRUE(hashIs(hashOf(entities), hashAfter1000Steps)) << "after 1000 steps";
    run(9000);
    EXPECT_TRUE(hashIs(hashOf(entities), hashAfter10000Steps)) << "after 10000 steps";
}

INSTANTIATE_TEST_SUITE_P(PairSearches, DemoSceneStep, everyPairSearch(), pairSearchName);
