#include "library/discretise.h"

namespace orvo {

void arcToSegments(const Arc&, double, SegmentList&, Platform*) {}
void discretiseArc(const Arc&, double, SegmentList&, Platform*) {}
void chainSegments(SegmentList& segments, PointList&) { segments.clear(); }
Contour loopToContour(const OutlineLoop&, double) { return {}; }

}  // namespace orvo
