#pragma once

#include <QSize>

#include <functional> // std::function

// Which of the window's panels are drawn, and how large their text is. The statistics take the
// top-left corner, the help the top-right one.
struct PanelLayout {
    bool statistics = false;
    bool help = false;
    int fontPixelSize = 0;
};

// The room a panel takes at a font size; empty for a panel that is hidden.
using PanelRoom = std::function<QSize(int fontPixelSize)>;

// Lays the panels shown out in a window of windowSize logical pixels: side by side, at the
// largest text at which they fit, from TextPanel's largest size down to its smallest. When even
// the smallest text leaves no room for both, the help takes the window alone, until it is
// closed; a panel that does not fit alone is drawn with the smallest text and cut off.
PanelLayout layOutPanels(QSize windowSize, const PanelRoom &statistics, const PanelRoom &help);
