#pragma once

#include <nlohmann/json.hpp>

#include "cli/terminal_platform.h"
#include "nesting/nest_system.h"

namespace orvo::cli {

// The state of a run for another program: what was read and dropped, the settings in
// use, the plates with their use, and every part's placement (partId, plateId, basePt,
// rotationAngle, mirrored: enough to rebuild the layout from the library) and the file of
// every part's drawing. After an import, "conflicts" lists the parts that overlap or lie
// off their plate.
nlohmann::ordered_json layoutSummary(const NestSystem& ns, const TerminalPlatform& platform,
                             double layoutSeconds, bool imported = false);

// One line for a person: parts, plates, unplaced parts, time.
std::string shortSummary(const NestSystem& ns, double layoutSeconds);

}  // namespace orvo::cli
