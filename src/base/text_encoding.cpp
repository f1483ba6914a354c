#include "base/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

namespace orvo {

namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

// The length of the well-formed UTF-8 sequence at s[i], or 0 when it is not one
// (overlong forms, surrogates and values above U+10FFFF are not well-formed).
size_t utf8SequenceLength(std::string_view s, size_t i)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80) return 1;
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > s.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (size_t k = 2; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    }
    return length;
}

// One conversion descriptor for the length of one call.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts the input; at a byte sequence it cannot convert, calls skip, which
    // appends a replacement and returns how many input bytes to pass over.
    template <typename Skip>
    std::string convert(std::string_view input, Skip skip)
    {
        std::string out;
        char buffer[256];
        size_t pos = 0;
        while (pos < input.size()) {
            char* in = const_cast<char*>(input.data() + pos);
            size_t inLeft = input.size() - pos;
            char* to = buffer;
            size_t toLeft = sizeof buffer;
            const size_t result = iconv(cd_, &in, &inLeft, &to, &toLeft);
            const int error = errno;
            out.append(buffer, static_cast<size_t>(to - buffer));
            pos = input.size() - inLeft;
            if (result != static_cast<size_t>(-1) || error == E2BIG) continue;
            pos += skip(input, pos, out);
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
        }
        return out;
    }

private:
    iconv_t cd_;
};

// Without a converter (no conversion tables installed) ASCII passes and the rest
// becomes replacements, so nothing but ASCII is ever written unconverted.
std::string asciiOnly(std::string_view input, std::string_view replacement)
{
    std::string out;
    for (char c : input) {
        if (static_cast<unsigned char>(c) < 0x80) {
            out += c;
        } else {
            out += replacement;
        }
    }
    return out;
}

}  // namespace

std::string utf8ToGbk(std::string_view utf8)
{
    Converter converter("GBK", "UTF-8");
    if (!converter.ok()) return asciiOnly(utf8, "?");
    return converter.convert(utf8, [](std::string_view input, size_t pos, std::string& out) {
        out += '?';
        const size_t length = utf8SequenceLength(input, pos);
        return length == 0 ? size_t{1} : length;
    });
}

std::string gbkToUtf8(std::string_view gbk)
{
    if (isValidUtf8(gbk)) return std::string(gbk);
    Converter converter("UTF-8", "GB18030");
    if (!converter.ok()) return asciiOnly(gbk, kReplacementUtf8);
    return converter.convert(gbk, [](std::string_view, size_t, std::string& out) {
        out += kReplacementUtf8;
        return size_t{1};
    });
}

bool isValidUtf8(std::string_view text)
{
    for (size_t i = 0; i < text.size();) {
        const size_t length = utf8SequenceLength(text, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

}  // namespace orvo
