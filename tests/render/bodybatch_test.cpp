// The batch against the bodies' own draw(), pixel for pixel, in the demonstration's window: its
// context, viewport and projection are the ones every picture of the program is drawn with.

#include "tests/app/probewindow.h"

#include "core/entityarray.h"
#include "physics/box.h"
#include "physics/circle.h"
#include "physics/rectangle.h"
#include "physics/world.h"
#include "render/bodybatch.h"
#include "render/bodydraw.h"
#include "render/gl21.h"
#include "render/wallcolor.h"
#include "scenes/scene.h"

#include <QOpenGLFunctions_2_1>

#include <gtest/gtest.h>

#include <functional> // std::function

namespace {

// A scene stepped without a window; its bodies go with it.
struct SteppedScene {
    SteppedScene(const Scene &scene, int steps) : entities(scene.capacity()) {
        populateScene(entities, scene);
        World world(World::PairSearch::BroadPhase, scene.solver);
        for (int s = 0; s < steps; ++s)
            world.step(entities);
    }
    ~SteppedScene() { deleteEntities(entities); }
    EntityArray entities;
};

void clearToWhite() {
    currentGl21()->glClearColor(1, 1, 1, 1);
    currentGl21()->glClear(GL_COLOR_BUFFER_BIT);
}

Framebuffer drawnPerBody(const ProbeWindow &window, const EntityArray &bodies) {
    clearToWhite();
    for (int i = 0; i < bodies.size(); ++i)
        bodies[i]->draw();
    return window.readFramebuffer();
}

bool showsACircle(const Framebuffer &picture) {
    for (int p = 0; p < picture.width * picture.height; ++p) {
        const Rgb c = picture.pixel(p % picture.width, p / picture.width);
        if (!(c == white) && !(c == wallColour))
            return true;
    }
    return false;
}

// Same size and every pixel the same; else how many differ, and the first of them.
::testing::AssertionResult samePicture(const Framebuffer &batched, const Framebuffer &perBody) {
    if (batched.width != perBody.width || batched.height != perBody.height)
        return ::testing::AssertionFailure() << "sizes differ";
    int differing = 0;
    int first = 0;
    for (int p = perBody.width * perBody.height - 1; p >= 0; --p) {
        const int x = p % perBody.width;
        const int y = p / perBody.width;
        if (!(batched.pixel(x, y) == perBody.pixel(x, y))) {
            ++differing;
            first = p;
        }
    }
    if (differing == 0)
        return ::testing::AssertionSuccess();
    const int x = first % perBody.width;
    const int y = first / perBody.width;
    return ::testing::AssertionFailure()
           << differing << " pixels differ, the first at (" << x << ", " << y << "): batched "
           << ::testing::PrintToString(batched.pixel(x, y)) << ", per body "
           << ::testing::PrintToString(perBody.pixel(x, y));
}

class BodyBatchPicture : public ::testing::Test {
protected:
    BodyBatchPicture() { useOpenGLBodyDrawing(); }

    // Runs check inside the window's first frame, after the window has drawn it, while its
    // context is current and before the swap.
    void insideFirstFrame(const std::function<void()> &check) {
        window.observeFrames([&](int frame) {
            if (frame == 1)
                check();
        });
        showAsMainDoes(window);
        ASSERT_TRUE(waitForFrames(window, 1));
    }

