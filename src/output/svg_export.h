#pragma once

#include <string>

#include "nesting/nest_system.h"

namespace orvo {

// A picture of every plate with its placed parts in their true shapes, coloured as on
// screen (plates blue, parts green, turned-over parts yellow on black), with each
// plate's id and material utilisation; y axis up.
std::string layoutSvgText(const NestSystem& ns);
// False (after the message "排样图输出失败!") when the file cannot be written.
bool exportLayoutSvg(NestSystem& ns, const std::string& path);

}  // namespace orvo
