#pragma once

#include "cli/options.h"
#include "nesting/nest_system.h"

namespace orvo::cli {

// Takes relative --save and --svg paths inside the work folder (-C) and refuses, with a
// message, outputs that would write over the part library. False when refused.
bool settleOutputPaths(Options& options);

// --import: replaces the layout by the packing file's. False (after the system's
// message) when the file cannot be read or does not fit the library; nothing changed.
bool importLayout(NestSystem& ns, const Options& options);

// The outputs asked for, in this order: --export-all, --export-plates, --export-parts,
// --save, --svg, --report. A failed output does not keep the others from being written.
// Returns 0 when all were written, 2 when --report names no plate (or there is no plate
// to report on), 3 when a file could not be written.
int writeOutputs(NestSystem& ns, const Options& options);

}  // namespace orvo::cli
