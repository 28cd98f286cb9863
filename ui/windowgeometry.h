#pragma once

// Where the pointer is over a window, and the window's size, in its logical pixels (origin
// top-left, y down), as every front end measures them: the desktop converts Qt's, the web page the
// browser's CSS pixels.
struct WindowPoint {
    double x = 0;
    double y = 0;
};

struct WindowSize {
    int width = 0;
    int height = 0;
};
