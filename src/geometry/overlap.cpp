#include "geometry/overlap.h"

namespace orvo {

bool pointInContour(const Contour&, const Point&) { return false; }
bool allVerticesInside(const Contour&, const Contour&) { return false; }
bool contourEdgesCross(const Contour&, const Contour&) { return false; }
bool outersDisjoint(const Part&, const Part&) { return true; }
bool partsDisjoint(const Part&, const Part&) { return true; }
bool pointInPart(const Part&, const Point&) { return false; }
bool boxInsideRect(const Part&, double, double, double, double) { return false; }
bool boxInsideRect(const Part&, const BoundingBox&) { return false; }
bool partOverlapsRect(const Part&, double, double, double, double) { return false; }

}  // namespace orvo
