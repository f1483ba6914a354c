#pragma once

#include <optional>
#include <string>
#include <vector>

#include "nesting/nest_system.h"
#include "nesting/optimise.h"

namespace orvo::cli {

enum class LayoutChoice { Hape, MultiStep, Optimise, None };

// --threads takes at most this many search threads.
inline constexpr int32_t kMaxThreads = 256;

struct Options {
    // The part library or job file, or the first part file of a command-line job.
    std::string library;
    // Every file named: one part library, one job file (.json), or the part files of a
    // job given here ("FILE" or "FILE:QUANTITY").
    std::vector<std::string> inputs;
    // The settings of a job given on the command line.
    std::optional<std::string> plate;  // "LENGTHxWIDTH"
    std::optional<double> gap;
    std::optional<double> margin;
    std::optional<bool> turnOver;
    std::string writeLibrary;
    std::string workFolder = ".";
    LayoutChoice layout = LayoutChoice::Hape;
    // --layout optimise: --time, --seed, --threads, --iterations (threads 0: every core).
    OptimiseSettings optimise;
    std::optional<int32_t> rotationNumber;
    std::optional<double> packingPointDistance;
    std::string importFile;
    std::string saveFile;
    std::string svgFile;
    bool exportAll = false;
    bool exportPlates = false;
    bool exportParts = false;
    std::optional<int32_t> reportPlate;  // set with --report; -1: the active plate
    bool json = false;
    bool quiet = false;
};

struct ParseResult {
    std::optional<Options> options;  // none: the run ends with exitCode
    int exitCode = 0;
};

// True when the files and settings make a job (part files with quantities, DXF files,
// several files, or --plate, --gap, --margin, --turn-over), false for one part library
// or one job file.
bool commandLineJob(const Options& options);

// Parses the command line; --help and --version print and end with 0, a usage error
// prints its message and ends with 2. The search options are refused without
// --layout optimise, and so is a search with neither a time nor an iteration budget.
ParseResult parseOptions(int argc, char** argv);

}  // namespace orvo::cli
