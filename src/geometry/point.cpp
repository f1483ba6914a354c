#include "geometry/point.h"

#include <algorithm>

namespace orvo {

Segment::Segment(const Point& start, const Point& end)
    : p1(start), p2(end), a(end.y - start.y), b(start.x - end.x), c(-a * start.x - b * start.y)
{
}

double distance(const Point& p, const Point& q)
{
    const double dx = p.x - q.x;
    const double dy = p.y - q.y;
    return std::sqrt(dx * dx + dy * dy);
}

bool coincides(const Point& p, const Point& q)
{
    const double dx = p.x - q.x;
    const double dy = p.y - q.y;
    return dx * dx + dy * dy < p.tol * p.tol;
}

bool isWithin(const Point& p, const Point& q, double d)
{
    const double dx = p.x - q.x;
    const double dy = p.y - q.y;
    return dx * dx + dy * dy < d * d;
}

void rotatePoint(Point& p, const Point& centre, double angle)
{
    const Point r = rotatedPoint(p, centre, std::cos(angle), std::sin(angle));
    p.x = r.x;
    p.y = r.y;
}

Point reflectPoint(const Segment& s, const Point& p)
{
    const double n = s.a * s.a + s.b * s.b;
    const double x = -((s.a * s.a - s.b * s.b) * p.x + 2.0 * s.a * s.b * p.y + 2.0 * s.a * s.c) / n;
    const double y = -((s.b * s.b - s.a * s.a) * p.y + 2.0 * s.a * s.b * p.x + 2.0 * s.b * s.c) / n;
    return Point(x, y);
}

Segment segmentFromPoints(const Point& p1, const Point& p2) { return Segment(p1, p2); }

bool segmentsIntersect(const Segment& s, const Segment& t)
{
    return segmentsIntersect(s.p1, s.p2, t.p1, t.p2);
}

Point lineIntersection(const Segment& s, const Segment& t)
{
    const double det = s.a * t.b - t.a * s.b;
    if (std::fabs(det) < 1e-15) {
        // Parallel: a shared end point when there is one, s.p2 otherwise (a defined point).
        if (coincides(s.p2, t.p1) || coincides(s.p2, t.p2)) return s.p2;
        if (coincides(s.p1, t.p1) || coincides(s.p1, t.p2)) return s.p1;
        return s.p2;
    }
    return Point(-(t.b * s.c - t.c * s.b) / det, -(t.c * s.a - t.a * s.c) / det);
}

double boxArea(double min_X, double max_X, double min_Y, double max_Y)
{
    return (max_Y - min_Y) * (max_X - min_X);
}

double boxLongerSide(double min_X, double max_X, double min_Y, double max_Y)
{
    return std::max(max_X - min_X, max_Y - min_Y);
}

double boxArea(const BoundingBox& box) { return boxArea(box.min_X, box.max_X, box.min_Y, box.max_Y); }

double boxLongerSide(const BoundingBox& box)
{
    return boxLongerSide(box.min_X, box.max_X, box.min_Y, box.max_Y);
}

}  // namespace orvo
