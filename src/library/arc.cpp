#include "library/arc.h"

namespace orvo {

Arc setArc(const Point&, double, double, double) { return {}; }
bool circleIntersection(const Circle&, const Circle&, Point&, Point&) { return false; }
bool canConnect(const Point&, const Point&, double) { return false; }
bool buildArc(const Point&, const Point&, double, Arc&, Platform*) { return false; }
bool checkLoopArcs(const OutlineLoop&, ErrorReport&) { return true; }
bool repairLoopArcs(OutlineLoop&, ErrorReport&) { return true; }
bool checkLoopChord(const OutlineLoop&, double, ErrorReport&) { return true; }

}  // namespace orvo
