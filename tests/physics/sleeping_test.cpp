// Bodies at rest fall asleep under the stable solver and cost nothing until something wakes them:
// a body dropped onto them, a grab, a removal, a change of gravity. A body spinning in place is not
// at rest. Sleeping changes nothing of how the pairs are found: both searches give the same bits.

#include "core/entityarray.h"
#include "physics/box.h"
#include "physics/world.h"
#include "scenes/sandbox.h"
#include "scenes/scene.h"
#include "tests/physics/samebodies.h"
#include "text/statetext.h"

#include <gtest/gtest.h>

#include <algorithm>  // std::max
#include <functional> // std::function

namespace {

const Scene pile{SceneKind::Grid, 100, World::Solver::Stable};

// Steps until no body is awake, at most limit; the steps taken.
int stepUntilAsleep(Sandbox &sandbox, int limit) {
    int steps = 0;
    do {
        sandbox.step();
        ++steps;
    } while (sandbox.physics().awakeCount(sandbox.bodies()) > 0 && steps < limit);
    return steps;
}

float highestCircle(const EntityArray &bodies) {
    float top = bodies[3]->position.y;
    for (int i = 3; i < bodies.size(); ++i)
        top = std::max(top, bodies[i]->position.y);
    return top;
}

} // namespace

// Asleep, the pile stands still to the bit; the designed solver never lets a body sleep.
TEST(Sleeping, APileAtRestFallsAsleepAndThenStandsStillToTheBit) {
    Sandbox sandbox(pile);
    EXPECT_LT(stepUntilAsleep(sandbox, 600), 600);
    const std::string asleep = stateText(sandbox.bodies());
    for (int s = 0; s < 100; ++s)
        sandbox.step();
    EXPECT_EQ(stateText(sandbox.bodies()), asleep);
    EXPECT_TRUE(sandbox.physics().isAsleep(50));

    Sandbox designed(Scene{SceneKind::Grid, 100, World::Solver::Designed});
    for (int s = 0; s < 600; ++s)
        designed.step();
    EXPECT_EQ(designed.physics().awakeCount(designed.bodies()), designed.bodies().size());
    EXPECT_FALSE(designed.physics().isAsleep(50));
}

// With sleeping turned off, as the benchmark runs the pyramid, a pile that would sleep is stepped
// whole.
TEST(Sleeping, AWorldWithSleepingOffStepsEveryBody) {
    EntityArray bodies(pile.capacity());
    populateScene(bodies, pile);
    World world(World::PairSearch::BroadPhase, pile.solver);
    world.allowSleeping(false);
    for (int s = 0; s < 600; ++s)
        world.step(bodies);
    EXPECT_EQ(world.awakeCount(bodies), bodies.size());
    EXPECT_FALSE(world.isAsleep(50));
    deleteEntities(bodies);
}

// Each way of waking a sleeping pile wakes it within the step, and the pile falls asleep again.
TEST(Sleeping, WhatTouchesASleepingPileWakesIt) {
    const struct {
        const char *what;
        std::function<void(Sandbox &)> act;
    } cases[] = {
        {"a circle dropped onto it", [](Sandbox &s) { s.spawn(Vec2(640, 500)); }},
        {"a grab", [](Sandbox &s) { s.wake(60); }},
        {"a removal", [](Sandbox &s) { s.remove(40); }},
        {"gravity turned",
         [](Sandbox &s) {
             SandboxSettings settings = s.settings();
             settings.step.gravity = Vec2(-1, 0);
             s.changeSettings(settings);
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Sandbox sandbox(pile);
        ASSERT_LT(stepUntilAsleep(sandbox, 600), 600);
        const float top = highestCircle(sandbox.bodies());
        c.act(sandbox);
        bool woke = false;
        for (int s = 0; s < 200 && !woke; ++s) {
            sandbox.step();
            woke = sandbox.physics().awakeCount(sandbox.bodies()) > 1;
        }
        EXPECT_TRUE(woke);
        EXPECT_LT(stepUntilAsleep(sandbox, 1500), 1500);
        // What fell onto the pile lies on it, no lower than its top row.
        const BaseEntity &last = *sandbox.bodies()[sandbox.bodies().size() - 1];
        if (sandbox.bodies().size() > pile.bodyCount()) {
            EXPECT_GT(last.position.y, top - 30);
        }
    }
}

// A body turning in place, with no gravity, covers ground at its rim: it stays awake. The same
// body at rest falls asleep after exactly stepsToSleep steps.
TEST(Sleeping, ABodySpinningInPlaceIsNotAtRest) {
    for (const bool box : {false, true}) {
        for (const float spin : {0.0f, 0.01f}) {
            SCOPED_TRACE(std::string(box ? "box" : "circle") + " spinning at " +
                         std::to_string(spin));
            EntityArray bodies(1);
            ASSERT_TRUE(box ? addDroppedBox(bodies, 300, 300) : addDemoCircle(bodies, 300, 300));
            bodies[0]->setAngularVelocity(spin);
            World world(World::PairSearch::BroadPhase, World::Solver::Stable);
            world.setSettings(StepSettings{Vec2(0, 0), 0.8f});
            for (int s = 1; s < SleepingBodies::stepsToSleep; ++s)
                world.step(bodies);
            EXPECT_FALSE(world.isAsleep(0));
            for (int s = 0; s < 100; ++s)
                world.step(bodies);
            EXPECT_EQ(world.isAsleep(0), spin == 0);
            deleteEntities(bodies);
        }
    }
}

// The awake bodies' pairs with the sleeping ones are found through an index of those at rest:
// the same contacts, in the same order, as testing every pair.
TEST(Sleeping, BothPairSearchesGiveTheSameBitsThroughSleepAndWaking) {
    Sandbox broad(pile, World::PairSearch::BroadPhase);
    Sandbox all(pile, World::PairSearch::AllPairs);
    for (int s = 0; s < 900; ++s) {
        for (Sandbox *sandbox : {&broad, &all}) {
            if (s == 450)
                sandbox->spawn(Vec2(500, 600));
            sandbox->step();
        }
        ASSERT_TRUE(sameBodies(broad.bodies(), all.bodies(), broad.bodies().size()))
            << "step " << s;
    }
}
