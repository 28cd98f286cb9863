#include "tests/app/probewindow.h"

#include "physics/baseentity.h"
#include "tests/math/exactfloat.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cmath>            // std::abs, std::floor
#include <initializer_list> // std::initializer_list
#include <vector>           // std::vector

namespace {

// A pixel the picture must show in a known colour, in device pixels from the bottom-left.
struct ExpectedPixel {
    int x;
    int y;
    Rgb colour;
    const char *where;
};

void expectPixels(const Framebuffer &picture, const std::vector<ExpectedPixel> &pixels) {
    for (const ExpectedPixel &p : pixels)
        EXPECT_EQ(picture.pixel(p.x, p.y), p.colour)
            << p.where << " at (" << p.x << ", " << p.y << ")";
}

bool isCircleColour(Rgb colour) {
    return !(colour == white) && !(colour == wallColour);
}

// Interpolated colours are exact only at the vertices; a pixel centre next to one gets a few
// hundredths of its neighbours.
::testing::AssertionResult nearColour(Rgb actual, double red, double green, double blue) {
    constexpr double tolerance = 5;
    if (std::abs(actual.red - 255 * red) <= tolerance &&
        std::abs(actual.green - 255 * green) <= tolerance &&
        std::abs(actual.blue - 255 * blue) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "rgb(" << actual.red << ", " << actual.green << ", " << actual.blue
           << ") is not near (" << 255 * red << ", " << 255 * green << ", " << 255 * blue << ")";
}

class MainWindowDrawing : public ::testing::Test {
protected:
    // Shows the window and keeps the picture and viewport of the given frame.
    void runUntilFrame(int frame) {
        window.observeFrames([this, frame](int current) {
            if (current == frame) {
                window.viewport(viewport);
                picture = window.readFramebuffer();
            }
        });
        showAsMainDoes(window);
        ASSERT_TRUE(waitForFrames(window, frame));
    }

    ProbeWindow window;
    Framebuffer picture;
    int viewport[4] = {};
};

} // namespace

TEST_F(MainWindowDrawing, FirstFrameShowsWhiteBackgroundAndWallsInWallColourExactly) {
    runUntilFrame(1);
    ASSERT_EQ(picture.width, 1280);
    ASSERT_EQ(picture.height, 720);
    const Rgb wall = wallColour;
    // Pixel centres sit half a unit inside or outside each edge: one scene unit is one pixel.
    expectPixels(picture, {
                              {0, 0, white, "bottom-left corner"},
                              {1279, 0, white, "bottom-right corner"},
                              {0, 719, white, "top-left corner"},
                              {1279, 719, white, "top-right corner"},
                              {640, 300, white, "inside the box"},
                              {640, 600, white, "above the box"},
                              // Floor, x in [100, 1180], y in [50, 65].
                              {99, 57, white, "left of the floor"},
                              {100, 57, wall, "floor's left end"},
                              {1179, 57, wall, "floor's right end"},
                              {1180, 57, white, "right of the floor"},
                              {640, 49, white, "below the floor"},
                              {640, 50, wall, "floor's bottom"},
                              {640, 64, wall, "floor's top"},
                              {640, 65, white, "above the floor"},
                              // Left wall, x in [100, 115], y in [80, 480].
                              {99, 200, white, "left of the left wall"},
                              {100, 200, wall, "left wall's outer side"},
                              {114, 200, wall, "left wall's inner side"},
                              {115, 200, white, "right of the left wall"},
                              {107, 79, white, "gap under the left wall"},
                              {107, 80, wall, "left wall's foot"},
                              {107, 479, wall, "left wall's top"},
                              {107, 480, white, "above the left wall"},
                              // Right wall, x in [1165, 1180], y in [80, 480].
                              {1164, 200, white, "left of the right wall"},
                              {1165, 200, wall, "right wall's inner side"},
                              {1179, 200, wall, "right wall's outer side"},
                              {1180, 200, white, "right of the right wall"},
                              {1172, 79, white, "gap under the right wall"},
                              {1172, 80, wall, "right wall's foot"},
                              {1172, 479, wall, "right wall's top"},
                              {1172, 480, white, "above the right wall"},
                          });
}

TEST_F(MainWindowDrawing, FirstFrameDrawsLowestCircleAtItsStartWithTheRampOfVertexZeroOnTop) {
    runUntilFrame(1);
    ASSERT_EQ(picture.width, 1280);
    // Circle 0 has its centre at (200, 300) and vertex 0, its top, at (200, 330).
    EXPECT_TRUE(nearColour(picture.pixel(200, 329), 1, 0.2919, 0.1732));
    EXPECT_EQ(picture.pixel(200, 330), white);
    EXPECT_TRUE(isCircleColour(picture.pixel(200, 300)));
    EXPECT_TRUE(isCircleColour(picture.pixel(200, 271)));
    EXPECT_EQ(picture.pixel(200, 269), white);
}

TEST_F(MainWindowDrawing, CirclesReachTheFloorAfterAFewHundredFrames) {
    constexpr int firstFrameLooked = 300;
    // A circle drawn with its centre this low covers the pixel row just above the floor, y = 66:
    // its 15-sided fan reaches 29.34 units below the centre.
    constexpr float highestCentreReachingRow66 = 66.5f + 29;
    Vec2 restingCentre;
    window.observeFrames([&](int frame) {
        if (frame < firstFrameLooked || picture.width != 0)
            return;
        for (const BodyState &body : snapshotBodies(window.bodies())) {
            const Vec2 c = body.position;
            if (body.type == BodyType::Circle && c.x > 125 && c.x < 1155 && c.y > 80 &&
                c.y < highestCentreReachingRow66) {
                restingCentre = c;
                picture = window.readFramebuffer();
                return;
            }
        }
    });
    showAsMainDoes(window);
    ASSERT_TRUE(QTest::qWaitFor([&] { return picture.width != 0; }, 60000))
        << "no circle reached the floor in " << window.frames() << " frames";

    ASSERT_EQ(picture.width, 1280);
    const int x = static_cast<int>(std::floor(restingCentre.x));
    EXPECT_TRUE(isCircleColour(picture.pixel(x, 66)))
        << "circle at (" << restingCentre.x << ", " << restingCentre.y << ")";
}

TEST_F(MainWindowDrawing, ResizingStretchesThePictureButNotTheScene) {
    runUntilFrame(1);
    picture = Framebuffer();
    std::vector<BodyState> walls;
    window.observeFrames([&](int) {
        if (picture.width == 0 && window.geometry().size() == QSize(640, 360)) {
            window.viewport(viewport);
            picture = window.readFramebuffer();
            std::vector<BodyState> bodies = snapshotBodies(window.bodies());
            walls.assign(bodies.begin(), bodies.begin() + 3);
        }
    });
    window.resize(640, 360);
    ASSERT_TRUE(QTest::qWaitFor([&] { return picture.width != 0; }, 10000));

    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 360);
    ASSERT_EQ(walls.size(), 3u);
    EXPECT_TRUE(sameVec2(walls[0].position, Vec2(1165, 80)));
    EXPECT_TRUE(sameVec2(walls[1].position, Vec2(100, 80)));
    EXPECT_TRUE(sameVec2(walls[2].position, Vec2(100, 50)));

