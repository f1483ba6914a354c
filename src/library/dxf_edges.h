#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "geometry/point.h"
#include "library/dxf_drawing.h"

namespace orvo {

// One edge of a part boundary in millimetres, in the record form: straight (radius 0) or
// the shorter circular arc of the signed radius (> 0 counter-clockwise from `from` to `to`).
struct DxfEdge {
    Point from, to;
    double radius = 0.0;
    int32_t layer = 0;  // index into DxfEdgeSet::layers
    int32_t order = 0;  // drawing order of the entity it comes from
};

struct DxfEdgeOptions {
    double unitScale = 1.0;       // drawing units to millimetres
    double chordTolerance = 1.0;  // mm, largest gap between a curve and its chords
    // Arcs of this radius (mm) or less are not kept as arcs but cut into chords: the
    // outline's chord check refuses them.
    double minArcRadius = 1.0;
    std::string layer;            // empty: every layer (compared without case)
    size_t maxEdges = 2000000;
};

struct DxfEdgeSet {
    std::vector<DxfEdge> edges;
    std::vector<std::string> layers;
    bool overBudget = false;    // more edges than maxEdges: the rest were not made
    bool tooDeep = false;       // blocks nested deeper than the limit (a block inserting itself)
    int missingBlocks = 0;      // inserts of blocks the file does not define
    int unreadableCurves = 0;   // splines whose knots, degree or weights do not fit
    int outOfRange = 0;         // edges beyond 1e10 mm (or not finite) once placed
};

// The edges of every boundary entity of model space, inserts expanded with their scale,
// rotation, mirroring and arrays, in millimetres. Arcs under a similarity stay arcs (cut
// into pieces of at most 150 degrees, so that none is a half circle); ellipses, splines
// and arcs under an unequal scale become chords within the chord tolerance.
DxfEdgeSet drawingEdges(const DxfDrawing& drawing, const DxfEdgeOptions& options);

// Millimetres per drawing unit of $INSUNITS (0, unitless, reads as millimetres).
double insUnitsScale(int insUnits);

}  // namespace orvo
