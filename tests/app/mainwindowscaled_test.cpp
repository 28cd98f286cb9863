// CTest runs this suite twice: as is, and with QT_SCALE_FACTOR=2, where each logical pixel of the
// window is two device pixels wide.

#include "tests/app/probewindow.h"

#include "core/entityarray.h"
#include "physics/baseentity.h"

#include <QCoreApplication>
#include <QTest>
#include <QWheelEvent>
#include <QtGlobal>

#include <cmath> // std::abs

#include <gtest/gtest.h>

namespace {

double scaleFactorFromEnvironment() {
    bool ok = false;
    const double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok ? factor : 1;
}

} // namespace

TEST(MainWindowScaled, ViewportCoversDevicePixelsWhileSceneStaysInLogicalUnits) {
    const double scale = scaleFactorFromEnvironment();
    const auto device = [scale](int logical) { return static_cast<int>(logical * scale); };

    ProbeWindow window;
    int viewport[4] = {};
    Framebuffer picture;
    window.observeFrames([&](int frame) {
        if (frame == 1) {
            window.viewport(viewport);
            picture = window.readFramebuffer();
        }
    });
    showAsMainDoes(window);
    ASSERT_TRUE(waitForFrames(window, 1));

    EXPECT_EQ(window.devicePixelRatio(), scale);
    EXPECT_EQ(window.geometry().size(), QSize(1280, 720));
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], device(1280));
    EXPECT_EQ(viewport[3], device(720));

    // The projection is still 1280 x 720 scene units: the floor, x in [100, 1180] and
    // y in [50, 65], lands on device pixels scaled by the same factor.
    ASSERT_EQ(picture.width, device(1280));
    ASSERT_EQ(picture.height, device(720));
    const Rgb wall = wallColour;
    const int row = device(57);
    const int column = device(640);
    EXPECT_EQ(picture.pixel(device(100) - 1, row), white);
    EXPECT_EQ(picture.pixel(device(100), row), wall);
    EXPECT_EQ(picture.pixel(device(1180) - 1, row), wall);
    EXPECT_EQ(picture.pixel(device(1180), row), white);
    EXPECT_EQ(picture.pixel(column, device(50) - 1), white);
    EXPECT_EQ(picture.pixel(column, device(50)), wall);
    EXPECT_EQ(picture.pixel(column, device(65) - 1), wall);
    EXPECT_EQ(picture.pixel(column, device(65)), white);
}

TEST(MainWindowScaled, ALeftClickDropsACircleUnderThePointerBeforeAndAfterAResize) {
    LaunchOptions options;
    options.paused = true;
    ProbeWindow window(options);
    showAsMainDoes(window);
    ASSERT_TRUE(waitForFrames(window, 1));
    const auto droppedAt = [&](QPoint pointer) {
        const int before = window.bodies().size();
        QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, pointer);
        EXPECT_EQ(window.bodies().size(), before + 1);
        return window.bodies()[window.bodies().size() - 1]->position;
    };

    // Scene units are logical pixels of the first size, y upward from the bottom.
    const Vec2 centre = droppedAt(QPoint(640, 200));
    EXPECT_LE(std::abs(centre.x - 640), 0.5f);
    EXPECT_LE(std::abs(centre.y - 520), 0.5f);

    // Half the size: the picture shrinks with the window, so a pointer position means twice as
    // much of the scene.
    window.resize(640, 360);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.geometry().size() == QSize(640, 360); }));
    const Vec2 stretched = droppedAt(QPoint(100, 300));
    EXPECT_LE(std::abs(stretched.x - 200), 0.5f);
    EXPECT_LE(std::abs(stretched.y - 120), 0.5f);
}

// Zoomed in eight times about a point and then panned by dragging with the right button: a drop
// lands under the pointer, and a press on a circle grabs that very circle and pulls it toward
// the pointer. The zoom keeps the scene point under the pointer where it was.
TEST(MainWindowScaled, DropsAndGrabsLandUnderThePointerWhenZoomedAndPanned) {
    LaunchOptions options;
    options.paused = true;
    ProbeWindow window(options);
    showAsMainDoes(window);
    ASSERT_TRUE(waitForFrames(window, 1));
    const WindowSize size{window.width(), window.height()};
    const QPoint pointer(640, 200);
    const WindowPoint at{640, 200};
    const Vec2 before = window.view().scenePoint(at, size);
    QWheelEvent wheel(QPointF(pointer), QPointF(window.mapToGlobal(pointer)), QPoint(),
                      QPoint(0, 12 * 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&window, &wheel);
    EXPECT_NEAR(window.view().scale(), 8, 1e-9);
    const Vec2 after = window.view().scenePoint(at, size);
    EXPECT_LE(std::abs(after.x - before.x), 0.01f);
    EXPECT_LE(std::abs(after.y - before.y), 0.01f);

    QTest::mousePress(&window, Qt::RightButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseMove(&window, QPoint(180, 60));
    QTest::mouseRelease(&window, Qt::RightButton, Qt::NoModifier, QPoint(180, 60));
    // The scene followed the pointer: what was under (100, 100) is under (180, 60), 80 and 40
    // logical pixels, 10 and 5 scene units at this zoom.
    const Vec2 panned = window.view().scenePoint(at, size);
    EXPECT_LE(std::abs(panned.x - (after.x - 10)), 0.01f);
    EXPECT_LE(std::abs(panned.y - (after.y - 5)), 0.01f);

    const int bodies = window.bodies().size();
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, pointer);
    ASSERT_EQ(window.bodies().size(), bodies + 1);
    const Vec2 dropped = window.bodies()[bodies]->position;
    EXPECT_LE(std::abs(dropped.x - panned.x), 1.0f / 16);
    EXPECT_LE(std::abs(dropped.y - panned.y), 1.0f / 16);

    // A press a few pixels off the new circle's centre grabs it, not one more drop.
    QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, pointer + QPoint(8, 8));
    EXPECT_EQ(window.session()->heldCircle(), bodies);
    EXPECT_EQ(window.bodies().size(), bodies + 1);
    QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, pointer + QPoint(8, 8));
    EXPECT_EQ(window.session()->heldCircle(), -1);
}
