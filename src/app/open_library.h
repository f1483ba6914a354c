#pragma once

#include <string>

#include "nesting/nest_system.h"

namespace orvo {

// Reads the library into a freshly constructed NestSystem: configuration, outlines,
// nesting parts, part statistics. False, after a message, when the file could not be
// opened or holds no part that can be laid out (the caller keeps its previous NestSystem).
bool openPartLibrary(NestSystem& ns, const std::string& path);

}  // namespace orvo
