#include "library/discretise.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_map>
#include <vector>

#include "base/platform.h"

namespace orvo {

namespace {

// Bounds on the chords of an arc and of a loop: far above anything a part of real size
// needs (a half circle of 1 km radius takes about 1100 chords at 1 mm), they keep absurd
// coordinates from asking for millions of chords.
constexpr int32_t kMaxChordsPerArc = 1000;
constexpr int32_t kMaxChordsPerLoop = 100000;

// Two chained points match when closer than this.
constexpr double kChainGap = 0.5;

using ArcList = FrontList<Arc>;

bool finite(const Point& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

Point pointAt(const Arc& arc, double angleDegrees)
{
    const double t = angleDegrees / 180.0 * kPi;
    return Point(arc.centre.x + arc.radius * std::cos(t), arc.centre.y + arc.radius * std::sin(t));
}

void cutArc(const Arc& arc, double divisionAngle, SegmentList& list, Platform* platform,
            int32_t maxChords)
{
    if (divisionAngle <= 0.0 || std::isnan(divisionAngle)) {
        if (platform != nullptr) platform->showMessage("圆弧划分角度错误!", kCaptionWarning);
        return;
    }
    const double sweep = arc.endAngle - arc.startAngle;
    if (!std::isfinite(sweep) || !finite(arc.centre) || !std::isfinite(arc.radius)) return;
    const double quotient = sweep / divisionAngle;
    int32_t n = maxChords;
    if (quotient < maxChords) n = quotient > 0.0 ? static_cast<int32_t>(quotient) : 0;
    double step = sweep;
    if (n < 2) {
        n = 1;
    } else {
        step = sweep / n;
    }
    for (int32_t i = 0; i < n; ++i) {
        const double theta1 = arc.startAngle + i * step;
        const double theta2 = i == n - 1 ? arc.endAngle : theta1 + step;
        list.insert(Segment(pointAt(arc, theta1), pointAt(arc, theta2)));
    }
}

void discretiseBounded(const Arc& arc, double h, SegmentList& list, Platform* platform,
                       int32_t maxChords)
{
    if (!(0.0 <= h && h <= arc.radius)) {
        if (platform != nullptr) platform->showMessage("弓高误差错误!", kCaptionWarning);
        return;
    }
    double divisionAngle = 2.0 * std::acos(1.0 - h / arc.radius) * 180.0 / kPi;
    // For a radius so large that 1 - h/r rounds to 1 the angle vanishes; the chord
    // bound then decides.
    const double sweep = arc.endAngle - arc.startAngle;
    if (divisionAngle == 0.0 && h > 0.0 && sweep > 0.0) divisionAngle = sweep / maxChords;
    cutArc(arc, divisionAngle, list, platform, maxChords);
}

// End points of the segments by cells of the matching distance, so that the chain
// looks only at the neighbourhood of its current point.
class EndpointGrid {
public:
    explicit EndpointGrid(const std::vector<Segment>& segments)
    {
        for (size_t i = 0; i < segments.size(); ++i) {
            add(segments[i].p1, static_cast<int32_t>(i));
            add(segments[i].p2, static_cast<int32_t>(i));
        }
    }

    // The first live segment in list order with an end point within the gap of p.
    int32_t firstMatch(const Point& p, const std::vector<Segment>& segments,
                       const std::vector<bool>& live)
    {
        int32_t best = std::numeric_limits<int32_t>::max();
        if (!finite(p)) return -1;
        const int64_t cx = cellOf(p.x);
        const int64_t cy = cellOf(p.y);
        for (int64_t dx = -1; dx <= 1; ++dx) {
            for (int64_t dy = -1; dy <= 1; ++dy) {
                auto found = cells_.find(Key{cx + dx, cy + dy});
                if (found == cells_.end()) continue;
                best = std::min(best, found->second.firstMatch(p, segments, live));
            }
        }
        return best == std::numeric_limits<int32_t>::max() ? -1 : best;
    }

private:
    struct Key {
        int64_t x;
        int64_t y;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key& k) const
        {
            return std::hash<int64_t>()(k.x) ^ (std::hash<int64_t>()(k.y) * 0x9E3779B97F4A7C15ull);
        }
    };

    // Points closer than the gap lie in the same or in neighbouring cells (2x is exact).
    static int64_t cellOf(double v)
    {
        constexpr double kLimit = 4e18;
        const double c = std::floor(v / kChainGap);
        if (c > kLimit) return static_cast<int64_t>(kLimit);
        if (c < -kLimit) return static_cast<int64_t>(-kLimit);
        return static_cast<int64_t>(c);
    }

    void add(const Point& p, int32_t index)
    {
        // A point that is not finite matches nothing.
        if (finite(p)) cells_[Key{cellOf(p.x), cellOf(p.y)}].entries.push_back(index);
    }

    // The segment indices of one cell in increasing order, so that the first live match
    // is the cell's lowest; the used ones at the front are passed over for good, which
    // keeps a cell of many coincident points linear rather than quadratic.
    struct Cell {
        std::vector<int32_t> entries;
        size_t head = 0;

        int32_t firstMatch(const Point& p, const std::vector<Segment>& segments,
                           const std::vector<bool>& live)
        {
            while (head < entries.size() && !live[static_cast<size_t>(entries[head])]) ++head;
            for (size_t k = head; k < entries.size(); ++k) {
                const int32_t i = entries[k];
                if (!live[static_cast<size_t>(i)]) continue;
                const Segment& t = segments[static_cast<size_t>(i)];
                if (isWithin(t.p1, p, kChainGap) || isWithin(t.p2, p, kChainGap)) return i;
            }
            return std::numeric_limits<int32_t>::max();
        }
    };

    std::unordered_map<Key, Cell, KeyHash> cells_;
};

}  // namespace

void arcToSegments(const Arc& arc, double divisionAngle, SegmentList& list, Platform* platform)
{
    cutArc(arc, divisionAngle, list, platform, kMaxChordsPerArc);
}

void discretiseArc(const Arc& arc, double h, SegmentList& list, Platform* platform)
{
    discretiseBounded(arc, h, list, platform, kMaxChordsPerArc);
}

void chainSegments(SegmentList& segments, PointList& points)
{
    if (segments.empty()) return;
    const std::vector<Segment> list(segments.begin(), segments.end());
    segments.clear();
    std::vector<bool> live(list.size(), true);
    EndpointGrid grid(list);

    live[0] = false;
    points.insert(list[0].p1);
    points.insert(list[0].p2);
    Point current = list[0].p2;
    for (;;) {
        const int32_t i = grid.firstMatch(current, list, live);
        if (i < 0) break;
        const Segment& t = list[static_cast<size_t>(i)];
        live[static_cast<size_t>(i)] = false;
        // The start point is tried before the end point of the same segment.
        current = isWithin(t.p1, current, kChainGap) ? t.p2 : t.p1;
        points.insert(current);
    }
}

Contour loopToContour(const OutlineLoop& loop, double h)
{
    SegmentList straight;
    ArcList arcs;
    const int32_t n = loop.count();
    for (int32_t k = 0; k < n; ++k) {
        const Point p0 = loop.vertex(k);
        const Point p1 = loop.vertex((k + 1) % n);
        const double v = loop.radii[static_cast<size_t>(k)];
        const double d = distance(p0, p1);
        // A radius far larger than its chord is a straight edge; so is one that is
        // not a finite number.
        if (v == 0.0 || std::fabs(v) < h || std::fabs(v) / d > 200.0 || !std::isfinite(v)) {
            straight.insert(Segment(p0, p1));
            continue;
        }
        Arc arc;
        if (buildArc(p0, p1, v, arc)) arcs.insert(arc);
    }
    SegmentList all;
    for (const Segment& s : straight) all.insert(s);
    int32_t budget = kMaxChordsPerLoop;
    for (const Arc& arc : arcs) {
        const int32_t before = all.count();
        discretiseBounded(arc, h, all, nullptr, std::max(1, std::min(kMaxChordsPerArc, budget)));
        budget -= all.count() - before;
    }
    PointList points;
    chainSegments(all, points);
    std::vector<Point> vertices;
    if (points.count() > 1) vertices.assign(points.begin(), points.begin() + (points.count() - 1));
    Contour contour;
    contour.setPoints(vertices);
    return contour;
}

}  // namespace orvo
