#include "geometry/offset.h"

#include <cmath>
#include <vector>

namespace orvo {

namespace {

// Offset edge ends closer than this meet end to start (collinear or nearly collinear
// neighbours); an absolute length in millimetres.
constexpr double kCornerJoin = 0.1;

struct OffsetEdge {
    Segment line;
    bool usable = false;  // false for a zero-length edge, whose normal is undefined
};

std::vector<OffsetEdge> offsetEdges(const Contour& k, double d)
{
    const size_t n = k.points.size();
    // The normal is flipped for a counter-clockwise chain so that d > 0 always points out.
    const double s = isCounterClockwise(k) ? -1.0 : 1.0;
    std::vector<OffsetEdge> edges(n);
    for (size_t i = 0; i < n; ++i) {
        const Point& a = k.points[i];
        const Point& b = k.points[(i + 1) % n];
        const double t = (b.x - a.x) * s;
        const double u = -(b.y - a.y) * s;
        const double length = std::sqrt(t * t + u * u);
        if (!(length > 0.0) || !std::isfinite(length)) continue;
        const double ox = u / length * d;
        const double oy = t / length * d;
        edges[i].line = segmentFromPoints(Point(a.x + ox, a.y + oy), Point(b.x + ox, b.y + oy));
        edges[i].usable = true;
    }
    return edges;
}

// The mitred corner between the previous and the current offset edge.
Point corner(const Segment& previous, const Segment& current)
{
    if (isWithin(previous.p2, current.p1, kCornerJoin)) return previous.p2;
    // Parallel offset lines (a spike doubling back) have no meeting point.
    const double det = current.a * previous.b - previous.a * current.b;
    if (std::fabs(det) < 1e-15) return previous.p2;
    const Point meet = lineIntersection(current, previous);
    if (!std::isfinite(meet.x) || !std::isfinite(meet.y)) return previous.p2;
    return meet;
}

}  // namespace

void offsetContour(Contour& k, double d)
{
    const size_t n = k.points.size();
    if (n <= 2) return;
    const std::vector<OffsetEdge> edges = offsetEdges(k, d);

    // Zero-length edges are skipped: a vertex joins the last usable edge before it to the
    // first usable edge from it on, so repeated vertices move together.
    std::vector<size_t> previous(n), current(n);
    size_t last = n;
    for (size_t i = 0; i < 2 * n; ++i) {
        if (i >= n) previous[i - n] = last;
        if (edges[i % n].usable) last = i % n;
    }
    if (last == n) return;  // every vertex is the same point: nothing to offset
    size_t next = n;
    for (size_t i = 2 * n; i-- > 0;) {
        if (edges[i % n].usable) next = i % n;
        if (i < n) current[i] = next;
    }

    for (size_t j = 0; j < n; ++j) {
        const Point p = corner(edges[previous[j]].line, edges[current[j]].line);
        k.points[j].x = p.x;
        k.points[j].y = p.y;
    }
    contourArea(k);
    contourBox(k);
}

void offsetPart(Part& part, double d)
{
    if (d == 0.0) return;
    offsetContour(part.outer, d);
    for (Contour& h : part.holes) offsetContour(h, -d);
    part.updateBox();
    part.updateNetArea();
    part.updateCentroid();
}

}  // namespace orvo
