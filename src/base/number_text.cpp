#include "base/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace orvo {

namespace {

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' ||
                             text.front() == '\n' || text.front() == '\r')) {
        text.remove_prefix(1);
    }
    // from_chars takes a minus sign only.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
    return text;
}

}  // namespace

double leadingDouble(std::string_view text)
{
    text = trimmed(text);
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value)) return 0.0;
    return value;
}

int32_t leadingInt(std::string_view text)
{
    text = trimmed(text);
    int64_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        return text.front() == '-' ? std::numeric_limits<int32_t>::min()
                                   : std::numeric_limits<int32_t>::max();
    }
    if (result.ec != std::errc()) return 0;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

std::string formatG(double value, int significant)
{
    // to_chars with the general format and a precision is printf's "%.*g" in the C locale;
    // the longest such text (17 digits, sign, point, exponent) fits the buffer.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general,
                                      significant);
    return std::string(buffer, result.ptr);
}

std::string formatFixed(double value, int decimals)
{
    // Room for every finite double with the few decimals the files use.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return "0";
    return std::string(buffer, result.ptr);
}

}  // namespace orvo

namespace orvo {

std::string formatShortest(double value)
{
    // The shortest text that reads back, in plain digits where "%g" would write them.
    const double magnitude = std::fabs(value);
    const bool plain = magnitude == 0.0 || (magnitude >= 1e-5 && magnitude < 1e15);
    char buffer[400];
    const auto result = plain ? std::to_chars(buffer, buffer + sizeof buffer, value,
                                              std::chars_format::fixed)
                              : std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace orvo
