#include "text/linetext.h"

#include "text/wholenumber.h"

#include <filesystem> // std::filesystem::is_directory

#include <algorithm> // std::min, std::find_if
#include <charconv>  // std::from_chars
#include <cmath>     // std::isinf, std::isnan, std::copysign
#include <cstdio>    // std::snprintf
#include <cstdlib>   // std::strtof
#include <istream>   // std::istream
#include <limits>    // std::numeric_limits

namespace {

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

#ifdef __cpp_lib_to_chars
std::from_chars_result parseFloat(const char *first, const char *last, float &value,
                                  std::chars_format format) {
    return std::from_chars(first, last, value, format);
}
#else
// The C++ library of the WebAssembly build (Emscripten's libc++) has no std::from_chars for
// floats. std::strtof, which rounds correctly too, held to from_chars's rules: no leading space
// or plus sign, hex digits only in hex format, a NaN with its sign and without its payload, and out
// of range when a number rounds to an infinity or to zero (a subnormal result is a result).
// strtof's errno does not say that alike on every C library, so the digits do.
std::from_chars_result parseFloat(const char *first, const char *last, float &value,
                                  std::chars_format format) {
    const bool hex = format == std::chars_format::hex;
    const char *body = first != last && *first == '-' ? first + 1 : first;
    const bool startsWell =
        body != last && ((*body >= '0' && *body <= '9') || *body == '.' ||
                         (hex ? isHexDigit(*body)
                              : std::string_view("iInN").find(*body) != std::string_view::npos));
    if (!startsWell)
        return {first, std::errc::invalid_argument};
    // A decimal number ends before an x, where strtof would go on to read hex digits.
    const char *end =
        hex ? last : std::find_if(first, last, [](char c) { return c == 'x' || c == 'X'; });
    const std::string prefix = hex ? "0x" : "";
    std::string text = prefix + std::string(first, end);
    // libstdc++ reads a hex exponent written p+-N as p-N: so does this, so that both builds
    // accept the same files.
    const std::size_t exponent = text.find_first_of(hex ? "pP" : "eE");
    const bool plusMinus = hex && exponent != std::string::npos &&
                           text.compare(exponent + 1, 2, "+-") == 0 && exponent + 3 < text.size() &&
                           text[exponent + 3] >= '0' && text[exponent + 3] <= '9';
    if (plusMinus)
        text.erase(exponent + 1, 1);
    char *parsedEnd = nullptr;
    float parsed = std::strtof(text.c_str(), &parsedEnd);
    const std::ptrdiff_t read = parsedEnd - text.c_str();
    const std::ptrdiff_t used = read - static_cast<std::ptrdiff_t>(prefix.size()) +
                                (plusMinus && read > static_cast<std::ptrdiff_t>(exponent + 1));
    if (used <= 0)
        return {first, std::errc::invalid_argument};
    const std::string_view digits(text.c_str() + prefix.size(),
                                  std::min<std::size_t>(read, exponent) - prefix.size());
    const bool nonZero =
        digits.find_first_of(hex ? "123456789abcdefABCDEF" : "123456789") != std::string_view::npos;
    const bool infinity = *body == 'i' || *body == 'I';
    if ((std::isinf(parsed) && !infinity) || (parsed == 0 && nonZero))
        return {first + used, std::errc::result_out_of_range};
    // Some C libraries drop a NaN's sign too.
    if (std::isnan(parsed))
        parsed =
            std::copysign(std::numeric_limits<float>::quiet_NaN(), *first == '-' ? -1.0f : 1.0f);
    value = parsed;
    return {first + used, std::errc()};
}
#endif

} // namespace

std::string quoted(std::string_view text) {
    std::string out = "\"";
    const std::size_t shown = std::min<std::size_t>(text.size(), 32);
    for (std::size_t i = 0; i < shown; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out += escaped;
        }
    }
    if (text.size() > shown)
        out += "...";
    return out + '"';
}

