#include "ui/controls.h"

#include "text/scenetext.h"

#include <algorithm> // std::min
#include <cstddef>   // std::size_t
#include <string>    // std::to_string

namespace {

struct KeyBinding {
    int key;
    KeyCommand command;
    // Whether Ctrl is held with the key.
    bool control;
    // Empty for a second key of a command already described.
    const char *help;
};

// Stands in the table where the help lists the scene keys, which sceneForKey() reads.
constexpr int sceneKeys = -1;
// The digit keys 1 to 9.
constexpr int maxSceneKeys = 9;

const KeyBinding keyBindings[] = {
    {' ', KeyCommand::TogglePause, false, "Space  pause or resume"},
    {'N', KeyCommand::StepOnce, false, "N  one step, while paused"},
    {'B', KeyCommand::StepBack, false, "B  one step back, while paused"},
    {KeyCode::PageUp, KeyCommand::BackSixty, false,
     "Page Up, Page Down  60 steps back or on, while paused"},
    {KeyCode::PageDown, KeyCommand::ForwardSixty, false, ""},
    {'R', KeyCommand::Restart, false, "R  start the scene again"},
    {'S', KeyCommand::SwitchSolver, false, "S  the other solver, from here on"},
    {sceneKeys, KeyCommand::None, false, ""},
    {'[', KeyCommand::HalveCircles, false, "[ ]  half or twice the circles"},
    {']', KeyCommand::DoubleCircles, false, ""},
    {'#', KeyCommand::TypeCircles, false, "#  type the number of circles"},
    {KeyCode::Delete, KeyCommand::RemoveCircle, false,
     "Delete X  take out a circle, or all dropped"},
    {'X', KeyCommand::ClearDropped, false, ""},
    {'G', KeyCommand::TurnGravity, false, "G , .  gravity: turn, half, twice"},
    {',', KeyCommand::WeakerGravity, false, ""},
    {'.', KeyCommand::StrongerGravity, false, ""},
    {'E', KeyCommand::NextRestitution, false, "E D M  next bounce, drop size, slowness"},
    {'D', KeyCommand::NextDropSize, false, ""},
    {'M', KeyCommand::SlowerMotion, false, ""},
    {'H', KeyCommand::ToggleOverlay, false, "H  statistics and plots"},
    {KeyCode::F1, KeyCommand::ToggleHelp, false, "F1 or ?  this help"},
    {'?', KeyCommand::ToggleHelp, false, ""},
    {KeyCode::F2, KeyCommand::ToggleSettings, false, "F2  settings: Up, Down, Enter types a value"},
    {'C', KeyCommand::ToggleContacts, false, "C  contacts: points and normals (black)"},
    {'A', KeyCommand::ToggleBounds, false, "A  bounding boxes (blue)"},
    {'V', KeyCommand::ToggleVelocities, false, "V  velocities (magenta)"},
    {'Z', KeyCommand::ToggleSleeping, false, "Z  sleeping bodies dimmed (grey)"},
    {KeyCode::Left, KeyCommand::PanLeft, false, "arrows  move the view by a tenth"},
    {KeyCode::Right, KeyCommand::PanRight, false, ""},
    {KeyCode::Up, KeyCommand::PanUp, false, ""},
    {KeyCode::Down, KeyCommand::PanDown, false, ""},
    {'+', KeyCommand::ZoomIn, false, "+ -  zoom in or out"},
    {'=', KeyCommand::ZoomIn, false, ""},
    {'-', KeyCommand::ZoomOut, false, ""},
    {'0', KeyCommand::ResetView, false, "0  the designed view"},
    {'F', KeyCommand::FrameAll, false, "F  frame the box and the bodies near it"},
    {'S', KeyCommand::SaveState, true, "Ctrl+S  save the state into a file"},
    {'O', KeyCommand::OpenState, true, "Ctrl+O  open a saved state"},
    {KeyCode::F12, KeyCommand::SavePicture, false, "F12  save the picture into a file"},
    {'R', KeyCommand::ToggleRecording, true, "Ctrl+R  start or stop recording into a file"},
    {KeyCode::Escape, KeyCommand::Close, false, "Escape  quit"},
};

const char *const buttonHelp[] = {
    "left button  grab and throw, or drop (Shift: a box)",
    "right button  drag the view",
    "wheel  zoom about the pointer",
};

int sceneKeyCount() {
    return std::min(static_cast<int>(sceneTable().size()), maxSceneKeys);
}

// "1-6  demo, column, grid, pyramid, stack or mix".
std::string sceneKeysHelp() {
    return "1-" + std::to_string(sceneKeyCount()) + "  " + sceneNamesInProse();
}

} // namespace

KeyCommand commandForKey(int key, bool control) {
    for (const KeyBinding &binding : keyBindings) {
        if (binding.key == key && binding.control == control)
            return binding.command;
    }
    return KeyCommand::None;
}

std::optional<SceneKind> sceneForKey(int key) {
    const int row = key - '1';
    if (row < 0 || row >= sceneKeyCount())
        return std::nullopt;
    return sceneTable()[static_cast<std::size_t>(row)].kind;
}

std::vector<std::string> controlsHelp() {
    std::vector<std::string> lines;
    for (const KeyBinding &binding : keyBindings) {
        if (binding.key == sceneKeys)
            lines.push_back(sceneKeysHelp());
        else if (*binding.help)
            lines.emplace_back(binding.help);
    }
    for (const char *line : buttonHelp)
        lines.emplace_back(line);
    return lines;
}
