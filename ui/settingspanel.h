#pragma once

#include "scenes/sandboxsettings.h"

#include <optional> // std::optional
#include <string>   // std::string
#include <vector>   // std::vector

// A small panel of the live settings, a line each with its value: gravity x and y (its strength
// and its direction at once), restitution, the dropped circles' radius and mass, and the slow
// motion. One line is chosen; a value typed for it gives the settings a session is asked to
// change to, as a settings key does.
class SettingsPanel {
public:
    bool isOpen() const { return open; }
    void toggle() { open = !open; }
    void close() { open = false; }
    // Moves the choice by rows, round from the last line to the first and back.
    void choose(int rows);

    // The panel's lines for these settings, the chosen one marked.
    std::vector<std::string> lines(const SandboxSettings &settings) const;
    // What is asked for the chosen line: "restitution, 0 to 1".
    std::string question() const;
    // The chosen value as text to edit, with as few digits as give it back exactly: "0.8".
    std::string value(const SandboxSettings &settings) const;
    // The settings with the chosen value read from typed; nothing, with why in fault, for a
    // text that is no number or a number beyond the setting's range.
    std::optional<SandboxSettings> withValue(const SandboxSettings &settings,
                                             const std::string &typed, std::string &fault) const;

private:
    bool open = false;
    int row = 0;
};
