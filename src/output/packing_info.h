#pragma once

#include <string>

#include "nesting/nest_system.h"

namespace orvo {

// The packing-information file: the plates with their boxes and the pose of every part
// of nestParts, 8 decimals, "." always, CR LF line ends.
std::string packingInfoText(const NestSystem& ns);
// Writes the file; on failure shows "文件保存失败!" and then the advice to choose
// another path, and returns false.
bool exportPackingInfo(NestSystem& ns, const std::string& path);

// Reads and checks the whole file before anything changes. Keys and numbers must follow
// the format (white space and line ends are free, as a scanf pattern would take them);
// a file that does not shows "排样文件读取错误!", a partId that trueShapes lacks shows
// "零件ID信息错误!", and in both cases the layout stays exactly as it was. A file that
// reads completely replaces plates and nestParts; the first plate becomes active.
bool importPackingInfo(NestSystem& ns, const std::string& path);

}  // namespace orvo
