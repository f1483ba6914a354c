#include "library/outline.h"

namespace orvo {

void OutlineLoop::setLoop(int32_t, const Point*, const double*) {}
double OutlineLoop::vertexBoxDiagonal() const { return 0.0; }
void OutlineLoop::translateLoop(double, double) {}
void OutlineLoop::rotateLoop(const Point&, double) {}
void OutlineLoop::reflectLoop(const Segment&) {}

PartOutline::PartOutline(const PartOutline&) {}
PartOutline& PartOutline::operator=(const PartOutline&) { return *this; }
PartOutline::PartOutline(PartOutline&&) noexcept {}
PartOutline& PartOutline::operator=(PartOutline&&) noexcept { return *this; }
void PartOutline::setShape(const OutlineLoop&, const OutlineLoopList&) {}
double PartOutline::updateNetArea() { return 0.0; }
Point PartOutline::updateCentroid() { return {}; }
void PartOutline::mirrorOutline(const Point&) {}
Part PartOutline::toPart() const { return {}; }
void PartOutline::translateOutline(double, double) {}
void PartOutline::rotateOutline(const Point&, double) {}

}  // namespace orvo
