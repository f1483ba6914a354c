#pragma once

#include "geometry/contour.h"
#include "geometry/point.h"
#include "library/arc.h"
#include "library/outline.h"

namespace orvo {

class Platform;

// Chords of the arc, inserted at the front of the list (counter-clockwise).
void arcToSegments(const Arc& arc, double divisionAngle, SegmentList& list,
                   Platform* platform = nullptr);
void discretiseArc(const Arc& arc, double h, SegmentList& list, Platform* platform = nullptr);
// Consumes the segments, inserting the chained points at the front of the list.
void chainSegments(SegmentList& segments, PointList& points);
// The closed polygon of the loop within the chord-height tolerance h.
Contour loopToContour(const OutlineLoop& loop, double h);

}  // namespace orvo
