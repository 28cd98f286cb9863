#pragma once

#include <QStringList>

// What a key asks of the window.
enum class KeyCommand {
    None,
    TogglePause,
    StepOnce,
    StepBack,
    BackSixty,
    ForwardSixty,
    Restart,
    SwitchSolver,
    SceneDemo,
    SceneColumn,
    SceneGrid,
    HalveCircles,
    DoubleCircles,
    ToggleOverlay,
    ToggleHelp,
    ToggleContacts,
    ToggleBounds,
    ToggleVelocities,
    PanLeft,
    PanRight,
    PanUp,
    PanDown,
    ZoomIn,
    ZoomOut,
    ResetView,
    FrameAll,
    Close,
};

// The command of a Qt key code, from the one table of keys that the help is also written from.
KeyCommand commandForKey(int key);

// Every key and button with what it does, one line each, for the help panel.
QStringList controlsHelp();
