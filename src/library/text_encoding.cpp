#include "library/text_encoding.h"

namespace orvo {

std::string utf8ToGbk(std::string_view utf8) { return std::string(utf8); }
std::string gbkToUtf8(std::string_view gbk) { return std::string(gbk); }

}  // namespace orvo
