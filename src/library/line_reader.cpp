#include "library/line_reader.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace orvo {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Skips white space and reads an optional sign; returns the position after them.
size_t skipBlanksAndSign(std::string_view s, bool& negative)
{
    size_t i = 0;
    while (i < s.size() && isBlank(s[i])) ++i;
    negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    return i;
}

size_t skipDigits(std::string_view s, size_t i)
{
    while (i < s.size() && isDigit(s[i])) ++i;
    return i;
}

// The decimal exponent of the leading significant digit plus one, roughly: positive
// for magnitudes of at least 1, zero or negative below.
int64_t decimalMagnitude(std::string_view s, size_t start, size_t integerEnd,
                         size_t fractionStart, size_t mantissaEnd, size_t end)
{
    int64_t magnitude = 0;
    size_t k = start;
    while (k < integerEnd && s[k] == '0') ++k;
    if (k < integerEnd) {
        magnitude = static_cast<int64_t>(integerEnd - k);
    } else {
        size_t z = fractionStart;
        while (z < mantissaEnd && s[z] == '0') ++z;
        magnitude = -static_cast<int64_t>(z - fractionStart);
    }
    if (end > mantissaEnd) {
        size_t i = mantissaEnd + 1;
        const bool negativeExponent = s[i] == '-';
        if (s[i] == '+' || s[i] == '-') ++i;
        int64_t exponent = 0;
        for (; i < end && exponent < 100000000; ++i) exponent = exponent * 10 + (s[i] - '0');
        magnitude += negativeExponent ? -exponent : exponent;
    }
    return magnitude;
}

}  // namespace

bool LineReader::next(std::string& line)
{
    using Traits = std::char_traits<char>;
    line.clear();
    if (atEnd_) return false;
    std::streambuf* buffer = in_.rdbuf();
    // A CR LF pair is one line end, as LF is: a line of 998 characters and its line end
    // fit one read whichever way the file ends its lines.
    while (line.size() < kMaxLine) {
        const auto c = buffer->sbumpc();
        if (c == Traits::eof()) {
            atEnd_ = true;
            return !line.empty();
        }
        if (c == '\n') return true;
        if (c == '\r') {
            const auto following = buffer->sgetc();
            if (following == '\n') buffer->sbumpc();
            if (following == '\n' || following == Traits::eof()) return true;
        }
        line += static_cast<char>(c);
    }
    return true;
}

int32_t lenientInt(std::string_view s)
{
    bool negative = false;
    const size_t start = skipBlanksAndSign(s, negative);
    const size_t end = skipDigits(s, start);
    int64_t value = 0;
    for (size_t i = start; i < end; ++i) {
        value = value * 10 + (s[i] - '0');
        if (value > std::numeric_limits<int32_t>::max()) break;  // clamped below
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

double lenientReal(std::string_view s)
{
    bool negative = false;
    const size_t start = skipBlanksAndSign(s, negative);
    const size_t integerEnd = skipDigits(s, start);
    size_t end = integerEnd;
    size_t fractionStart = end;
    if (end < s.size() && s[end] == '.') {
        fractionStart = end + 1;
        end = skipDigits(s, fractionStart);
    }
    if (integerEnd == start && end <= fractionStart) return 0.0;  // no digits
    const size_t mantissaEnd = end;
    if (end < s.size() && (s[end] == 'e' || s[end] == 'E')) {
        size_t i = end + 1;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        const size_t exponentEnd = skipDigits(s, i);
        if (exponentEnd > i) end = exponentEnd;  // an "e" without digits is not part of it
    }
    double value = 0.0;
    const auto result = std::from_chars(s.data() + start, s.data() + end, value,
                                        std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        value = decimalMagnitude(s, start, integerEnd, fractionStart, mantissaEnd, end) > 0
                    ? std::numeric_limits<double>::infinity()
                    : 0.0;  // beyond the range of a double: infinity or zero, as strtod gives
    }
    return negative ? -value : value;
}

}  // namespace orvo