    // One scene unit is now half a pixel: the floor spans x in [50, 590], y in [25, 32.5].
    const Rgb wall = wallColour;
    expectPixels(picture, {
                              {49, 28, white, "left of the floor"},
                              {50, 28, wall, "floor's left end"},
                              {589, 28, wall, "floor's right end"},
                              {590, 28, white, "right of the floor"},
                              {320, 24, white, "below the floor"},
                              {320, 25, wall, "floor's bottom"},
                              {320, 31, wall, "floor's top"},
                              {320, 33, white, "above the floor"},
                              {53, 100, wall, "left wall"},
                              {53, 36, white, "gap under the left wall"},
                              {586, 100, wall, "right wall"},
                              {320, 300, white, "above the box"},
                          });
    int floorPixelsInRow = 0;
    for (int x = 0; x < picture.width; ++x)
        floorPixelsInRow += picture.pixel(x, 28) == wall ? 1 : 0;
    EXPECT_EQ(floorPixelsInRow, 540);
}

TEST_F(MainWindowDrawing, NoOpenGlErrorInHundredsOfFrames) {
    showAsMainDoes(window);
    ASSERT_TRUE(waitForFrames(window, 400));
    EXPECT_EQ(window.firstGlError(), static_cast<GLenum>(GL_NO_ERROR))
        << "first error after frame " << window.firstGlErrorFrame();
}

