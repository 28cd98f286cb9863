#pragma once

#include "scenes/scene.h"

#include <optional> // std::optional
#include <string>   // std::string
#include <vector>   // std::vector

// Keys are numbered as Qt numbers them, so the desktop hands its key codes in as they are: a
// Latin-1 key by its upper-case character ('N', '[', ' '), the others from 0x01000000. Every
// front end gives the same numbers.
namespace KeyCode {
constexpr int Escape = 0x01000000;
constexpr int Delete = 0x01000007;
constexpr int Left = 0x01000012;
constexpr int Up = 0x01000013;
constexpr int Right = 0x01000014;
constexpr int Down = 0x01000015;
constexpr int PageUp = 0x01000016;
constexpr int PageDown = 0x01000017;
constexpr int F1 = 0x01000030;
constexpr int F2 = 0x01000031;
constexpr int F12 = 0x0100003b;
} // namespace KeyCode

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
    RemoveCircle,
    ClearDropped,
    TurnGravity,
    WeakerGravity,
    StrongerGravity,
    NextRestitution,
    NextDropSize,
    SlowerMotion,
    HalveCircles,
    DoubleCircles,
    TypeCircles,
    ToggleOverlay,
    ToggleHelp,
    ToggleSettings,
    ToggleContacts,
    ToggleBounds,
    ToggleVelocities,
    ToggleSleeping,
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
    ToggleRecording,
    Close,
};

// The command of a key code (see KeyCode), with Ctrl held or not, from the one table of keys that
// the help is also written from.
KeyCommand commandForKey(int key, bool control);

// The scene a scene key switches to: 1 the scene table's first row, 2 its second, and so on up to
// 9. Nothing for any other key.
std::optional<SceneKind> sceneForKey(int key);

// Every key and button with what it does, one line each, for the help panel.
std::vector<std::string> controlsHelp();
