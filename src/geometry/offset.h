#pragma once

#include "geometry/contour.h"

namespace orvo {

// Parallel mitred offset; a positive distance always enlarges the enclosed area.
void offsetContour(Contour& k, double d);
// Grows the outer boundary and shrinks every hole by d (nothing when d is 0).
void offsetPart(Part& part, double d);

}  // namespace orvo
