#include "ui/controls.h"

#include "text/scenetext.h"

#include <Qt>

#include <algorithm> // std::min
#include <cstddef>   // std::size_t

namespace {

struct KeyBinding {
    int key;
    KeyCommand command;
    // Empty for a second key of a command already described.
    const char *help;
};

// Stands in the table where the help lists the scene keys, which sceneForKey() reads.
constexpr int sceneKeys = -1;
// The digit keys 1 to 9.
constexpr int maxSceneKeys = 9;

const KeyBinding keyBindings[] = {
    {Qt::Key_Space, KeyCommand::TogglePause, "Space  pause or resume"},
    {Qt::Key_N, KeyCommand::StepOnce, "N  one step, while paused"},
    {Qt::Key_B, KeyCommand::StepBack, "B  one step back, while paused"},
    {Qt::Key_PageUp, KeyCommand::BackSixty,
     "Page Up, Page Down  60 steps back or on, while paused"},
    {Qt::Key_PageDown, KeyCommand::ForwardSixty, ""},
    {Qt::Key_R, KeyCommand::Restart, "R  start the scene again"},
    {Qt::Key_S, KeyCommand::SwitchSolver, "S  the other solver, from step 0"},
    {sceneKeys, KeyCommand::None, ""},
    {Qt::Key_BracketLeft, KeyCommand::HalveCircles, "[ ]  half or twice the circles"},
    {Qt::Key_BracketRight, KeyCommand::DoubleCircles, ""},
    {Qt::Key_H, KeyCommand::ToggleOverlay, "H  statistics and plots"},
    {Qt::Key_F1, KeyCommand::ToggleHelp, "F1 or ?  this help"},
    {Qt::Key_Question, KeyCommand::ToggleHelp, ""},
    {Qt::Key_C, KeyCommand::ToggleContacts, "C  contacts: points and normals (black)"},
    {Qt::Key_A, KeyCommand::ToggleBounds, "A  bounding boxes (blue)"},
    {Qt::Key_V, KeyCommand::ToggleVelocities, "V  velocities (magenta)"},
    {Qt::Key_Left, KeyCommand::PanLeft, "arrows  move the view by a tenth"},
    {Qt::Key_Right, KeyCommand::PanRight, ""},
    {Qt::Key_Up, KeyCommand::PanUp, ""},
    {Qt::Key_Down, KeyCommand::PanDown, ""},
    {Qt::Key_Plus, KeyCommand::ZoomIn, "+ -  zoom in or out"},
    {Qt::Key_Equal, KeyCommand::ZoomIn, ""},
    {Qt::Key_Minus, KeyCommand::ZoomOut, ""},
    {Qt::Key_0, KeyCommand::ResetView, "0  the designed view"},
    {Qt::Key_F, KeyCommand::FrameAll, "F  frame every body"},
    {Qt::Key_Escape, KeyCommand::Close, "Escape  quit"},
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

KeyCommand commandForKey(int key) {
    for (const KeyBinding &binding : keyBindings) {
        if (binding.key == key)
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
