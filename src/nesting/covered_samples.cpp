#include "nesting/covered_samples.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "geometry/overlap.h"

namespace orvo {

namespace {

double squaredDistanceToSegment(const Point& p, const Point& a, const Point& b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = a.x + t * dx - p.x;
    const double ey = a.y + t * dy - p.y;
    return ex * ex + ey * ey;
}

bool farFromEdges(const Contour& k, const Point& p, double depth)
{
    const size_t n = k.points.size();
    for (size_t i = 0; i < n; ++i) {
        const Point& a = k.points[i];
        const Point& b = k.points[(i + 1) % n];
        // Beyond the edge's box grown by depth, the point is farther than depth from it.
        if (p.x + depth < std::min(a.x, b.x) || p.x - depth > std::max(a.x, b.x) ||
            p.y + depth < std::min(a.y, b.y) || p.y - depth > std::max(a.y, b.y))
            continue;
        if (!(squaredDistanceToSegment(p, a, b) >= depth * depth)) return false;
    }
    return true;
}

bool deepInside(const Part& part, const Point& p)
{
    if (!pointInPart(part, p) || !farFromEdges(part.outer, p, kSampleDepth)) return false;
    for (const Contour& h : part.holes) {
        if (!farFromEdges(h, p, kSampleDepth)) return false;
    }
    return true;
}

// The whole numbers of grid steps from low to high (rounded inwards); false when there are
// none or they are out of any sensible range.
bool stepRange(double low, double high, double ppd, int64_t& first, int64_t& last)
{
    const double a = std::ceil(low / ppd);
    const double b = std::floor(high / ppd);
    const double limit = 1e9;
    if (!(a >= -limit && b <= limit && a <= b)) return false;
    first = static_cast<int64_t>(a);
    last = static_cast<int64_t>(b);
    return true;
}

}  // namespace

CoveredSamples::CoveredSamples(const Part& part, const Point& anchor, double ppd, int64_t triesPerSide,
                               size_t maxSamples)
{
    if (triesPerSide < 1) return;
    if (!(ppd > 0.0) || !std::isfinite(ppd) || part.outer.empty()) return;
    const BoundingBox& box = part.outer.box;
    int64_t c0 = 0, c1 = 0, r0 = 0, r1 = 0;
    if (!stepRange(box.min_X - anchor.x, box.max_X - anchor.x, ppd, c0, c1) ||
        !stepRange(box.min_Y - anchor.y, box.max_Y - anchor.y, ppd, r0, r1))
        return;
    const int64_t cStep = std::max<int64_t>(1, (c1 - c0 + triesPerSide) / triesPerSide);
    const int64_t rStep = std::max<int64_t>(1, (r1 - r0 + triesPerSide) / triesPerSide);
    std::vector<Offset> inside;
    std::vector<Point> where;
    for (int64_t c = c0; c <= c1; c += cStep) {
        for (int64_t r = r0; r <= r1; r += rStep) {
            const Point p(anchor.x + static_cast<double>(c) * ppd, anchor.y + static_cast<double>(r) * ppd);
            if (!deepInside(part, p)) continue;
            inside.push_back({c, r});
            where.push_back(p);
        }
    }
    // Spread the samples: each next one the farthest from those already taken.
    std::vector<double> nearest(inside.size(), std::numeric_limits<double>::infinity());
    size_t next = 0;
    while (!inside.empty() && offsets_.size() < std::min(maxSamples, inside.size())) {
        offsets_.push_back(inside[next]);
        const Point taken = where[next];
        size_t farthest = 0;
        for (size_t k = 0; k < inside.size(); ++k) {
            const double dx = where[k].x - taken.x;
            const double dy = where[k].y - taken.y;
            nearest[k] = std::min(nearest[k], dx * dx + dy * dy);
            if (nearest[k] > nearest[farthest]) farthest = k;
        }
        if (!(nearest[farthest] > 0.0)) break;
        next = farthest;
    }
}

CoveredSamples::Offset CoveredSamples::turnedOffset(Offset o, int32_t quarterTurns, bool turnedOver)
{
    for (int32_t q = 0; q < quarterTurns % 4; ++q) o = Offset{-o.rows, o.columns};
    if (turnedOver) o.rows = -o.rows;
    return o;
}

CoveredSamples CoveredSamples::turned(int32_t quarterTurns, bool turnedOver) const
{
    CoveredSamples out;
    for (const Offset& o : offsets_) out.offsets_.push_back(turnedOffset(o, quarterTurns, turnedOver));
    return out;
}

}  // namespace orvo
