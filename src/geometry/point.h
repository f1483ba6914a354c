#pragma once

#include <algorithm>
#include <cmath>

#include "geometry/front_list.h"

namespace orvo {

// pi as the program takes it everywhere: the arc cosine of -1.
inline const double kPi = std::acos(-1.0);

// A point with its own coincidence tolerance; transforms move x and y only.
struct Point {
    double x = 0.0;
    double y = 0.0;
    double tol = 1e-15;

    Point() = default;
    Point(double px, double py) : x(px), y(py) {}
};

// Always min_X, max_X, min_Y, max_Y: the x range first, then the y range.
struct BoundingBox {
    double min_X = 0.0;
    double max_X = 0.0;
    double min_Y = 0.0;
    double max_Y = 0.0;
};

// The box vocabulary. Plain arithmetic in a fixed order (layouts depend on the exact
// sums) and closed comparisons without tolerance; the overlap tests add their 1e-4.
inline double boxWidth(const BoundingBox& b) { return b.max_X - b.min_X; }
inline double boxHeight(const BoundingBox& b) { return b.max_Y - b.min_Y; }
inline Point boxCentre(const BoundingBox& b)
{
    return Point((b.min_X + b.max_X) / 2.0, (b.min_Y + b.max_Y) / 2.0);
}
// Bit for bit the same box (a change of the layout shows in its boxes).
inline bool sameBox(const BoundingBox& a, const BoundingBox& b)
{
    return a.min_X == b.min_X && a.max_X == b.max_X && a.min_Y == b.min_Y && a.max_Y == b.max_Y;
}
// The box a translation by (dx, dy) gives: the very sums the translated vertices make.
inline BoundingBox shifted(const BoundingBox& b, double dx, double dy)
{
    return BoundingBox{b.min_X + dx, b.max_X + dx, b.min_Y + dy, b.max_Y + dy};
}
// Every side moved outwards by d (inwards for a negative d).
inline BoundingBox grown(const BoundingBox& b, double d)
{
    return BoundingBox{b.min_X - d, b.max_X + d, b.min_Y - d, b.max_Y + d};
}
// The smallest box around both.
inline BoundingBox boxUnion(const BoundingBox& a, const BoundingBox& b)
{
    return BoundingBox{std::min(a.min_X, b.min_X), std::max(a.max_X, b.max_X), std::min(a.min_Y, b.min_Y),
                       std::max(a.max_Y, b.max_Y)};
}
// A side whose maximum lies below its minimum: no point is in the box.
inline bool inverted(const BoundingBox& b) { return b.min_X > b.max_X || b.min_Y > b.max_Y; }
// The closed boxes share at least one point (touching counts).
inline bool meets(const BoundingBox& a, const BoundingBox& b)
{
    return a.min_X <= b.max_X && a.max_X >= b.min_X && a.min_Y <= b.max_Y && a.max_Y >= b.min_Y;
}
// p lies in the closed box.
inline bool contains(const BoundingBox& b, const Point& p)
{
    return p.x >= b.min_X && p.x <= b.max_X && p.y >= b.min_Y && p.y <= b.max_Y;
}
// inner lies inside outer without touching its sides.
inline bool containsStrictly(const BoundingBox& outer, const BoundingBox& inner)
{
    return inner.min_X > outer.min_X && inner.max_X < outer.max_X && inner.min_Y > outer.min_Y &&
           inner.max_Y < outer.max_Y;
}

// A directed segment with the coefficients of its line a*x + b*y + c = 0.
struct Segment {
    Point p1;
    Point p2;
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;

    Segment() = default;
    Segment(const Point& start, const Point& end);
};

using PointList = FrontList<Point>;
using SegmentList = FrontList<Segment>;

double distance(const Point& p, const Point& q);
// Squared distance below the first point's own tolerance, strictly.
bool coincides(const Point& p, const Point& q);
// Squared distance below d squared, strictly.
bool isWithin(const Point& p, const Point& q, double d);
// p turned about centre by the angle whose cosine is c and sine is s: the one rotation
// formula behind every rotation of points, contours, loops and boxes.
inline Point rotatedPoint(const Point& p, const Point& centre, double c, double s)
{
    const double x = p.x - centre.x;
    const double y = p.y - centre.y;
    return Point(c * x - s * y + centre.x, s * x + c * y + centre.y);
}
// Moves x and y only: the point keeps its own tolerance.
void rotatePoint(Point& p, const Point& centre, double angle);
Point reflectPoint(const Segment& s, const Point& p);
Segment segmentFromPoints(const Point& p1, const Point& p2);
// The closed segments share at least one point (touching and collinear overlap count).
bool segmentsIntersect(const Segment& s, const Segment& t);

// The same test on the end points alone (s1-s2 against t1-t2), for the edge loops of the
// overlap tests: extent rejection first, then the two straddle products, no tolerance.
inline bool segmentsIntersect(const Point& s1, const Point& s2, const Point& t1, const Point& t2)
{
    if ((s1.x > s2.x ? s1.x : s2.x) < (t1.x < t2.x ? t1.x : t2.x) ||
        (s1.x < s2.x ? s1.x : s2.x) > (t1.x > t2.x ? t1.x : t2.x))
        return false;
    if ((s1.y > s2.y ? s1.y : s2.y) < (t1.y < t2.y ? t1.y : t2.y) ||
        (s1.y < s2.y ? s1.y : s2.y) > (t1.y > t2.y ? t1.y : t2.y))
        return false;
    const double sx = s2.x - s1.x, sy = s2.y - s1.y;
    const double sideT2 = sx * (t2.y - s1.y) - sy * (t2.x - s1.x);
    const double sideT1 = sx * (t1.y - s1.y) - sy * (t1.x - s1.x);
    if (sideT2 * sideT1 > 0.0) return false;
    const double tx = t2.x - t1.x, ty = t2.y - t1.y;
    const double sideS2 = tx * (s2.y - t1.y) - ty * (s2.x - t1.x);
    const double sideS1 = tx * (s1.y - t1.y) - ty * (s1.x - t1.x);
    return sideS2 * sideS1 <= 0.0;
}
// Where the two lines meet. Parallel lines give a shared end point when there is one,
// otherwise s.p2 (a defined point; callers that can meet this case handle it).
Point lineIntersection(const Segment& s, const Segment& t);

double boxArea(double min_X, double max_X, double min_Y, double max_Y);
double boxLongerSide(double min_X, double max_X, double min_Y, double max_Y);
double boxArea(const BoundingBox& box);
double boxLongerSide(const BoundingBox& box);

}  // namespace orvo
