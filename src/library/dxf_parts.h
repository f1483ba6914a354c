#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "library/error_report.h"
#include "library/part_library.h"

namespace orvo {

// How the parts of a DXF drawing are taken.
struct DxfPartOptions {
    // End points closer than this (mm) are joined into one chain.
    double joinTolerance = 0.01;
    // Only entities on this layer (compared without case); empty: every layer. Entities
    // of a block on layer "0" are on the layer of their insert.
    std::string layer;
    // Largest gap (mm) between an ellipse, a spline or an unequally scaled arc and the
    // chords it becomes: the chord-height tolerance with which outlines cut their arcs.
    double chordTolerance = 1.0;
    // A drawing with more edges than this (inserts expanded) is refused as a whole.
    size_t maxEdges = 2000000;
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
// outer boundary, the loops directly inside it its holes, and a loop inside a hole is
// again an outer boundary (a nest, as CAD users draw one). Chains that do not close,
// loops that cross themselves and parts without area are skipped with a line in the
// error report naming the file, the layer and the point; the other parts load.
//
// Every finding goes to the report, the fault of an unreadable file included (as the
// line "DXF文件读取失败: <file>: <reason>", which is also `fault`).
//
// The records: nameId is the file's name without folder and extension, followed by
// "-1", "-2", ... in drawing order when the file holds more than one part; partName is
// the layer of the outer boundary; the other fields are 0. points[0] is the unread
// element 0; then the outer loop (counter-clockwise), then each hole (clockwise), each
// loop as its vertex lines (the first with value = vertex count + 1, the others with the
// signed radius of the edge arriving at them), its closing line (the radius of the edge
// back to vertex 0, at vertex 0) and, between loops, a separator line of zeros. Every
// point line has code 0 and text "L". Units are millimetres.
DxfParts readDxfParts(const std::string& path, const DxfPartOptions& options,
                      ErrorReport& report);
// The same over the bytes of a file; `fileName` names it in the report.
DxfParts readDxfPartsFromBytes(std::string_view bytes, const std::string& fileName,
                               const DxfPartOptions& options, ErrorReport& report);

}  // namespace orvo
