#pragma once

#include <string>

namespace orvo {

class NestSystem;

// Writes the drawing of every plate, as "AllPlts.dxf" holds it, to a file of the user's
// choice and tells the user where it went. False (after "排样文件输出失败!") when the
// file cannot be written.
bool exportLayoutDxf(NestSystem& ns, const std::string& path);

}  // namespace orvo
