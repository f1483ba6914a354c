#pragma once

#include "geometry/contour.h"
#include "geometry/part.h"

namespace orvo {

// Parallel mitred offset; a positive distance always enlarges the enclosed area. Chains of
// fewer than 3 vertices are left alone. Zero-length edges are skipped (repeated vertices
// move together), and where two neighbouring offset edges are parallel (a spike that
// doubles back) the vertex takes the end point of the previous offset edge, so the
// result is always finite.
void offsetContour(Contour& k, double d);
// Grows the outer boundary and shrinks every hole by d (nothing when d is 0).
void offsetPart(Part& part, double d);

}  // namespace orvo
