#pragma once

#include "scenes/sandboxsettings.h"
#include "ui/controls.h"

#include <optional> // std::optional

// The settings a settings key asks for, from the current ones: G turns the gravity a quarter turn
// clockwise, , and . halve or double its strength, E takes the next restitution of a short list,
// D the next size of dropped circles (the mass with the area), M the next slower motion (back to
// full speed after a sixteenth). Every value is exact and within its range; nothing when the key
// changes nothing (the gravity at its strongest or weakest) or is no settings key.
std::optional<SandboxSettings> settingsForKey(KeyCommand command, const SandboxSettings &settings);
