// CTest runs this suite twice: as is, and with QT_SCALE_FACTOR=2, where each logical pixel of the
// window is two device pixels wide.

#include "tests/app/probewindow.h"

#include <QtGlobal>

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