// The picture of the window paused at options.steps, and the picture once the keys were pressed.
void picturesBeforeAndAfterKeys(const LaunchOptions &options, std::initializer_list<Qt::Key> keys,
                                Framebuffer &before, Framebuffer &after) {
    ProbeWindow window(options);
    Framebuffer last;
    window.observeFrames([&](int) { last = window.readFramebuffer(); });
    showAsMainDoes(window);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.paused(); }, 60000));
    ASSERT_TRUE(waitForFrames(window, window.frames() + 2));
    before = last;
    for (const Qt::Key key : keys)
        QTest::keyClick(&window, key);
    ASSERT_TRUE(waitForFrames(window, window.frames() + 2));
    after = last;
}

// The contacts, bounds and velocities of a settling grid drawn over it change no pixel of the
// bodies: every pixel not in a layer's colour is what it was without the layers.
TEST(MainWindowLayers, DrawOverTheBodiesWithoutTouchingTheirPixels) {
    LaunchOptions options;
    options.scene = Scene{SceneKind::Grid, 1000, World::Solver::Stable};
    options.steps = 300;
    Framebuffer plain;
    Framebuffer layered;
    ASSERT_NO_FATAL_FAILURE(
        picturesBeforeAndAfterKeys(options, {Qt::Key_C, Qt::Key_A, Qt::Key_V}, plain, layered));

    // The sleeping layer dims the bodies under it: it is left out here.
    constexpr int lineLayers = DebugLayers::Sleeping;
    int inLayerColours[lineLayers] = {};
    for (int y = 0; y < plain.height; ++y) {
        for (int x = 0; x < plain.width; ++x) {
            const Rgb colour = layered.pixel(x, y);
            bool layer = false;
            for (int l = 0; l < lineLayers; ++l) {
                const Rgb layerColour{layerColours[l].red, layerColours[l].green,
                                      layerColours[l].blue};
                if (colour == layerColour) {
                    ++inLayerColours[l];
                    layer = true;
                }
            }
            if (!layer) {
                ASSERT_EQ(colour, plain.pixel(x, y)) << "at (" << x << ", " << y << ")";
            }
        }
    }
    for (const int count : inLayerColours)
        EXPECT_GT(count, 20);
}

// A grid that has fallen asleep, with the sleeping layer on: every circle is dimmed, and nothing
// else changes: the background and the walls, which never sleep, keep every pixel.
TEST(MainWindowLayers, TheSleepingLayerDimsTheSleepingBodiesAlone) {
    LaunchOptions options;
    options.scene = Scene{SceneKind::Grid, 100, World::Solver::Stable};
    options.steps = 400;
    // Asleep by then; many steps a frame, so the test takes a second.
    options.rate = 6000;
    Framebuffer plain;
    Framebuffer dimmed;
    ASSERT_NO_FATAL_FAILURE(picturesBeforeAndAfterKeys(options, {Qt::Key_Z}, plain, dimmed));

    int darker = 0;
    for (int y = 0; y < plain.height; ++y) {
        for (int x = 0; x < plain.width; ++x) {
            const Rgb before = plain.pixel(x, y);
            const Rgb after = dimmed.pixel(x, y);
            if (before == white || before == wallColour) {
                ASSERT_EQ(after, before) << "at (" << x << ", " << y << ")";
                continue;
            }
            ASSERT_LE(after.red + after.green + after.blue, before.red + before.green + before.blue)
                << "at (" << x << ", " << y << ")";
            darker += after == before ? 0 : 1;
        }
    }
    // 100 circles of radius 30: thousands of pixels each.
    EXPECT_GT(darker, 100 * 1000);
}
