#include "ui/settingspanel.h"

#include <gtest/gtest.h>

#include <cstddef>  // std::size_t
#include <optional> // std::optional, std::nullopt
#include <string>   // std::string
#include <vector>   // std::vector

// A value typed is read exactly, as a decimal or a hex float, within its setting's range, and
// changes that setting alone; anything else is refused with a line naming the setting.
TEST(SettingsPanel, TakesAValueTypedExactlyWithinItsRange) {
    const struct {
        int row;
        const char *typed;
        std::optional<float> value;
    } cases[] = {
        {2, "0.65", 0.65f},          {2, " 1 ", 1.0f},           {4, "1e-3", 0.001f},
        {5, "0x1p-6", 1.0f / 64},    {0, "-10", -10.0f},         {2, "1.01", std::nullopt},
        {4, "0.0009", std::nullopt}, {2, "nan", std::nullopt},   {1, "-inf", std::nullopt},
        {3, "", std::nullopt},       {3, "30 cm", std::nullopt},
    };
    const SettingValues designed = settingValues(SandboxSettings());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        SettingsPanel panel;
        panel.choose(c.row);
        std::string fault;
        const std::optional<SandboxSettings> changed =
            panel.withValue(SandboxSettings(), c.typed, fault);
        ASSERT_EQ(changed.has_value(), c.value.has_value()) << fault;
        if (!changed) {
            EXPECT_EQ(fault.rfind(settingRanges[c.row].name, 0), 0u) << fault;
            continue;
        }
        SettingValues expected = designed;
        expected[static_cast<std::size_t>(c.row)] = *c.value;
        EXPECT_EQ(settingValues(*changed), expected);
    }
}

// Each value is offered for editing with the digits that read back as it, and the choice goes
// round from the first line to the last.
TEST(SettingsPanel, OffersEachValueAsTheDigitsThatGiveItBack) {
    SettingsPanel panel;
    std::vector<std::string> offered;
    for (int i = 0; i < settingCount; ++i) {
        offered.push_back(panel.value(SandboxSettings()));
        panel.choose(1);
    }
    EXPECT_EQ(offered, (std::vector<std::string>{"0", "-1", "0.8", "30", "0.02", "1"}));
    panel.choose(-1);
    EXPECT_EQ(panel.question(), "slow motion, 0.015625 to 1");
}
