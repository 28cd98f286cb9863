#include "tests/app/probewindow.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

struct WindowSize {
    int width;
    int height;
    // Whether the statistics fit beside the help at that size.
    bool both;
};

void PrintTo(const WindowSize &size, std::ostream *out) {
    *out << size.width << " x " << size.height;
}

class MainWindowPanels : public ::testing::TestWithParam<WindowSize> {};

} // namespace

// The statistics and the help never cover each other, and nothing is drawn outside the areas
// they report: at small sizes with smaller text, at the smallest with the help alone.
TEST_P(MainWindowPanels, NeverOverlapAtAnySize) {
    const WindowSize size = GetParam();
    LaunchOptions options;
    options.paused = true;
    ProbeWindow window(options);
    Framebuffer last;
    window.observeFrames([&](int) { last = window.readFramebuffer(); });
    showAsMainDoes(window);
    window.resize(size.width, size.height);
    ASSERT_TRUE(QTest::qWaitFor([&] { return last.width == window.width(); }, 30000));
    ASSERT_TRUE(waitForFrames(window, window.frames() + 3));
    const Framebuffer bare = last;
    QTest::keyClick(&window, Qt::Key_H);
    QTest::keyClick(&window, Qt::Key_F1);
    ASSERT_TRUE(waitForFrames(window, window.frames() + 3));

    const std::vector<QRect> &areas = window.panelAreas();
    ASSERT_EQ(areas.size(), size.both ? 2u : 1u);
    if (size.both) {
        EXPECT_FALSE(areas[0].intersects(areas[1]));
    }
    const double ratio = window.devicePixelRatio();
    for (int y = 0; y < bare.height; ++y) {
        for (int x = 0; x < bare.width; ++x) {
            if (bare.pixel(x, y) == last.pixel(x, y))
                continue;
            // The framebuffer's row 0 is the bottom one.
            const QPoint logical(static_cast<int>(x / ratio),
                                 static_cast<int>((bare.height - 1 - y) / ratio));
            ASSERT_TRUE(areas[0].contains(logical) || (size.both && areas[1].contains(logical)))
                << "drawn at (" << logical.x() << ", " << logical.y() << ")";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, MainWindowPanels,
                         ::testing::Values(WindowSize{1280, 720, true}, WindowSize{560, 360, true},
                                           WindowSize{420, 600, false},
                                           WindowSize{320, 240, false}));
