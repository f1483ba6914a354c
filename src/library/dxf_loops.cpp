#include "library/dxf_loops.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <deque>
#include <limits>
#include <numeric>
#include <unordered_map>

namespace orvo {

namespace {

// Points within the join tolerance become one node: a grid of cells as wide as the
// tolerance, each point looked up in its own and the eight neighbouring cells.
class NodeGrid {
public:
    explicit NodeGrid(double tolerance) : tol_(tolerance), cell_(std::max(tolerance, 1e-6)) {}

    int32_t node(const Point& p)
    {
        const int64_t cx = cellOf(p.x), cy = cellOf(p.y);
        int32_t best = -1;
        double bestDistance = std::numeric_limits<double>::infinity();
        for (int64_t dx = -1; dx <= 1; ++dx) {
            for (int64_t dy = -1; dy <= 1; ++dy) {
                const auto found = cells_.find(key(cx + dx, cy + dy));
                if (found == cells_.end()) continue;
                for (int32_t n : found->second) {
                    const double d = distance(points_[static_cast<size_t>(n)], p);
                    if (d <= tol_ && d < bestDistance) best = n, bestDistance = d;
                }
            }
        }
        if (best >= 0) return best;
        points_.push_back(p);
        const auto id = static_cast<int32_t>(points_.size() - 1);
        cells_[key(cx, cy)].push_back(id);
        return id;
    }
    const Point& point(int32_t n) const { return points_[static_cast<size_t>(n)]; }
    size_t size() const { return points_.size(); }

private:
    int64_t cellOf(double v) const
    {
        return static_cast<int64_t>(std::floor(std::clamp(v / cell_, -1e15, 1e15)));
    }
    static uint64_t key(int64_t x, int64_t y)
    {
        return static_cast<uint64_t>(x) * 0x9E3779B97F4A7C15ULL ^ static_cast<uint64_t>(y);
    }

    double tol_;
    double cell_;
    std::vector<Point> points_;
    std::unordered_map<uint64_t, std::vector<int32_t>> cells_;
};

struct Step {
    size_t edge;
    bool forward;
};

double cross(const Point& o, const Point& a, const Point& b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// The centre of the arc edge p0 -> p1 of signed radius r (the shorter arc; centre to the
// left of the chord for r > 0).
Point arcCentre(const Point& p0, const Point& p1, double r)
{
    const double d = distance(p0, p1);
    const double h = std::sqrt(std::max(0.0, r * r - d * d / 4.0));
    const Point mid((p0.x + p1.x) / 2.0, (p0.y + p1.y) / 2.0);
    const Point left(-(p1.y - p0.y) / d, (p1.x - p0.x) / d);
    const double side = r > 0.0 ? 1.0 : -1.0;
    return Point(mid.x + side * h * left.x, mid.y + side * h * left.y);
}

// The loop as a polygon: arcs cut finely enough for the crossing and containment tests.
std::vector<Point> flatten(const OutlineLoop& loop)
{
    std::vector<Point> pts;
    const int32_t n = loop.count();
    for (int32_t i = 0; i < n; ++i) {
        const Point p0 = loop.vertex(i), p1 = loop.vertex((i + 1) % n);
        pts.push_back(p0);
        const double r = loop.radii[static_cast<size_t>(i)];
        const double d = distance(p0, p1);
        if (r == 0.0 || d == 0.0) continue;
        const Point c = arcCentre(p0, p1, r);
        const double a0 = std::atan2(p0.y - c.y, p0.x - c.x);
        double sweep = std::atan2(p1.y - c.y, p1.x - c.x) - a0;
        // The shorter way round, counter-clockwise for r > 0.
        if (r > 0.0 && sweep < 0.0) sweep += 2.0 * kPi;
        if (r < 0.0 && sweep > 0.0) sweep -= 2.0 * kPi;
        const int pieces = std::clamp(static_cast<int>(std::fabs(sweep) / (kPi / 36.0)), 1, 64);
        for (int k = 1; k < pieces; ++k) {
            const double t = a0 + sweep * k / pieces;
            pts.emplace_back(c.x + std::fabs(r) * std::cos(t), c.y + std::fabs(r) * std::sin(t));
        }
    }
    return pts;
}

bool onSegment(const Point& p, const Point& a, const Point& b)
{
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
}

// Whether segments ab and cd meet (touching included), and where.
bool segmentsMeet(const Point& a, const Point& b, const Point& c, const Point& d, Point& at)
{
    const double d1 = cross(c, d, a), d2 = cross(c, d, b), d3 = cross(a, b, c), d4 = cross(a, b, d);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) {
        const double t = d1 / (d1 - d2);
        at = Point(a.x + t * (b.x - a.x), a.y + t * (b.y - a.y));
        return true;
    }
    if (d1 == 0 && onSegment(a, c, d)) return at = a, true;
    if (d2 == 0 && onSegment(b, c, d)) return at = b, true;
    if (d3 == 0 && onSegment(c, a, b)) return at = c, true;
    if (d4 == 0 && onSegment(d, a, b)) return at = d, true;
    return false;
}

// The first place where two edges of the polygon that are not neighbours meet: a sweep
// over the edges ordered by their left end.
bool polygonCrossing(const std::vector<Point>& pts, Point& at)
{
    const size_t n = pts.size();
    if (n < 4) return false;
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t{0});
    auto left = [&](size_t i) { return std::min(pts[i].x, pts[(i + 1) % n].x); };
    auto right = [&](size_t i) { return std::max(pts[i].x, pts[(i + 1) % n].x); };
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return left(a) < left(b); });
    for (size_t s = 0; s < n; ++s) {
        const size_t i = order[s];
        for (size_t t = s + 1; t < n && left(order[t]) <= right(i); ++t) {
            const size_t j = order[t];
            if ((i + 1) % n == j || (j + 1) % n == i) continue;
            if (segmentsMeet(pts[i], pts[(i + 1) % n], pts[j], pts[(j + 1) % n], at)) return true;
        }
    }
    return false;
}

