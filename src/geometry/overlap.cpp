#include "geometry/overlap.h"

#include <cmath>

namespace orvo {

namespace {

// Box contact and containment tolerance, in millimetres.
constexpr double kBoxTolerance = 1e-4;

// A closed chain seen without ownership, so that a rectangle on the stack can take part
// in the same tests as a contour.
struct Ring {
    const Point* points;
    size_t count;
    const BoundingBox& box;
};

Ring ringOf(const Contour& k) { return Ring{k.points.data(), k.points.size(), k.box}; }

bool pointInRing(const Ring& k, const Point& p)
{
    if (p.x < k.box.min_X || p.x > k.box.max_X || p.y < k.box.min_Y || p.y > k.box.max_Y) return false;
    bool inside = false;
    for (size_t i = 0; i < k.count; ++i) {
        const Point& a = k.points[i];
        const Point& b = k.points[i + 1 < k.count ? i + 1 : 0];
        // Half-open rule: an edge counts when min(y1, y2) <= p.y < max(y1, y2) and p lies
        // left of it or on it at that height.
        if (a.y == p.y && b.y > p.y) {
            if (p.x <= a.x) inside = !inside;
        } else if (b.y == p.y && a.y > p.y) {
            if (p.x <= b.x) inside = !inside;
        } else if ((a.y < p.y && p.y < b.y) || (b.y < p.y && p.y < a.y)) {
            const double xint = a.x == b.x ? a.x : a.x + (b.x - a.x) * (p.y - a.y) / (b.y - a.y);
            if (p.x <= xint) inside = !inside;
        }
    }
    return inside;
}

bool allVerticesInRing(const Ring& container, const Ring& k)
{
    for (size_t i = 0; i < k.count; ++i)
        if (!pointInRing(container, k.points[i])) return false;
    return true;
}

bool anyVertexInRing(const Ring& container, const Ring& k)
{
    for (size_t i = 0; i < k.count; ++i)
        if (pointInRing(container, k.points[i])) return true;
    return false;
}

bool ringEdgesCross(const Ring& k1, const Ring& k2)
{
    if (k1.count == 0 || k2.count == 0) return false;
    for (size_t i = 0; i < k1.count; ++i) {
        const Point& s1 = k1.points[i];
        const Point& s2 = k1.points[i + 1 < k1.count ? i + 1 : 0];
        // An edge outside k2's box fails the extent rejection against every edge of k2.
        if (std::fmax(s1.x, s2.x) < k2.box.min_X || std::fmin(s1.x, s2.x) > k2.box.max_X ||
            std::fmax(s1.y, s2.y) < k2.box.min_Y || std::fmin(s1.y, s2.y) > k2.box.max_Y)
            continue;
        for (size_t j = 0; j < k2.count; ++j) {
            const Point& t2 = k2.points[j + 1 < k2.count ? j + 1 : 0];
            if (segmentsIntersect(s1, s2, k2.points[j], t2)) return true;
        }
    }
    return false;
}

bool boxesApart(const BoundingBox& p, const BoundingBox& q)
{
    return p.min_X > q.max_X || std::fabs(p.min_X - q.max_X) < kBoxTolerance ||
           q.min_X > p.max_X || std::fabs(p.max_X - q.min_X) < kBoxTolerance ||
           p.min_Y > q.max_Y || std::fabs(p.min_Y - q.max_Y) < kBoxTolerance ||
           q.min_Y > p.max_Y || std::fabs(p.max_Y - q.min_Y) < kBoxTolerance;
}

bool ringsDisjoint(const Ring& p, const Ring& q)
{
    if (boxesApart(p.box, q.box)) return true;
    if (anyVertexInRing(q, p) || anyVertexInRing(p, q)) return false;
    return !ringEdgesCross(p, q);
}

// True when the ring lies wholly inside one of the holes, touching none of its edges.
bool insideSomeHole(const ContourList& holes, const Ring& k)
{
    for (const Contour& h : holes) {
        const Ring hole = ringOf(h);
        if (allVerticesInRing(hole, k) && !ringEdgesCross(hole, k)) return true;
    }
    return false;
}

}  // namespace

bool pointInContour(const Contour& k, const Point& p) { return pointInRing(ringOf(k), p); }

bool allVerticesInside(const Contour& container, const Contour& k)
{
    return allVerticesInRing(ringOf(container), ringOf(k));
}

bool contourEdgesCross(const Contour& k1, const Contour& k2)
{
    return ringEdgesCross(ringOf(k1), ringOf(k2));
}

bool outersDisjoint(const Part& p, const Part& q) { return ringsDisjoint(ringOf(p.outer), ringOf(q.outer)); }

bool partsDisjoint(const Part& p, const Part& q)
{
    const Ring pOuter = ringOf(p.outer);
    const Ring qOuter = ringOf(q.outer);
    return ringsDisjoint(pOuter, qOuter) || insideSomeHole(p.holes, qOuter) ||
           insideSomeHole(q.holes, pOuter);
}

bool pointInPart(const Part& part, const Point& p)
{
    if (!pointInContour(part.outer, p)) return false;
    for (const Contour& h : part.holes)
        if (pointInContour(h, p)) return false;
    return true;
}

bool boxInsideRect(const Part& part, double min_X, double max_X, double min_Y, double max_Y)
{
    const BoundingBox& b = part.outer.box;
    return (max_X > b.max_X || std::fabs(b.max_X - max_X) < kBoxTolerance) &&
           (min_X < b.min_X || std::fabs(b.min_X - min_X) < kBoxTolerance) &&
           (max_Y > b.max_Y || std::fabs(b.max_Y - max_Y) < kBoxTolerance) &&
           (min_Y < b.min_Y || std::fabs(b.min_Y - min_Y) < kBoxTolerance);
}

bool boxInsideRect(const Part& part, const BoundingBox& rect)
{
    return boxInsideRect(part, rect.min_X, rect.max_X, rect.min_Y, rect.max_Y);
}

bool partOverlapsRect(const Part& part, double x1, double x2, double y1, double y2)
{
    // The rectangle as a hole-free part would be; built on the stack.
    const Point corners[4] = {Point(x1, y1), Point(x2, y1), Point(x2, y2), Point(x1, y2)};
    const BoundingBox box{std::fmin(x1, x2), std::fmax(x1, x2), std::fmin(y1, y2), std::fmax(y1, y2)};
    const Ring rect{corners, 4, box};
    const Ring outer = ringOf(part.outer);
    return !(ringsDisjoint(outer, rect) || insideSomeHole(part.holes, rect));
}

}  // namespace orvo
