#include "ui/settingkeys.h"

#include <cmath> // std::fabs

namespace {

// Each list starts with the designed value; a value not in it goes to the first.
const float restitutions[] = {0.8f, 0.95f, 0.5f, 0.2f, 0};
// The radius doubles and halves about the demo's 30; the mass goes with the area.
const float dropRadii[] = {30, 60, 120, 15, 7.5f};
const float dropMasses[] = {0.02f, 0.08f, 0.32f, 0.005f, 0.00125f};
const float slowMotions[] = {1, 0.5f, 0.25f, 0.125f, 0.0625f};

template <std::size_t N> std::size_t nextIndex(const float (&values)[N], float value) {
    for (std::size_t i = 0; i < N; ++i) {
        if (values[i] == value)
            return (i + 1) % N;
    }
    return 0;
}

bool withinRange(float value, int setting) {
    return value >= settingRanges[setting].min && value <= settingRanges[setting].max;
}

// Scaling by a power of two is exact; a gravity of 0 stays 0.
std::optional<Vec2> scaledGravity(Vec2 gravity, float factor) {
    const Vec2 scaled = gravity * factor;
    if (!withinRange(scaled.x, 0) || !withinRange(scaled.y, 1) ||
        std::fabs(scaled.x) + std::fabs(scaled.y) < 1.0f / 64)
        return std::nullopt;
    return scaled;
}

} // namespace

std::optional<SandboxSettings> settingsForKey(KeyCommand command, const SandboxSettings &settings) {
    SandboxSettings changed = settings;
    Vec2 &gravity = changed.step.gravity;
    switch (command) {
    case KeyCommand::TurnGravity:
        // Down, left, up, right: (x, y) to (y, -x), exact.
        gravity = Vec2(gravity.y, -gravity.x);
        return changed;
    case KeyCommand::WeakerGravity:
    case KeyCommand::StrongerGravity: {
        const std::optional<Vec2> scaled =
            scaledGravity(gravity, command == KeyCommand::StrongerGravity ? 2.0f : 0.5f);
        if (!scaled)
            return std::nullopt;
        gravity = *scaled;
        return changed;
    }
    case KeyCommand::NextRestitution:
        changed.step.restitution = restitutions[nextIndex(restitutions, settings.step.restitution)];
        return changed;
    case KeyCommand::NextDropSize: {
        const std::size_t next = nextIndex(dropRadii, settings.dropRadius);
        changed.dropRadius = dropRadii[next];
        changed.dropMass = dropMasses[next];
        return changed;
    }
    case KeyCommand::SlowerMotion:
        changed.slowMotion = slowMotions[nextIndex(slowMotions, settings.slowMotion)];
        return changed;
    default:
        return std::nullopt;
    }
}
