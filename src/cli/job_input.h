#pragma once

#include "app/open_library.h"
#include "cli/options.h"
#include "library/part_library.h"

namespace orvo::cli {

// Opens what the command line names into the fresh NestSystem: a part library, a job
// file, or the job of part files and settings given on the command line (--rn and --ppd
// replace a job's own). `built` receives the library read or made from the job. A
// command line that makes no job (a job file among other files, a job without --plate)
// is told on standard error and refused as a setting.
LibraryStatus openInputs(NestSystem& ns, const Options& options, PartLibrary& built);

// --write-library: writes the library that was opened. False, after a message, when it
// cannot be written or would write over one of the files read.
bool writeLibraryOutput(NestSystem& ns, const Options& options, const PartLibrary& built);

}  // namespace orvo::cli
