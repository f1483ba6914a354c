#pragma once

#include <string>
#include <vector>

#include "library/error_report.h"
#include "library/part_library.h"

namespace orvo {

// How the parts of a DXF drawing are taken.
struct DxfPartOptions {
    // End points closer than this (mm) are joined into one chain.
    double joinTolerance = 0.01;
    // Only entities on this layer; empty: every layer.
    std::string layer;
};

// The parts found in one DXF file, each in the record form of a part library (the same
// points, loops and signed arc radii that a preSrc record holds), in drawing order.
struct DxfParts {
    // False when the file could not be read as DXF at all (missing, not DXF, truncated);
    // `fault` then says why and `parts` is empty.
    bool readable = false;
    std::string fault;
    std::vector<PartRecord> parts;
};

// Reads the closed outlines of a DXF file as parts: a loop no other loop contains is an
// outer boundary, the loops directly inside it its holes. Chains that do not close,
// loops that cross themselves and parts without area are skipped with a line in the
// error report naming the file, the layer and the point; the other parts load.
DxfParts readDxfParts(const std::string& path, const DxfPartOptions& options,
                      ErrorReport& report);

}  // namespace orvo
