#pragma once

#include <nlohmann/json.hpp>

#include "cli/optimise_run.h"
#include "cli/options.h"
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

// Adds "method": the Layout All method of the run ("hape", "multistep", "optimise",
// "none", or "import" when --import replaced it) and, after a search, "optimise": its
// seed, threads, iterations run, seconds, whether Ctrl+C ended it, its limits, and the
// start layout's and the held layout's placed parts, plates and last plate's packed length.
void addLayoutMethod(nlohmann::ordered_json& summary, LayoutChoice choice, bool imported,
                     const OptimiseRun* optimised);

// One line for a person: parts, plates, unplaced parts, time.
std::string shortSummary(const NestSystem& ns, double layoutSeconds);

// One line for a person on the search: from where to where, with how much work.
std::string optimiseSummary(const OptimiseRun& run);

}  // namespace orvo::cli