// Even-odd rule.
bool insidePolygon(const std::vector<Point>& poly, const Point& p)
{
    bool inside = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Point& a = poly[i];
        const Point& b = poly[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

double distanceToPolygon(const std::vector<Point>& poly, const Point& p)
{
    double best = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < poly.size(); ++i) {
        const Point& a = poly[i];
        const Point& b = poly[(i + 1) % poly.size()];
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double len2 = dx * dx + dy * dy;
        const double t = len2 > 0.0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
        best = std::min(best, std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y));
    }
    return best;
}

BoundingBox boxOf(const std::vector<Point>& pts)
{
    BoundingBox box{pts.front().x, pts.front().x, pts.front().y, pts.front().y};
    for (const Point& p : pts) {
        box.min_X = std::min(box.min_X, p.x);
        box.max_X = std::max(box.max_X, p.x);
        box.min_Y = std::min(box.min_Y, p.y);
        box.max_Y = std::max(box.max_Y, p.y);
    }
    return box;
}

double perimeter(const std::vector<Point>& pts)
{
    double sum = 0.0;
    for (size_t i = 0; i < pts.size(); ++i) sum += distance(pts[i], pts[(i + 1) % pts.size()]);
    return sum;
}

class Chainer {
public:
    Chainer(const std::vector<DxfEdge>& edges, double tolerance)
        : edges_(edges), tol_(tolerance), grid_(tolerance), used_(edges.size(), false)
    {
        ends_.resize(edges.size());
        for (size_t e = 0; e < edges.size(); ++e) {
            ends_[e] = {grid_.node(edges[e].from), grid_.node(edges[e].to)};
        }
        incident_.resize(grid_.size());
        for (size_t e = 0; e < edges.size(); ++e) {
            // An edge shorter than the tolerance joins its two ends into one node.
            if (ends_[e][0] == ends_[e][1]) {
                used_[e] = true;
                continue;
            }
            incident_[static_cast<size_t>(ends_[e][0])].push_back(e);
            incident_[static_cast<size_t>(ends_[e][1])].push_back(e);
        }
    }

