#include "text/wholenumber.h"

std::optional<long long> wholeNumber(std::string_view text, long long min, long long max) {
    // 18 digits cannot overflow a long long.
    if (text.empty() || text.size() > 18)
        return std::nullopt;
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < min || value > max)
        return std::nullopt;
    return value;
}
