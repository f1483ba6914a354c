#pragma once

#include <optional>
#include <string>

#include "nesting/nest_system.h"

namespace orvo::cli {

enum class LayoutChoice { Hape, MultiStep, None };

struct Options {
    std::string library;
    std::string workFolder = ".";
    LayoutChoice layout = LayoutChoice::Hape;
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

// Parses the command line; --help and --version print and end with 0, a usage error
// prints its message and ends with 2.
ParseResult parseOptions(int argc, char** argv);

}  // namespace orvo::cli
