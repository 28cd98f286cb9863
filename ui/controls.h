#pragma once

#include "scenes/scene.h"

#include <QStringList>

#include <optional> // std::optional

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
    HalveCircles,
    DoubleCircles,
    TypeCircles,
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
    SaveState,
    OpenState,
    SavePicture,
    Close,
};

// The command of a Qt key code, with Ctrl held or not, from the one table of keys that the help
// is also written from.
KeyCommand commandForKey(int key, bool control);

// The scene a scene key switches to: 1 the scene table's first row, 2 its second, and so on up to
// 9. Nothing for any other key.
std::optional<SceneKind> sceneForKey(int key);

// Every key and button with what it does, one line each, for the help panel.
QStringList controlsHelp();
