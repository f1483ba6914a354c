#pragma once

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