    DxfChains run()
    {
        DxfChains out;
        for (size_t e = 0; e < edges_.size(); ++e) {
            if (used_[e]) continue;
            used_[e] = true;
            std::deque<Step> chain{{e, true}};
            const int32_t start = ends_[e][0];
            int32_t head = ends_[e][1];
            int32_t tail = start;
            while (head != tail && extend(head, chain, false)) {}
            while (head != tail && extend(tail, chain, true)) {}
            if (head == tail) {
                out.loops.push_back(makeLoop(chain));
            } else {
                DxfOpenChain open;
                open.first = grid_.point(tail);
                open.last = grid_.point(head);
                open.layer = edges_[chain.front().edge].layer;
                open.order = minOrder(chain);
                out.open.push_back(open);
            }
        }
        return out;
    }

private:
    // Adds an unused edge at `node` to the chain's end (or front); moves `node` on.
    bool extend(int32_t& node, std::deque<Step>& chain, bool atFront)
    {
        for (size_t e : incident_[static_cast<size_t>(node)]) {
            if (used_[e]) continue;
            used_[e] = true;
            const bool leaves = ends_[e][0] == node;
            if (atFront) {
                chain.push_front({e, !leaves});
            } else {
                chain.push_back({e, leaves});
            }
            node = leaves ? ends_[e][1] : ends_[e][0];
            return true;
        }
        return false;
    }

    int32_t minOrder(const std::deque<Step>& chain) const
    {
        int32_t order = std::numeric_limits<int32_t>::max();
        for (const Step& s : chain) order = std::min(order, edges_[s.edge].order);
        return order;
    }

    DxfLoop makeLoop(const std::deque<Step>& chain) const
    {
        std::vector<Point> vertices;
        std::vector<double> radii;
        for (const Step& s : chain) {
            const DxfEdge& edge = edges_[s.edge];
            const int32_t from = s.forward ? ends_[s.edge][0] : ends_[s.edge][1];
            const int32_t to = s.forward ? ends_[s.edge][1] : ends_[s.edge][0];
            double r = s.forward ? edge.radius : -edge.radius;
            // Joining the ends may have moved them apart by up to twice the tolerance: an
            // arc keeps a chord below its diameter.
            const double d = distance(grid_.point(from), grid_.point(to));
            if (r != 0.0 && d >= 1.98 * std::fabs(r)) r = std::copysign(d / 1.98, r);
            vertices.push_back(grid_.point(from));
            radii.push_back(r);
        }
        DxfLoop loop;
        loop.loop.setLoop(static_cast<int32_t>(vertices.size()), vertices.data(), radii.data());
        loop.layer = edges_[chain.front().edge].layer;
        loop.order = minOrder(chain);
        loop.area = loopArea(loop.loop);
        const std::vector<Point> flat = flatten(loop.loop);
        // A crossing first: the lobes of a figure eight may cancel each other's area.
        if (polygonCrossing(flat, loop.where)) {
            loop.fault = DxfLoop::Fault::Crossing;
        } else if (std::fabs(loop.area) <= std::max(tol_ * perimeter(flat) / 2.0, 1e-12)) {
            loop.fault = DxfLoop::Fault::NoArea;
            loop.where = vertices.front();
        }
        return loop;
    }

    const std::vector<DxfEdge>& edges_;
    double tol_;
    NodeGrid grid_;
    std::vector<bool> used_;
    std::vector<std::array<int32_t, 2>> ends_;
    std::vector<std::vector<size_t>> incident_;
};

struct Flat {
    std::vector<Point> pts;
    BoundingBox box;
};

// Whether loop a lies inside loop b (the loops do not cross): a vertex of a that is not
// on b's boundary decides.
bool insideLoop(const Flat& a, const Flat& b)
{
    if (a.box.min_X < b.box.min_X || a.box.max_X > b.box.max_X || a.box.min_Y < b.box.min_Y ||
        a.box.max_Y > b.box.max_Y) {
        return false;
    }
    const double scale = std::max(boxWidth(b.box), boxHeight(b.box));
    const size_t step = std::max<size_t>(1, a.pts.size() / 16);
    for (size_t i = 0; i < a.pts.size(); i += step) {
        if (distanceToPolygon(b.pts, a.pts[i]) > 1e-9 * scale) return insidePolygon(b.pts, a.pts[i]);
    }
    return insidePolygon(b.pts, a.pts.front());
}

}  // namespace

