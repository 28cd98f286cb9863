#include "ui/panellayout.h"

#include "render/textpanel.h"

#include <algorithm> // std::max

namespace {

// Logical pixels left free between the two panels.
constexpr int gap = 8;

bool fits(QSize windowSize, const PanelLayout &layout, const PanelRoom &statistics,
          const PanelRoom &help) {
    const QSize left = layout.statistics ? statistics(layout.fontPixelSize) : QSize(0, 0);
    const QSize right = layout.help ? help(layout.fontPixelSize) : QSize(0, 0);
    const int between = layout.statistics && layout.help ? gap : 0;
    return left.width() + between + right.width() + 2 * gap <= windowSize.width() &&
           std::max(left.height(), right.height()) + gap <= windowSize.height();
}

// The layout at the largest font size that fits, or at the smallest.
PanelLayout largestThatFits(QSize windowSize, PanelLayout layout, const PanelRoom &statistics,
                            const PanelRoom &help) {
    for (layout.fontPixelSize = TextPanel::largestFontPixelSize;
         layout.fontPixelSize > TextPanel::smallestFontPixelSize; --layout.fontPixelSize) {
        if (fits(windowSize, layout, statistics, help))
            break;
    }
    return layout;
}

} // namespace

PanelLayout layOutPanels(QSize windowSize, const PanelRoom &statistics, const PanelRoom &help) {
    PanelLayout both{static_cast<bool>(statistics), static_cast<bool>(help), 0};
    both = largestThatFits(windowSize, both, statistics, help);
    if (!both.statistics || !both.help || fits(windowSize, both, statistics, help))
        return both;
    return largestThatFits(windowSize, PanelLayout{false, true, 0}, statistics, help);
}
