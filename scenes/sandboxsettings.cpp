#include "scenes/sandboxsettings.h"

#include <cstring> // std::memcmp

// Wide enough to turn the box upside down or let it float; narrow enough that a dropped circle
// stays a circle the broad phase and the view can hold.
const SettingRange settingRanges[settingCount] = {
    {"gravity x", -10, 10},  {"gravity y", -10, 10},   {"restitution", 0, 1},
    {"drop radius", 1, 300}, {"drop mass", 0.001f, 1}, {"slow motion", 1.0f / 64, 1},
};

SettingValues settingValues(const SandboxSettings &settings) {
    return {settings.step.gravity.x, settings.step.gravity.y, settings.step.restitution,
            settings.dropRadius,     settings.dropMass,       settings.slowMotion};
}

SandboxSettings settingsFrom(const SettingValues &values) {
    SandboxSettings settings;
    settings.step.gravity = Vec2(values[0], values[1]);
    settings.step.restitution = values[2];
    settings.dropRadius = values[3];
    settings.dropMass = values[4];
    settings.slowMotion = values[5];
    return settings;
}

bool sameSettings(const SandboxSettings &a, const SandboxSettings &b) {
    const SettingValues first = settingValues(a);
    const SettingValues second = settingValues(b);
    return std::memcmp(first.data(), second.data(), sizeof(float) * settingCount) == 0;
}
