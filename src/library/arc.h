#pragma once

#include "geometry/point.h"
#include "library/outline.h"

namespace orvo {

class Platform;

// A circular arc stored counter-clockwise from startAngle to endAngle (degrees,
// endAngle >= startAngle).
struct Arc {
    Point centre;
    double radius = 0.0;
    double startAngle = 0.0;
    double endAngle = 0.0;
};

struct Circle {
    Point centre;
    double radius = 0.0;
};

Arc setArc(const Point& centre, double radius, double startAngle, double endAngle);
bool circleIntersection(const Circle& c0, const Circle& c1, Point& i0, Point& i1);
bool canConnect(const Point& p0, const Point& p1, double radius);
// The shorter arc of the signed radius from p0 to p1; a failure returns false and shows
// its message box through the platform when one is given. (Loops that passed the arc
// checks never fail here, so the outline operations call it without a platform.)
bool buildArc(const Point& p0, const Point& p1, double radius, Arc& arc,
              Platform* platform = nullptr);

bool checkLoopArcs(const OutlineLoop& loop, ErrorReport& report);
bool repairLoopArcs(OutlineLoop& loop, ErrorReport& report);
bool checkLoopChord(const OutlineLoop& loop, double h, ErrorReport& report);

}  // namespace orvo
