#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvo {

// The system's own texts live in the code as UTF-8; the files it writes carry them as
// GBK bytes. Part names are never converted: they pass through as read.
std::string utf8ToGbk(std::string_view utf8);
// For showing bytes read from a file (part names) or GBK text: a text that is valid
// UTF-8 is returned as it is; otherwise it is decoded from GBK, with bytes that are not
// GBK replaced by U+FFFD.
std::string gbkToUtf8(std::string_view gbk);
// The UTF-8 of a GBK text (decoded as gbkToUtf8 decodes it), or nothing when a byte
// sequence in it is not GBK or no conversion tables are installed: for names that must
// not come out garbled.
std::optional<std::string> strictGbkToUtf8(std::string_view gbk);
// Well-formed UTF-8: no overlong forms, surrogates or values above U+10FFFF.
bool isValidUtf8(std::string_view text);

}  // namespace orvo
