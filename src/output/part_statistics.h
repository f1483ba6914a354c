#pragma once

#include <string>

namespace orvo {

class NestSystem;

// Writes "PartInfo.txt": the parts of nestParts by size class (big, medium, small) and
// shape (square, big and square), with counts and outer areas. A file that cannot be
// created shows "零件信息文件输出错误!" and gives false; nothing else changes.
bool writePartStatistics(NestSystem& ns, const std::string& path);

}  // namespace orvo
