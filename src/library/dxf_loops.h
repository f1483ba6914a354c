#pragma once

#include <cstdint>
#include <vector>

#include "geometry/point.h"
#include "library/dxf_edges.h"
#include "library/outline.h"

namespace orvo {

// A closed chain of edges, in the record form.
struct DxfLoop {
    enum class Fault { None, Crossing, NoArea };

    OutlineLoop loop;
    int32_t layer = 0;
    int32_t order = 0;    // the earliest drawing order of its edges
    double area = 0.0;    // signed, arcs exact: > 0 counter-clockwise
    Fault fault = Fault::None;
    Point where;          // the crossing, or a vertex of a loop without area
};

// A chain whose ends do not meet.
struct DxfOpenChain {
    Point first, last;
    int32_t layer = 0;
    int32_t order = 0;
};

struct DxfChains {
    std::vector<DxfLoop> loops;
    std::vector<DxfOpenChain> open;
};

// Joins the edges whose end points lie within `tolerance` of each other into chains, in
// drawing order; closed chains are checked for self-crossing and for area.
DxfChains chainEdges(const std::vector<DxfEdge>& edges, double tolerance);

// One part: an outer loop and the loops directly inside it, as indices into the loops.
struct DxfLoopNest {
    size_t outer = 0;
    std::vector<size_t> holes;
};

// Outer boundaries (loops inside an even number of others, drawing order) with their
// holes; loops without area take no part.
std::vector<DxfLoopNest> nestLoops(const std::vector<DxfLoop>& loops);

// The signed area enclosed by the loop, its arcs taken exactly.
double loopArea(const OutlineLoop& loop);
// The same loop run the other way round (radii change sign).
OutlineLoop reversedLoop(const OutlineLoop& loop);

}  // namespace orvo