Fields splitFields(std::string_view line) {
    Fields fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t space = line.find(' ', start);
        if (space == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, space - start));
        start = space + 1;
    }
}

std::optional<float> readFloat(std::string_view text, std::errc &error) {
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view magnitude = negative ? text.substr(1) : text;
    const bool hex =
        magnitude.size() > 2 && magnitude[0] == '0' && (magnitude[1] == 'x' || magnitude[1] == 'X');
    float value = 0;
    std::from_chars_result result{};
    if (hex) {
        const std::string_view digits = magnitude.substr(2);
        // from_chars would take a second sign, or "inf", after the prefix.
        if (!isHexDigit(digits.front()) && digits.front() != '.') {
            error = std::errc::invalid_argument;
            return std::nullopt;
        }
        result =
            parseFloat(digits.data(), digits.data() + digits.size(), value, std::chars_format::hex);
        value = negative ? -value : value;
    } else {
        result =
            parseFloat(text.data(), text.data() + text.size(), value, std::chars_format::general);
    }
    error = result.ec;
    if (result.ec == std::errc() && result.ptr != text.data() + text.size())
        error = std::errc::invalid_argument;
    if (error != std::errc())
        return std::nullopt;
    return value;
}

std::optional<std::uint64_t> hashNumber(std::string_view text) {
    if (text.size() != 16)
        return std::nullopt;
    std::uint64_t hash = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9')
            hash = hash << 4 | static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            hash = hash << 4 | static_cast<unsigned>(c - 'a' + 10);
        else
            return std::nullopt;
    }
    return hash;
}

bool readLine(std::istream &input, std::string &buffer, std::size_t maxBytes) {
    buffer.clear();
    char c = 0;
    for (;;) {
        if (!input.get(c))
            return !buffer.empty();
        if (c == '\n')
            return true;
        buffer += static_cast<char>(c);
        if (buffer.size() > maxBytes)
            return true;
    }
}

std::string FileFault::message() const {
    if (line == 0)
        return file + ": " + what;
    return file + ":" + std::to_string(line) + ": " + what;
}

bool openForReading(const std::string &path, std::ifstream &file, FileFault &fault) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        fault = FileFault{path, 0, "cannot be opened: file to open is a directory"};
        return false;
    }
    errno = 0;
    file.open(path, std::ios::binary);
    if (!file) {
        fault = FileFault{path, 0, std::string("cannot be opened: ") + std::strerror(errno)};
        return false;
    }
    return true;
}

bool LineParser::readVersion(std::string_view text, int newest, int &version) {
    const std::optional<long long> read = wholeNumber(text, 1, newest);
    if (!read)
        return fail("format version " + quoted(text) +
                    " is not supported: this program reads versions 1 to " +
                    std::to_string(newest));
    version = static_cast<int>(*read);
    return true;
}

bool LineParser::fail(const std::string &message, long long line) {
    faultLine = line;
    fault = message;
    return false;
}

std::optional<Fields> LineParser::nextFields(std::string_view line) {
    ++lineNumber;
    if (line.empty()) {
        fail("empty line");
        return std::nullopt;
    }
    if (line.back() == '\r') {
        fail("the line ends in a carriage return: lines must end in a line feed alone");
        return std::nullopt;
    }
    Fields fields = splitFields(line);
    for (const std::string_view field : fields) {
        if (field.empty()) {
            fail("fields must be separated by single spaces");
            return std::nullopt;
        }
    }
    return fields;
}

bool LineParser::expectFields(const Fields &fields, std::size_t count, const std::string &missing) {
    if (fields.size() < count)
        return fail(missing);
    if (fields.size() > count)
        return fail("unexpected " + quoted(fields[count]) + " at the end of the line");
    return true;
}

bool LineParser::readNumber(std::string_view text, float &value) {
    std::errc error{};
    const std::optional<float> number = readFloat(text, error);
    if (error == std::errc::result_out_of_range)
        return fail(quoted(text) + " is out of the range of a float");
    if (!number)
        return fail("expected a number, not " + quoted(text));
    value = *number;
    return true;
}
