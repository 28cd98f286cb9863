#pragma once

#include <optional>    // std::optional
#include <string_view> // std::string_view

// text as a whole number from min to max, written with digits only (no sign, no spaces), at most
// 18 of them. Every program and file reader parses counts and steps through this one rule.
std::optional<long long> wholeNumber(std::string_view text, long long min, long long max);
