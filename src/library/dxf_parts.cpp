#include "library/dxf_parts.h"

namespace orvo {

DxfParts readDxfParts(const std::string& path, const DxfPartOptions& options,
                      ErrorReport& report)
{
    (void)options;
    (void)report;
    DxfParts result;
    result.fault = "DXF 文件读取失败: " + path;
    return result;
}

}  // namespace orvo
