#pragma once

#include "math/vec2.h"

#include <QPointF>
#include <QSize>

// What a key asks of the sandbox window.
enum class KeyCommand {
    None,
    TogglePause,   // Space
    StepOnce,      // N, while paused
    Restart,       // R
    SwitchSolver,  // S: the other solver, the scene built again at step 0
    ToggleOverlay, // H
    Close,         // Escape
};

KeyCommand commandForKey(int key);

// The scene point under a position in the window (logical pixels, origin top-left, y down).
// The projection is fixed to the window's size when the scene was built (sceneSize), while the
// window may have been resized since (windowSize): the picture stretches, and so does this map.
// Device pixels play no part: both sizes are logical.
Vec2 scenePointAt(QPointF position, QSize windowSize, QSize sceneSize);
