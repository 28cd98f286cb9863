#pragma once

#include <cerrno>       // errno
#include <cstddef>      // std::size_t
#include <cstdint>      // std::uint64_t
#include <cstring>      // std::strerror
#include <fstream>      // std::ifstream
#include <istream>      // std::istream
#include <optional>     // std::optional
#include <string>       // std::string
#include <string_view>  // std::string_view
#include <system_error> // std::errc
#include <vector>       // std::vector

// What the readers of the project's text files (replays, saved states) share: lines of fields
// separated by single spaces, numbers read the same in every locale, and pieces of a bad input
// quoted safely in a message.

using Fields = std::vector<std::string_view>;

// What went wrong with a file the program reads or writes: "FILE:LINE: what is wrong", or
// "FILE: what is wrong" when no line is to blame (it cannot be opened, say).
struct FileFault {
    std::string file;
    // 0: the file as a whole.
    long long line = 0;
    std::string what;

    std::string message() const;
};

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

// What every line-by-line reader of these files keeps, and how it takes a line apart.
class LineParser {
public:
    // Records the fault and returns false.
    bool fail(const std::string &message, long long line);

    // Counted wide: nothing limits the number of lines.
    long long lineNumber = 0;
    long long faultLine = 0;
    std::string fault;

protected:
    bool fail(const std::string &message) { return fail(message, lineNumber); }
    // Counts the line and splits it into its fields; a line that is empty, ends in a carriage
    // return or has an empty field is a fault: nothing.
    std::optional<Fields> nextFields(std::string_view line);
    // Too few fields: missing names what is expected; too many: the first one left over.
    bool expectFields(const Fields &fields, std::size_t count, const std::string &missing);
    // readFloat(), a fault when the field is no number or beyond a float's range.
    bool readNumber(std::string_view text, float &value);
    // A file's format version, from 1 to newest; a fault for any other.
    bool readVersion(std::string_view text, int newest, int &version);
};

// Opens path for reading, binary; false, with fault set, when it cannot be (a folder included).
bool openForReading(const std::string &path, std::ifstream &file, FileFault &fault);

// Hands every line of input to parser.take(line), stopping at its first fault, then calls
// parser.finish(). A line longer than maxBytes, or a read error, is the parser's fault too, at
// the line it happened on. The parser has lineNumber, faultLine and fault, and fail(what, line).
// On a fault returns false with fault set, naming the input as name.
template <typename Parser>
bool parseLines(std::istream &input, std::size_t maxBytes, Parser &parser, const std::string &name,
                FileFault &fault) {
    std::string line;
    bool ok = true;
    while (ok && readLine(input, line, maxBytes)) {
        if (line.size() > maxBytes) {
            ok = parser.fail("line longer than " + std::to_string(maxBytes) + " bytes",
                             parser.lineNumber + 1);
            break;
        }
        ok = parser.take(line);
    }
    if (ok && input.bad())
        ok = parser.fail(std::string("cannot be read: ") + std::strerror(errno),
                         parser.lineNumber + 1);
    if (ok)
        ok = parser.finish();
    if (!ok)
        fault = FileFault{name, parser.faultLine, parser.fault};
    return ok;
}
