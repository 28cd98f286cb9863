#pragma once

#include <cstddef>      // std::size_t
#include <cstdint>      // std::uint64_t
#include <iosfwd>       // std::istream
#include <optional>     // std::optional
#include <string>       // std::string
#include <string_view>  // std::string_view
#include <system_error> // std::errc
#include <vector>       // std::vector

// What the readers of the project's text files (replays, saved states) share: lines of fields
// separated by single spaces, numbers read the same in every locale, and pieces of a bad input
// quoted safely in a message.

using Fields = std::vector<std::string_view>;

// A piece of the input as a message shows it: quoted, at most 32 bytes, anything but printable
// ASCII as \xNN, so random bytes cannot garble the message or the terminal.
std::string quoted(std::string_view text);

// Fields are separated by single spaces; two spaces, or one at either end, give an empty field.
Fields splitFields(std::string_view line);

// A whole-field C number: a hex float as %a writes it (-0x1.9p+7) or a decimal one (-200.5,
// 1e3, inf, nan). std::from_chars reads it the same in every locale, correctly rounded to float.
// On failure error says why (std::errc::result_out_of_range for a number beyond a float's range).
std::optional<float> readFloat(std::string_view text, std::errc &error);

// 16 lower-case hex digits, as hashDigits() writes them.
std::optional<std::uint64_t> hashNumber(std::string_view text);

// The next line into buffer, without its line feed: at most maxBytes + 1 bytes are kept, enough
// to tell that a line is too long without reading it to its end. False at the end of the input.
bool readLine(std::istream &input, std::string &buffer, std::size_t maxBytes);
