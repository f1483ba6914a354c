#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

namespace orvo {

// Reads a text stream line by line as the library format defines it: at most 999
// characters per read, the line end included (a longer line is read as several lines);
// a line end "\n" or "\r\n" is removed and counts as one character either way; a last
// line without a line end is kept whole.
class LineReader {
public:
    static constexpr size_t kMaxLine = 999;

    explicit LineReader(std::istream& in) : in_(in) {}

    // False at the end of the stream, when nothing more was read.
    bool next(std::string& line);
    bool atEnd() const { return atEnd_; }

private:
    std::istream& in_;
    bool atEnd_ = false;
};

// Lenient conversions of the text at the start of s: leading white space, an optional
// sign, then as many characters as form a number; no digits give 0. Integers are
// clamped to the 32-bit range; reals accept decimal and exponent notation only, and a
// magnitude beyond the double range gives an infinity.
int32_t lenientInt(std::string_view s);
double lenientReal(std::string_view s);

// "Does the line contain this text" (case-sensitive, anywhere).
inline bool lineHas(std::string_view line, std::string_view text)
{
    return line.find(text) != std::string_view::npos;
}

}  // namespace orvo
