#include "ui/panellayout.h"

#include "render/textpanel.h"

#include <algorithm> // std::max

namespace {

// Logical pixels left free at the window's edges and between panels.
constexpr int gap = 8;

QSize roomOf(const PanelRoom &panel, bool shown, int fontPixelSize) {
    return shown ? panel(fontPixelSize) : QSize(0, 0);
}

bool fits(QSize room, const PanelLayout &layout, const PanelRoom &statistics,
          const PanelRoom &help) {
    const QSize left = roomOf(statistics, layout.statistics, layout.fontPixelSize);
    const QSize right = roomOf(help, layout.help, layout.fontPixelSize);
    const int between = layout.statistics && layout.help ? gap : 0;
    return left.width() + between + right.width() + 2 * gap <= room.width() &&
           std::max(left.height(), right.height()) + gap <= room.height();
}

// The layout at the largest font size that fits, or at the smallest.
PanelLayout largestThatFits(QSize room, PanelLayout layout, const PanelRoom &statistics,
                            const PanelRoom &help) {
    for (layout.fontPixelSize = TextPanel::largestFontPixelSize;
         layout.fontPixelSize > TextPanel::smallestFontPixelSize; --layout.fontPixelSize) {
        if (fits(room, layout, statistics, help))
            break;
    }
    return layout;
}

} // namespace

PanelLayout layOutPanels(QSize windowSize, const PanelRoom &statistics, const PanelRoom &help,
                         const PanelRoom &status) {
    QSize room = windowSize;
    int statusSize = 0;
    if (status) {
        statusSize = TextPanel::largestFontPixelSize;
        while (statusSize > TextPanel::smallestFontPixelSize &&
               status(statusSize).width() + 2 * gap > windowSize.width())
            --statusSize;
        room.setHeight(room.height() - status(statusSize).height() - gap);
    }
    const int maxHeight = room.height() - gap;
    PanelLayout both{static_cast<bool>(statistics), static_cast<bool>(help), 0, maxHeight,
                     statusSize};
    both = largestThatFits(room, both, statistics, help);
    if (!both.statistics || !both.help || fits(room, both, statistics, help))
        return both;
    return largestThatFits(room, PanelLayout{false, true, 0, maxHeight, statusSize}, statistics,
                           help);
}