double loopArea(const OutlineLoop& loop)
{
    double area = 0.0;
    const int32_t n = loop.count();
    for (int32_t i = 0; i < n; ++i) {
        const Point p0 = loop.vertex(i), p1 = loop.vertex((i + 1) % n);
        area += (p0.x * p1.y - p1.x * p0.y) / 2.0;
        const double r = loop.radii[static_cast<size_t>(i)];
        const double d = distance(p0, p1);
        if (r == 0.0 || d == 0.0) continue;
        // The circular segment between chord and arc; a counter-clockwise arc (r > 0)
        // bulges to the right of its chord, outwards of a counter-clockwise loop.
        const double R = std::fabs(r);
        const double theta = 2.0 * std::asin(std::min(1.0, d / (2.0 * R)));
        const double segment = R * R / 2.0 * (theta - std::sin(theta));
        area += r > 0.0 ? segment : -segment;
    }
    return area;
}

OutlineLoop reversedLoop(const OutlineLoop& loop)
{
    const int32_t n = loop.count();
    std::vector<Point> vertices;
    std::vector<double> radii;
    for (int32_t k = 0; k < n; ++k) {
        // Vertex k of the reversed loop is vertex (n - k) mod n; its edge is the old edge
        // arriving there, run backwards.
        const int32_t old = (n - k) % n;
        vertices.push_back(loop.vertex(old));
        radii.push_back(-loop.radii[static_cast<size_t>((old - 1 + n) % n)]);
    }
    OutlineLoop reversed;
    reversed.setLoop(n, vertices.data(), radii.data());
    return reversed;
}

DxfChains chainEdges(const std::vector<DxfEdge>& edges, double tolerance)
{
    return Chainer(edges, tolerance).run();
}

std::vector<DxfLoopNest> nestLoops(const std::vector<DxfLoop>& loops)
{
    std::vector<size_t> byArea;
    std::vector<Flat> flat(loops.size());
    for (size_t i = 0; i < loops.size(); ++i) {
        if (loops[i].fault == DxfLoop::Fault::NoArea) continue;
        flat[i].pts = flatten(loops[i].loop);
        flat[i].box = boxOf(flat[i].pts);
        byArea.push_back(i);
    }
    // A loop's box holds the box of every loop inside it, so in the order of decreasing
    // box area every container comes before what it contains (a crossing loop, whose
    // area says little, included).
    std::stable_sort(byArea.begin(), byArea.end(), [&](size_t a, size_t b) {
        const double boxA = boxArea(flat[a].box), boxB = boxArea(flat[b].box);
        if (boxA != boxB) return boxA > boxB;
        return std::fabs(loops[a].area) > std::fabs(loops[b].area);
    });
    std::vector<long> parent(loops.size(), -1);
    std::vector<int> depth(loops.size(), 0);
    for (size_t s = 0; s < byArea.size(); ++s) {
        const size_t i = byArea[s];
        // The last container before it is the smallest one: its parent.
        for (size_t t = s; t-- > 0;) {
            const size_t j = byArea[t];
            if (insideLoop(flat[i], flat[j])) {
                parent[i] = static_cast<long>(j);
                depth[i] = depth[j] + 1;
                break;
            }
        }
    }
    std::vector<DxfLoopNest> nests;
    std::vector<long> nestOf(loops.size(), -1);
    for (size_t i : byArea) {
        if (depth[i] % 2 != 0) continue;
        nestOf[i] = static_cast<long>(nests.size());
        nests.push_back({i, {}});
    }
    for (size_t i : byArea) {
        if (depth[i] % 2 == 0) continue;
        nests[static_cast<size_t>(nestOf[static_cast<size_t>(parent[i])])].holes.push_back(i);
    }
    for (DxfLoopNest& nest : nests) {
        std::stable_sort(nest.holes.begin(), nest.holes.end(),
                         [&](size_t a, size_t b) { return loops[a].order < loops[b].order; });
    }
    std::stable_sort(nests.begin(), nests.end(), [&](const DxfLoopNest& a, const DxfLoopNest& b) {
        return loops[a.outer].order < loops[b.outer].order;
    });
    return nests;
}

}  // namespace orvo
