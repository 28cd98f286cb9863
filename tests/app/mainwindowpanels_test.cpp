#include "tests/app/probewindow.h"

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm> // std::any_of
#include <sstream>   // std::istringstream

namespace {

struct PanelSize {
    int width;
    int height;
    // Whether the statistics fit beside the help at that size.
    bool both;
};

void PrintTo(const PanelSize &size, std::ostream *out) {
    *out << size.width << " x " << size.height;
}

class MainWindowPanels : public ::testing::TestWithParam<PanelSize> {};

} // namespace

// The statistics, the help and the status line (here a replay's) never cover each other, and
// nothing is drawn outside the areas they report: at small sizes with smaller text, at the
// smallest with the help alone above the status.
TEST_P(MainWindowPanels, NeverOverlapAtAnySize) {
    const PanelSize size = GetParam();
    LaunchOptions options;
    options.paused = true;
    ProbeWindow window(options);
    std::istringstream text("rigid2d-replay 1\nscene demo 100\n100000 restart\n");
    FileFault fault;
    window.play(*readReplay(text, "long", EndRecord::Optional, fault));
    Framebuffer last;
    window.observeFrames([&](int) { last = window.readFramebuffer(); });
    showAsMainDoes(window);
    window.resize(size.width, size.height);
    ASSERT_TRUE(QTest::qWaitFor([&] { return last.width == window.width(); }, 30000));
    ASSERT_TRUE(waitForFrames(window, window.frames() + 3));
    // The replay's status line is there from the first frame on.
    const Framebuffer bare = last;
    QTest::keyClick(&window, Qt::Key_H);
    QTest::keyClick(&window, Qt::Key_F1);
    ASSERT_TRUE(waitForFrames(window, window.frames() + 3));

    const std::vector<QRect> &areas = window.panelAreas();
    ASSERT_EQ(areas.size(), size.both ? 3u : 2u);
    for (std::size_t i = 0; i < areas.size(); ++i) {
        for (std::size_t j = i + 1; j < areas.size(); ++j)
            EXPECT_FALSE(areas[i].intersects(areas[j])) << i << " and " << j;
    }
    const double ratio = window.devicePixelRatio();
    for (int y = 0; y < bare.height; ++y) {
        for (int x = 0; x < bare.width; ++x) {
            if (bare.pixel(x, y) == last.pixel(x, y))
                continue;
            // The framebuffer's row 0 is the bottom one.
            const QPoint logical(static_cast<int>(x / ratio),
                                 static_cast<int>((bare.height - 1 - y) / ratio));
            ASSERT_TRUE(std::any_of(areas.begin(), areas.end(),
                                    [&](const QRect &area) { return area.contains(logical); }))
                << "drawn at (" << logical.x() << ", " << logical.y() << ")";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, MainWindowPanels,
                         ::testing::Values(PanelSize{1280, 720, true}, PanelSize{560, 360, true},
                                           PanelSize{420, 600, false}, PanelSize{320, 240, false}));
