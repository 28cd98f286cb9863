#pragma once

#include "physics/stepsettings.h"

#include <array> // std::array

// What a person may change in a running sandbox besides its bodies: what its steps use, the
// circles dropped into it, and how fast a window plays it. They are part of its state, saved,
// restored and recorded like the bodies, and a restart or another scene keeps them. The defaults
// are the designed values.
struct SandboxSettings {
    StepSettings step;
    // A dropped circle's radius and mass: the demo's.
    float dropRadius = 30;
    float dropMass = 0.02f;
    // The share of the steps a window plays: 0.25 is a quarter of the speed. Nothing simulated
    // depends on it.
    float slowMotion = 1;
};

// The settings as numbers, in the order the files write them: gravity x and y, restitution,
// drop radius, drop mass, slow motion.
constexpr int settingCount = 6;
using SettingValues = std::array<float, settingCount>;
SettingValues settingValues(const SandboxSettings &settings);
SandboxSettings settingsFrom(const SettingValues &values);

// One number of the settings: its name in messages and the overlay, and the range it may take.
struct SettingRange {
    const char *name;
    float min;
    float max;
};
extern const SettingRange settingRanges[settingCount];

// Equal bit for bit.
bool sameSettings(const SandboxSettings &a, const SandboxSettings &b);
