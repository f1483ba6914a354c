#include "geometry/contour.h"

namespace orvo {

void Part::initShape(const Contour&, const ContourList&) {}
BoundingBox Part::updateBox() { return box; }
double Part::updateNetArea() { return netArea; }
Point Part::updateCentroid() { return centroid; }
double Part::updateFillRatio() { return fillRatio; }
double Part::updateAspectRatio() { return aspectRatio; }
void Part::translatePart(double, double) {}
void Part::rotatePart(const Point&, double) {}
bool Part::mirrorPart(const Point&) { return mirrored; }
void Part::orientMinBox() {}
void Part::orientMinBoxIfWorth() {}
Point Part::nearestVertexToCentroid() { return Point(); }

}  // namespace orvo