    // Draws the bodies each by itself, then all through the batch, and compares the pictures.
    // The batch must also leave the client arrays as each body's draw() expects them: off.
    void expectSamePicture(const EntityArray &bodies, const char *what) {
        SCOPED_TRACE(what);
        const Framebuffer perBody = drawnPerBody(window, bodies);
        ASSERT_TRUE(showsACircle(perBody)) << "no circle on screen";
        clearToWhite();
        batch.draw(bodies, mainWindowView);
        QOpenGLFunctions_2_1 *gl = currentGl21();
        EXPECT_FALSE(gl->glIsEnabled(GL_VERTEX_ARRAY));
        EXPECT_FALSE(gl->glIsEnabled(GL_COLOR_ARRAY));
        EXPECT_EQ(gl->glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_TRUE(samePicture(window.readFramebuffer(), perBody));
    }

    ProbeWindow window;
    BodyBatch batch;
};

} // namespace

TEST_F(BodyBatchPicture, DemoAtSeveralStepsIsPixelForPixelTheSame) {
    insideFirstFrame([&] {
        expectSamePicture(SteppedScene(Scene(), 1).entities, "demo, 1 step");
        expectSamePicture(SteppedScene(Scene(), 1000).entities, "demo, 1000 steps");
        expectSamePicture(SteppedScene(Scene(), 3000).entities, "demo, 3000 steps");
    });
}

TEST_F(BodyBatchPicture, DenseGridsAreTheSameWhileTheBatchGrowsAndShrinks) {
    insideFirstFrame([&] {
        expectSamePicture(SteppedScene(Scene{SceneKind::Grid, 1000}, 300).entities,
                          "grid of 1000, 300 steps");
        expectSamePicture(SteppedScene(Scene{SceneKind::Grid, 10000}, 450).entities,
                          "grid of 10000, 450 steps");
        expectSamePicture(SteppedScene(Scene(), 2000).entities, "demo after the grids");
    });
}

TEST_F(BodyBatchPicture, ArrayOrderDecidesWhatCoversWhatAcrossKinds) {
    // Circles and walls interleaved on one spot: each body must cover the ones before it.
    EntityArray bodies(8);
    for (int i = 0; i < 8; ++i) {
        BaseEntity *body =
            i % 3 == 1 ? static_cast<BaseEntity *>(new RectAngle(70, 12)) : new Circle(25 + 3 * i);
        body->setPosition(Vec2(600.5f + 7 * i, 340.25f + 5 * i));
        bodies.append(body);
    }
    insideFirstFrame([&] { expectSamePicture(bodies, "interleaved circles and walls"); });
    deleteEntities(bodies);
}

TEST_F(BodyBatchPicture, CirclesOnTheViewsEdgesAreDrawnUnderAnyTransform) {
    // Circles reaching into the 1280 x 720 view, or just missing it, by fractions of a pixel.
    EntityArray bodies(200);
    for (const float by : {-1.0f, -0.5f, -0.01f, 0.01f, 0.3f, 0.5f, 0.99f, 2.5f}) {
        for (const float along : {17.25f, 333.5f, 700.125f}) {
            const Vec2 centres[] = {Vec2(-30 + by, along), Vec2(1310 - by, along),
                                    Vec2(along, -30 + by), Vec2(along + 500, 750 - by)};
            for (const Vec2 centre : centres) {
                auto *circle = new Circle(30);
                circle->setPosition(centre);
                bodies.append(circle);
            }
        }
    }
    insideFirstFrame([&] {
        QOpenGLFunctions_2_1 *gl = currentGl21();
        expectSamePicture(bodies, "the window's transform");
        gl->glPushMatrix();
        gl->glTranslatef(1280, 0, 0);
        gl->glScalef(-0.75f, 1.5f, 1);
        expectSamePicture(bodies, "flipped and scaled");
        gl->glRotatef(10, 0, 0, 1);
        expectSamePicture(bodies, "rotated");
        gl->glPopMatrix();
    });
    deleteEntities(bodies);
}

// Circles that rolled and boxes that turned, tumbling in the mix: the batch turns them as each
// body's own draw() does.
TEST_F(BodyBatchPicture, TheTumblingMixIsPixelForPixelTheSame) {
    insideFirstFrame([&] {
        expectSamePicture(
            SteppedScene(Scene{SceneKind::Mix, 300, World::Solver::Stable}, 400).entities,
            "mix of 300, 400 steps");
    });
}

// A circle turned a quarter turn counter-clockwise carries the colour of its top, (1, 0.29, 0.17),
// to its left side; a box turned by 45 degrees is filled at its centre and along its diagonals'
// reach, and leaves white where its unturned corners were.
TEST_F(BodyBatchPicture, TurnedBodiesAreDrawnTurned) {
    EntityArray bodies(2);
    auto *circle = new Circle(30);
    circle->setPosition(Vec2(200, 300));
    circle->setRotation(Rotation{0, 1});
    bodies.append(circle);
    auto *box = new Box(40, 40);
    box->setPosition(Vec2(600, 300));
    box->setRotation(Rotation{0.70710677f, 0.70710677f});
    bodies.append(box);
    insideFirstFrame([&] {
        expectSamePicture(bodies, "a turned circle and a turned box");
        const Framebuffer picture = window.readFramebuffer();
        const Rgb left = picture.pixel(172, 300);
        EXPECT_GT(left.red, 220) << ::testing::PrintToString(left);
        EXPECT_LT(left.green, 120) << ::testing::PrintToString(left);
        const Rgb fill{boxRed, boxGreen, boxBlue};
        EXPECT_EQ(picture.pixel(600, 300), fill);
        EXPECT_EQ(picture.pixel(650, 300), fill);
        EXPECT_EQ(picture.pixel(600, 250), fill);
        EXPECT_EQ(picture.pixel(637, 337), white);
        EXPECT_EQ(picture.pixel(563, 263), white);
    });
    deleteEntities(bodies);
}
