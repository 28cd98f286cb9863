#include "ui/settingspanel.h"

#include "text/linetext.h"

#include <iomanip>      // std::setprecision
#include <locale>       // std::locale
#include <sstream>      // std::ostringstream
#include <system_error> // std::errc

namespace {

// The shortest decimal without an exponent that reads back as value, in every locale: 0.8, not
// 0.800000012.
std::string exactDecimal(float value) {
    std::string text;
    for (int digits = 1; digits <= 9; ++digits) {
        std::ostringstream out;
        out.imbue(std::locale::classic());
        out << std::setprecision(digits) << static_cast<double>(value);
        text = out.str();
        std::errc error{};
        const std::optional<float> back = readFloat(text, error);
        // Too few digits for the whole part give an exponent: 3e+01 for 30.
        if (back && *back == value && text.find('e') == std::string::npos)
            break;
    }
    return text;
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string rangeText(const SettingRange &range) {
    return exactDecimal(range.min) + " to " + exactDecimal(range.max);
}

} // namespace

void SettingsPanel::choose(int rows) {
    row = ((row + rows) % settingCount + settingCount) % settingCount;
}

std::vector<std::string> SettingsPanel::lines(const SandboxSettings &settings) const {
    const SettingValues values = settingValues(settings);
    std::vector<std::string> text{"settings (Up, Down, Enter)"};
    for (int i = 0; i < settingCount; ++i)
        text.push_back((i == row ? "> " : "  ") + std::string(settingRanges[i].name) + " " +
                       exactDecimal(values[static_cast<std::size_t>(i)]));
    return text;
}

std::string SettingsPanel::question() const {
    return std::string(settingRanges[row].name) + ", " + rangeText(settingRanges[row]);
}

std::string SettingsPanel::value(const SandboxSettings &settings) const {
    return exactDecimal(settingValues(settings)[static_cast<std::size_t>(row)]);
}

std::optional<SandboxSettings> SettingsPanel::withValue(const SandboxSettings &settings,
                                                        const std::string &typed,
                                                        std::string &fault) const {
    const SettingRange &range = settingRanges[row];
    std::errc error{};
    const std::optional<float> number = readFloat(trimmed(typed), error);
    // A NaN fails both comparisons.
    if (!number || !(*number >= range.min && *number <= range.max)) {
        fault = std::string(range.name) + " expects a number from " + rangeText(range) + ", not " +
                ::quoted(typed);
        return std::nullopt;
    }
    SettingValues values = settingValues(settings);
    values[static_cast<std::size_t>(row)] = *number;
    return settingsFrom(values);
}
