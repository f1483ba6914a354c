#include "geometry/contour.h"

namespace orvo {

void Contour::setPoints(int32_t, const Point*) {}
void Contour::setPoints(const std::vector<Point>&) {}
double contourArea(Contour&) { return 0.0; }
bool isCounterClockwise(const Contour&) { return false; }
Point contourCentroid(const Contour&) { return Point(); }
BoundingBox contourBox(Contour&) { return BoundingBox(); }
void translateContour(Contour&, double, double) {}
BoundingBox rotateContour(Contour&, const Point&, double) { return BoundingBox(); }
void reflectContour(Contour&, const Segment&) {}
Point nearestVertex(const Contour&, const Point&) { return Point(); }
void TextLabel::setText(const std::string& value) { text = value; }
PenStyle partPen(const Part&) { return PenStyle(); }

}  // namespace orvo
