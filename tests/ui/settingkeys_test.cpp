#include "ui/settingkeys.h"

#include "tests/math/exactfloat.h"

#include <gtest/gtest.h>

// Each key takes the settings where a person expects, exactly, and a key pressed round its list
// comes back to the designed value: the session recorded with them replays to the same bits.
TEST(SettingKeys, EachKeyStepsThroughExactValuesAndComesBackToTheDesignedOne) {
    const struct {
        KeyCommand key;
        int presses;
    } rounds[] = {
        {KeyCommand::NextRestitution, 5},
        {KeyCommand::NextDropSize, 5},
        {KeyCommand::SlowerMotion, 5},
        {KeyCommand::TurnGravity, 4},
    };
    for (const auto &round : rounds) {
        SandboxSettings settings;
        for (int k = 0; k < round.presses; ++k) {
            const std::optional<SandboxSettings> next = settingsForKey(round.key, settings);
            ASSERT_TRUE(next);
            settings = *next;
            const SettingValues values = settingValues(settings);
            for (int i = 0; i < settingCount; ++i) {
                EXPECT_GE(values[static_cast<std::size_t>(i)], settingRanges[i].min);
                EXPECT_LE(values[static_cast<std::size_t>(i)], settingRanges[i].max);
            }
        }
        EXPECT_TRUE(sameSettings(settings, SandboxSettings())) << static_cast<int>(round.key);
    }
}

TEST(SettingKeys, GravityTurnsClockwiseAndStopsAtItsLimits) {
    SandboxSettings settings;
    settings = *settingsForKey(KeyCommand::TurnGravity, settings);
    EXPECT_TRUE(sameVec2(settings.step.gravity, Vec2(-1, -0.0f)));
    for (int k = 0; k < 3; ++k)
        settings = *settingsForKey(KeyCommand::StrongerGravity, settings);
    EXPECT_TRUE(sameVec2(settings.step.gravity, Vec2(-8, -0.0f)));
    EXPECT_FALSE(settingsForKey(KeyCommand::StrongerGravity, settings));
    for (int k = 0; k < 9; ++k)
        settings = *settingsForKey(KeyCommand::WeakerGravity, settings);
    EXPECT_TRUE(sameVec2(settings.step.gravity, Vec2(-1.0f / 64, -0.0f)));
    EXPECT_FALSE(settingsForKey(KeyCommand::WeakerGravity, settings));
}
