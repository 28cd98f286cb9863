#include "ui/controls.h"

#include "text/scenetext.h"

#include <Qt>

#include <algorithm> // std::min
#include <cstddef>   // std::size_t

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
    {Qt::Key_Space, KeyCommand::TogglePause, false, "Space  pause or resume"},
    {Qt::Key_N, KeyCommand::StepOnce, false, "N  one step, while paused"},
    {Qt::Key_B, KeyCommand::StepBack, false, "B  one step back, while paused"},
    {Qt::Key_PageUp, KeyCommand::BackSixty, false,
     "Page Up, Page Down  60 steps back or on, while paused"},
    {Qt::Key_PageDown, KeyCommand::ForwardSixty, false, ""},
    {Qt::Key_R, KeyCommand::Restart, false, "R  start the scene again"},
    {Qt::Key_S, KeyCommand::SwitchSolver, false, "S  the other solver, from step 0"},
    {sceneKeys, KeyCommand::None, false, ""},
    {Qt::Key_BracketLeft, KeyCommand::HalveCircles, false, "[ ]  half or twice the circles"},
    {Qt::Key_BracketRight, KeyCommand::DoubleCircles, false, ""},
    {Qt::Key_NumberSign, KeyCommand::TypeCircles, false, "#  type the number of circles"},
    {Qt::Key_H, KeyCommand::ToggleOverlay, false, "H  statistics and plots"},
    {Qt::Key_F1, KeyCommand::ToggleHelp, false, "F1 or ?  this help"},
    {Qt::Key_Question, KeyCommand::ToggleHelp, false, ""},
    {Qt::Key_C, KeyCommand::ToggleContacts, false, "C  contacts: points and normals (black)"},
    {Qt::Key_A, KeyCommand::ToggleBounds, false, "A  bounding boxes (blue)"},
    {Qt::Key_V, KeyCommand::ToggleVelocities, false, "V  velocities (magenta)"},
    {Qt::Key_Left, KeyCommand::PanLeft, false, "arrows  move the view by a tenth"},
    {Qt::Key_Right, KeyCommand::PanRight, false, ""},
    {Qt::Key_Up, KeyCommand::PanUp, false, ""},
    {Qt::Key_Down, KeyCommand::PanDown, false, ""},
    {Qt::Key_Plus, KeyCommand::ZoomIn, false, "+ -  zoom in or out"},
    {Qt::Key_Equal, KeyCommand::ZoomIn, false, ""},
    {Qt::Key_Minus, KeyCommand::ZoomOut, false, ""},
    {Qt::Key_0, KeyCommand::ResetView, false, "0  the designed view"},
    {Qt::Key_F, KeyCommand::FrameAll, false, "F  frame the box and the bodies near it"},
    {Qt::Key_S, KeyCommand::SaveState, true, "Ctrl+S  save the state into a file"},
    {Qt::Key_O, KeyCommand::OpenState, true, "Ctrl+O  open a saved state"},
    {Qt::Key_F12, KeyCommand::SavePicture, false, "F12  save the picture into a file"},
    {Qt::Key_Escape, KeyCommand::Close, false, "Escape  quit"},
};

const char *const buttonHelp[] = {
    "left button  grab a circle and throw it, or drop one",
    "right button  drag the view",
    "wheel  zoom about the pointer",
};

int sceneKeyCount() {
    return std::min(static_cast<int>(sceneTable().size()), maxSceneKeys);
}

// "1 2 3  the demo, column or grid scene".
QString sceneKeysHelp() {
    QString keys;
    for (int row = 0; row < sceneKeyCount(); ++row)
        keys += QString::number(row + 1) + QLatin1Char(' ');
    return keys + QStringLiteral(" the %1 scene").arg(QString::fromStdString(sceneNamesInProse()));
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
    const int row = key - Qt::Key_1;
    if (row < 0 || row >= sceneKeyCount())
        return std::nullopt;
    return sceneTable()[static_cast<std::size_t>(row)].kind;
}

QStringList controlsHelp() {
    QStringList lines;
    for (const KeyBinding &binding : keyBindings) {
        if (binding.key == sceneKeys)
            lines << sceneKeysHelp();
        else if (*binding.help)
            lines << QString::fromLatin1(binding.help);
    }
    for (const char *line : buttonHelp)
        lines << QString::fromLatin1(line);
    return lines;
}
