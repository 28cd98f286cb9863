#pragma once

#include <QSize>

#include <functional> // std::function

// Which of the window's panels are drawn, and how large their text is: the statistics take the
// top-left corner, the help the top-right one, the status lines (a replay playing, a prompt, a
// notice) the bottom-left one.
struct PanelLayout {
    bool statistics = false;
    bool help = false;
    int fontPixelSize = 0;
    // The most height the statistics and the help may take, above the status lines.
    int maxHeight = 0;
    // 0: no status lines.
    int statusFontPixelSize = 0;
};

// The room a panel takes at a font size; empty for a panel that is not shown.
using PanelRoom = std::function<QSize(int fontPixelSize)>;

// Lays the panels shown out in a window of windowSize logical pixels. The status lines come
// first, at the largest text that fits the window's width. Above them the statistics and the help
// stand side by side, at the largest text at which both fit, from TextPanel's largest size down to
// its smallest; when even the smallest leaves no room for both, the help takes the room alone,
// until it is closed. A panel that does not fit even so is drawn with the smallest text and cut
// short at maxHeight.
PanelLayout layOutPanels(QSize windowSize, const PanelRoom &statistics, const PanelRoom &help,
                         const PanelRoom &status);
