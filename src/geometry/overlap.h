#pragma once

#include "geometry/contour.h"

namespace orvo {

// The yes/no questions that decide whether a placement is legal. None allocates. They
// read the cached box of every contour, so the caller keeps the boxes current (every
// transform does); only the two box tests allow a tolerance (1e-4).
bool pointInContour(const Contour& k, const Point& p);
bool allVerticesInside(const Contour& container, const Contour& k);
bool contourEdgesCross(const Contour& k1, const Contour& k2);
bool outersDisjoint(const Part& p, const Part& q);
// The collision test: true when the two parts may stand where they are.
bool partsDisjoint(const Part& p, const Part& q);
bool pointInPart(const Part& part, const Point& p);
bool boxInsideRect(const Part& part, double min_X, double max_X, double min_Y, double max_Y);
bool boxInsideRect(const Part& part, const BoundingBox& rect);
bool partOverlapsRect(const Part& part, double x1, double x2, double y1, double y2);

}  // namespace orvo
