#include "tests/app/probewindow.h"

#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "physics/world.h"
#include "scenes/scene.h"
#include "tests/math/exactfloat.h"

#include <QTest>

#include <gtest/gtest.h>

#include <vector> // std::vector

namespace {

// The scene as the window builds it, before any step.
std::vector<BodyState> startingScene() {
    EntityArray entities(1024);
    populateDemoScene(entities);
    std::vector<BodyState> states = snapshotBodies(entities);
    deleteEntities(entities);
    return states;
}

} // namespace

TEST(MainWindowSetup, OpensAt1280By720WithOneSamplePerPixel) {
    ProbeWindow window;
    showAsMainDoes(window);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.geometry().size(), QSize(1280, 720));
    EXPECT_EQ(window.requestedFormat().samples(), 1);
}

TEST(MainWindowScene, HasNoBodiesBeforeItsFirstFrame) {
    ProbeWindow window;
    EXPECT_EQ(window.bodies().size(), 0);
    EXPECT_EQ(window.physics().contacts.size(), 0);
}

TEST(MainWindowScene, FirstFrameBuildsWallsThenCirclesAndOnlyAcceleratesTheCircles) {
    ProbeWindow window;
    std::vector<BodyState> afterFirstFrame;
    int contactsAfterFirstFrame = -1;
    window.observeFrames([&](int frame) {
        if (frame == 1) {
            afterFirstFrame = snapshotBodies(window.bodies());
            contactsAfterFirstFrame = window.physics().contacts.size();
        }
    });
    showAsMainDoes(window);
    ASSERT_TRUE(waitForFrames(window, 1));

    ASSERT_EQ(afterFirstFrame.size(), 103u);
    // Right wall, left wall, floor: this order fixes the order of pair tests and drawing.
    EXPECT_EQ(afterFirstFrame[0].type, BodyType::RectAngle);
    EXPECT_TRUE(sameVec2(afterFirstFrame[0].position, Vec2(1165, 80)));
    EXPECT_EQ(afterFirstFrame[1].type, BodyType::RectAngle);
    EXPECT_TRUE(sameVec2(afterFirstFrame[1].position, Vec2(100, 80)));
    EXPECT_EQ(afterFirstFrame[2].type, BodyType::RectAngle);
    EXPECT_TRUE(sameVec2(afterFirstFrame[2].position, Vec2(100, 50)));
    EXPECT_TRUE(sameVec2(afterFirstFrame[3].position, Vec2(200, 300)));
    EXPECT_TRUE(sameVec2(afterFirstFrame[4].position, Vec2(230, 400)));
    EXPECT_TRUE(sameVec2(afterFirstFrame[102].position, Vec2(230, 10200)));

    // The step moves each body by its old velocity, zero, before gravity changes the velocity.
    const std::vector<BodyState> start = startingScene();
    ASSERT_EQ(start.size(), afterFirstFrame.size());
    for (size_t i = 0; i < afterFirstFrame.size(); ++i) {
        SCOPED_TRACE(i);
        const bool isWall = i < 3;
        EXPECT_EQ(afterFirstFrame[i].type, isWall ? BodyType::RectAngle : BodyType::Circle);
        EXPECT_TRUE(sameVec2(afterFirstFrame[i].position, start[i].position));
        EXPECT_TRUE(sameVec2(afterFirstFrame[i].velocity, isWall ? Vec2(0, 0) : Vec2(0, -0.02f)));
    }
    EXPECT_EQ(contactsAfterFirstFrame, 0);
}
