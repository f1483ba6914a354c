#include "geometry/overlap.h"

#include <algorithm>
#include <cmath>

namespace orvo {

namespace {

// Contours with fewer vertices are walked edge by edge: the runs would not save time.
constexpr size_t kMinRunVertices = 8;
// Runs are sorted by height only for contours with this many: with fewer, trying every
// run is as quick.
constexpr size_t kMinIndexedRuns = 8;

// A closed chain seen without ownership, so that a rectangle on the stack can take part
// in the same tests as a contour; with its edge runs when it has them. A Moved ring reads
// every vertex shifted by (dx, dy), the very sums a translation would store, so a part
// can be tested at a position without being moved there.
template <bool Moved>
struct Ring {
    const Point* points;
    size_t count;
    BoundingBox box;
    const uint32_t* runs = nullptr;  // runCount + 1 bounds
    size_t runCount = 0;
    const EdgeRuns* heights = nullptr;  // with its runs sorted by height
    uint32_t* witness = nullptr;  // a vertex to try first for lying inside the other ring
    double dx = 0.0;
    double dy = 0.0;

    Point vertex(size_t i) const
    {
        if constexpr (Moved) return Point(points[i].x + dx, points[i].y + dy);
        else return points[i];
    }
    // Vertex i, where i == count is vertex 0 again (the end of the closing edge).
    Point at(size_t i) const { return vertex(i == count ? 0 : i); }
    double yAt(size_t i) const
    {
        if constexpr (Moved) return points[i == count ? 0 : i].y + dy;
        else return points[i == count ? 0 : i].y;
    }
};

using Fixed = Ring<false>;

Fixed ringOf(const Contour& k) { return Fixed{k.points.data(), k.points.size(), k.box}; }

BoundingBox shifted(const BoundingBox& b, double dx, double dy)
{
    return BoundingBox{b.min_X + dx, b.max_X + dx, b.min_Y + dy, b.max_Y + dy};
}

// The ring of a contour as a prepared part reads it; box is the contour's box as seen
// (shifted when Moved).
template <bool Moved>
Ring<Moved> ringOf(const Contour& k, const BoundingBox& box, const EdgeRuns* runs, double dx,
                   double dy, uint32_t* witness = nullptr)
{
    Ring<Moved> ring{k.points.data(), k.points.size(), box};
    if constexpr (Moved) {
        ring.dx = dx;
        ring.dy = dy;
    }
    if (runs != nullptr && runs->bounds.size() >= 2) {
        ring.runs = runs->bounds.data();
        ring.runCount = runs->bounds.size() - 1;
        if (!runs->bucketStart.empty()) ring.heights = runs;
    }
    ring.witness = witness;
    return ring;
}

// std::fmax and std::fmin, NaN arguments included, without the library call.
double maxOf(double a, double b) { return (b > a || a != a) ? b : a; }
double minOf(double a, double b) { return (b < a || a != a) ? b : a; }

// The crossing rule for one edge a-b and the ray from p towards +x.
bool crossesRay(const Point& a, const Point& b, const Point& p)
{
    if (a.y == p.y && b.y > p.y) return p.x <= a.x;
    if (b.y == p.y && a.y > p.y) return p.x <= b.x;
    if ((a.y < p.y && p.y < b.y) || (b.y < p.y && p.y < a.y)) {
        const double xint = a.x == b.x ? a.x : a.x + (b.x - a.x) * (p.y - a.y) / (b.y - a.y);
        return p.x <= xint;
    }
    return false;
}

// Only edges with min(y1, y2) <= p.y < max(y1, y2) can count, which this cheap test
// picks out before the rule itself is applied.
template <bool M>
bool pointInEdges(const Ring<M>& k, const Point& p)
{
    bool inside = false;
    for (size_t i = 0; i < k.count; ++i) {
        const double ya = k.yAt(i);
        const double yb = k.yAt(i + 1);
        if (!((ya <= p.y && p.y < yb) || (yb <= p.y && p.y < ya))) continue;
        if (crossesRay(k.vertex(i), k.at(i + 1), p)) inside = !inside;
    }
    return inside;
}

// In a run whose y never falls, only the edge with y1 <= p.y < y2 can count, and only
// one edge has that; in a run whose y never rises, the edge with y2 <= p.y < y1. Whether
// run r has such an edge and it crosses the ray.
template <bool M>
[[gnu::always_inline]] inline bool runCrosses(const Ring<M>& k, size_t r, const Point& p)
{
    const size_t first = k.runs[r];
    const size_t last = k.runs[r + 1];
    const double yFirst = k.yAt(first);
    const double yLast = k.yAt(last);
    // The first vertex above p.y (rising), or at or below it (falling).
    size_t lo = first + 1;
    size_t hi = last;
    if (yFirst <= yLast) {
        if (!(yFirst <= p.y && p.y < yLast)) return false;
        while (lo < hi) {
            const size_t mid = lo + (hi - lo) / 2;
            if (k.yAt(mid) > p.y) hi = mid;
            else lo = mid + 1;
        }
    } else {
        if (!(yLast <= p.y && p.y < yFirst)) return false;
        while (lo < hi) {
            const size_t mid = lo + (hi - lo) / 2;
            if (k.yAt(mid) <= p.y) hi = mid;
            else lo = mid + 1;
        }
    }
    return crossesRay(k.vertex(lo - 1), k.at(lo), p);
}

size_t bucketOf(const EdgeRuns& e, double y)
{
    const size_t buckets = e.bucketStart.size() - 1;
    const double f = (y - e.base) / e.step;
    if (!(f >= 0.0)) return 0;
    return f >= static_cast<double>(buckets) ? buckets - 1 : static_cast<size_t>(f);
}

constexpr size_t kNoBucket = static_cast<size_t>(-1);

// The one bucket of k's heights that holds all of [low, high], or kNoBucket. The buckets
// were filled from the heights as indexed; a Moved ring maps the range back by its
// shift, which may round, so a bucket is taken only when a margin far above that
// rounding stays in it. Every run that reaches into the range is then listed in it.
template <bool M>
size_t commonBucket(const Ring<M>& k, double low, double high)
{
    if (k.heights == nullptr) return kNoBucket;
    double margin = 0.0;
    if constexpr (M) {
        low -= k.dy;
        high -= k.dy;
        margin = 1e-13 * (std::fabs(low) + std::fabs(high) + std::fabs(k.dy));
    }
    const size_t b = bucketOf(*k.heights, low - margin);
    return b == bucketOf(*k.heights, high + margin) ? b : kNoBucket;
}

// Only the runs that reach p's height can count: those of its bucket, or all of them.
template <bool M>
bool pointInRuns(const Ring<M>& k, const Point& p)
{
    bool inside = false;
    const size_t b = commonBucket(k, p.y, p.y);
    if (b != kNoBucket) {
        const EdgeRuns& e = *k.heights;
        for (uint32_t i = e.bucketStart[b]; i < e.bucketStart[b + 1]; ++i)
            if (runCrosses(k, e.bucketRuns[i], p)) inside = !inside;
        return inside;
    }
    for (size_t r = 0; r < k.runCount; ++r)
        if (runCrosses(k, r, p)) inside = !inside;
    return inside;
}

template <bool M>
bool pointInRing(const Ring<M>& k, const Point& p)
{
    if (p.x < k.box.min_X || p.x > k.box.max_X || p.y < k.box.min_Y || p.y > k.box.max_Y) return false;
    return k.runCount > 0 ? pointInRuns(k, p) : pointInEdges(k, p);
}

template <bool C, bool K>
bool allVerticesInRing(const Ring<C>& container, const Ring<K>& k)
{
    for (size_t i = 0; i < k.count; ++i)
        if (!pointInRing(container, k.vertex(i))) return false;
    return true;
}

// Vertex first of a run whose y never falls, at or above y.
template <bool M>
size_t firstRisingAtOrAbove(const Ring<M>& k, size_t first, size_t last, double y)
{
    while (first < last) {
        const size_t mid = first + (last - first) / 2;
        if (k.yAt(mid) >= y) last = mid;
        else first = mid + 1;
    }
    return first;
}

// Vertex first of a run whose y never rises, at or below y.
template <bool M>
size_t firstFallingAtOrBelow(const Ring<M>& k, size_t first, size_t last, double y)
{
    while (first < last) {
        const size_t mid = first + (last - first) / 2;
        if (k.yAt(mid) <= y) last = mid;
        else first = mid + 1;
    }
    return first;
}

template <bool C, bool K>
bool vertexInRing(const Ring<C>& container, const Ring<K>& k, size_t i)
{
    if (!pointInRing(container, k.at(i))) return false;
    if (k.witness != nullptr) *k.witness = static_cast<uint32_t>(i == k.count ? 0 : i);
    return true;
}

// The vertex of k found inside a container the last time, if it is inside this one: the
// candidate positions of a search lie close together, so it often is.
template <bool C, bool K>
bool witnessInRing(const Ring<C>& container, const Ring<K>& k)
{
    return k.witness != nullptr && *k.witness < k.count && pointInRing(container, k.vertex(*k.witness));
}

// Whether some vertex of k lies inside the container; the order of the trials does not
// change the answer. Only the vertices within the container's height are tried, with
// runs one stretch of each run (a vertex shared by two runs may be tried twice).
template <bool C, bool K>
bool anyVertexInRing(const Ring<C>& container, const Ring<K>& k)
{
    const double low = container.box.min_Y;
    const double high = container.box.max_Y;
    if (k.runCount == 0 || low != low || high != high) {
        for (size_t i = 0; i < k.count; ++i)
            if (vertexInRing(container, k, i)) return true;
        return false;
    }
    for (size_t r = 0; r < k.runCount; ++r) {
        const size_t first = k.runs[r];
        const size_t last = k.runs[r + 1];
        if (k.yAt(first) <= k.yAt(last)) {
            for (size_t i = firstRisingAtOrAbove(k, first, last + 1, low); i <= last && k.yAt(i) <= high; ++i)
                if (vertexInRing(container, k, i)) return true;
        } else {
            for (size_t i = firstFallingAtOrBelow(k, first, last + 1, high); i <= last && k.yAt(i) >= low; ++i)
                if (vertexInRing(container, k, i)) return true;
        }
    }
    return false;
}

template <bool M>
bool edgeMeetsEdges(const Point& s1, const Point& s2, const Ring<M>& k2)
{
    for (size_t j = 0; j < k2.count; ++j)
        if (segmentsIntersect(s1, s2, k2.vertex(j), k2.at(j + 1))) return true;
    return false;
}

// Calls visit(j) for each edge j of run r whose height range meets [low, high], until
// one returns true. Those edges are one stretch of the run, found by a binary search:
// edge j spans [y(j), y(j + 1)] in a rising run.
template <bool M, typename Visit>
[[gnu::always_inline]] inline bool runEdgesAtHeights(const Ring<M>& k, size_t r, double low, double high,
                                                     Visit& visit)
{
    const size_t first = k.runs[r];
    const size_t last = k.runs[r + 1];
    const double yFirst = k.yAt(first);
    const double yLast = k.yAt(last);
    if (yFirst <= yLast) {
        if (yLast < low || yFirst > high) return false;
        for (size_t j = firstRisingAtOrAbove(k, first + 1, last, low) - 1; j < last && k.yAt(j) <= high; ++j)
            if (visit(j)) return true;
    } else {
        if (yFirst < low || yLast > high) return false;
        for (size_t j = firstFallingAtOrBelow(k, first + 1, last, high) - 1; j < last && k.yAt(j) >= low; ++j)
            if (visit(j)) return true;
    }
    return false;
}

// The same for every edge of a ring with runs at heights [low, high] (finite): the runs
// of the range's bucket when it has one, else all runs.
template <bool M, typename Visit>
bool anyEdgeAtHeights(const Ring<M>& k, double low, double high, Visit visit)
{
    const size_t b = commonBucket(k, low, high);
    if (b != kNoBucket) {
        const EdgeRuns& e = *k.heights;
        for (uint32_t i = e.bucketStart[b]; i < e.bucketStart[b + 1]; ++i)
            if (runEdgesAtHeights(k, e.bucketRuns[i], low, high, visit)) return true;
        return false;
    }
    for (size_t r = 0; r < k.runCount; ++r)
        if (runEdgesAtHeights(k, r, low, high, visit)) return true;
    return false;
}

// segmentsIntersect refuses every pair whose height ranges do not meet, so with runs only
// k2's edges at the edge's heights are tried.
template <bool M>
bool edgeMeetsRing(const Point& s1, const Point& s2, const Ring<M>& k2)
{
    const double low = s1.y < s2.y ? s1.y : s2.y;
    const double high = s1.y < s2.y ? s2.y : s1.y;
    if (k2.runCount == 0 || low != low || high != high) {
        for (size_t j = 0; j < k2.count; ++j)
            if (segmentsIntersect(s1, s2, k2.vertex(j), k2.at(j + 1))) return true;
        return false;
    }
    return anyEdgeAtHeights(k2, low, high,
                            [&](size_t j) { return segmentsIntersect(s1, s2, k2.vertex(j), k2.at(j + 1)); });
}

// An edge of k1 outside k2's box fails the extent rejection against every edge of k2;
// with runs, k1's edges outside k2's heights are not even looked at.
template <bool M1, bool M2>
bool ringEdgesCross(const Ring<M1>& k1, const Ring<M2>& k2)
{
    if (k1.count == 0 || k2.count == 0) return false;
    auto meets = [&](size_t i) {
        const Point s1 = k1.vertex(i);
        const Point s2 = k1.at(i + 1);
        if (maxOf(s1.x, s2.x) < k2.box.min_X || minOf(s1.x, s2.x) > k2.box.max_X ||
            maxOf(s1.y, s2.y) < k2.box.min_Y || minOf(s1.y, s2.y) > k2.box.max_Y)
            return false;
        return edgeMeetsRing(s1, s2, k2);
    };
    const double low = k2.box.min_Y;
    const double high = k2.box.max_Y;
    if (k1.runCount == 0 || low != low || high != high) {
        for (size_t i = 0; i < k1.count; ++i)
            if (meets(i)) return true;
        return false;
    }
    return anyEdgeAtHeights(k1, low, high, meets);
}

template <bool P, bool Q>
bool ringsDisjoint(const Ring<P>& p, const Ring<Q>& q)
{
    if (outerBoxesApart(p.box, q.box)) return true;
    // Every test here is pure, so the cheap likely ones may go first.
    if (witnessInRing(q, p) || witnessInRing(p, q)) return false;
    if (anyVertexInRing(q, p) || anyVertexInRing(p, q)) return false;
    return !ringEdgesCross(p, q);
}

// A vertex of k lies on each side of k's box, so a box that reaches out of the hole's box
// has a vertex that fails the hole's box pre-test: allVerticesInRing would say no.
bool boxLeavesBox(const BoundingBox& inner, const BoundingBox& outer)
{
    return inner.min_X < outer.min_X || inner.max_X > outer.max_X || inner.min_Y < outer.min_Y ||
           inner.max_Y > outer.max_Y;
}

template <bool H, bool K>
bool insideHole(const Ring<H>& hole, const Ring<K>& k)
{
    if (k.count > 0 && boxLeavesBox(k.box, hole.box)) return false;
    return allVerticesInRing(hole, k) && !ringEdgesCross(hole, k);
}

// True when the ring lies wholly inside one of the holes, touching none of its edges.
template <bool K>
bool insideSomeHole(const ContourList& holes, const Ring<K>& k)
{
    for (const Contour& h : holes)
        if (insideHole(ringOf(h), k)) return true;
    return false;
}

// Each hole's box lies within the holes' box, so k leaving that leaves each of them.
template <bool K>
bool boxLeavesHoles(const PreparedPart& p, const Ring<K>& k)
{
    const BoundingBox& u = p.holesBox;
    return p.holesBoxKnown && k.count > 0 &&
           (k.box.min_X < u.min_X + p.shiftX || k.box.max_X > u.max_X + p.shiftX ||
            k.box.min_Y < u.min_Y + p.shiftY || k.box.max_Y > u.max_Y + p.shiftY);
}

template <bool P, bool K>
bool insideSomePreparedHole(const PreparedPart& p, const Ring<K>& k)
{
    if (boxLeavesHoles(p, k)) return false;
    size_t index = 0;
    for (const Contour& h : p.part->holes) {
        const size_t i = index++;
        // Most holes are refused by their box, which is read before the ring is set up.
        const BoundingBox& b = h.box;
        if (k.count > 0 && (k.box.min_X < b.min_X + p.shiftX || k.box.max_X > b.max_X + p.shiftX ||
                            k.box.min_Y < b.min_Y + p.shiftY || k.box.max_Y > b.max_Y + p.shiftY))
            continue;
        // Holes without runs of their own may have no entry at all.
        const EdgeRuns* runs = i < p.holes.size() ? &p.holes[i] : nullptr;
        const BoundingBox box = shifted(b, p.shiftX, p.shiftY);
        if (insideHole(ringOf<P>(h, box, runs, p.shiftX, p.shiftY), k)) return true;
    }
    return false;
}

template <bool P, bool Q>
bool preparedDisjoint(PreparedPart& p, PreparedPart& q, const BoundingBox& pBox, const BoundingBox& qBox)
{
    const Ring<P> pOuter = ringOf<P>(p.part->outer, pBox, &p.outer, p.shiftX, p.shiftY, &p.witness);
    const Ring<Q> qOuter = ringOf<Q>(q.part->outer, qBox, &q.outer, q.shiftX, q.shiftY, &q.witness);
    return ringsDisjoint(pOuter, qOuter) || insideSomePreparedHole<P>(p, qOuter) ||
           insideSomePreparedHole<Q>(q, pOuter);
}

bool moved(const PreparedPart& p) { return p.shiftX != 0.0 || p.shiftY != 0.0; }

bool finiteHeights(const BoundingBox& box) { return std::isfinite(box.min_Y) && std::isfinite(box.max_Y); }

// The part where the prepared form reads it, as a plain copy.
Part placedCopy(const PreparedPart& p)
{
    Part copy = *p.part;
    if (moved(p)) copy.translatePart(p.shiftX, p.shiftY);
    return copy;
}

// Whether a contour with these vertices gains from runs: enough vertices, and runs that
// hold several edges each on average.
bool worthRuns(size_t vertices, size_t runs) { return vertices >= kMinRunVertices && runs * 4 <= vertices; }

}  // namespace

// Calls start(i) for the first edge i of every run but the first.
template <typename Start>
void findRuns(const Contour& k, Start start)
{
    const size_t n = k.points.size();
    int direction = 0;  // of the current run: 1 rising, -1 falling, 0 flat so far
    for (size_t i = 0; i < n; ++i) {
        const double a = k.points[i].y;
        const double b = k.points[i + 1 < n ? i + 1 : 0].y;
        const int d = (b > a) - (b < a);
        if (d == 0 || d == direction) continue;
        if (direction != 0) start(i);
        direction = d;
    }
}

// Counted first, so that a chain not worth its runs costs no allocation.
void EdgeRuns::build(const Contour& k)
{
    bounds.clear();
    const size_t n = k.points.size();
    if (n < kMinRunVertices) return;
    // Finite heights stay free of NaN under finite shifts, so the runs stay right.
    for (const Point& v : k.points)
        if (!std::isfinite(v.y)) return;
    size_t runs = 1;
    findRuns(k, [&runs](size_t) { ++runs; });
    if (!worthRuns(n, runs)) return;
    bounds.reserve(runs + 1);
    bounds.push_back(0);
    findRuns(k, [this](size_t i) { bounds.push_back(static_cast<uint32_t>(i)); });
    bounds.push_back(static_cast<uint32_t>(n));
}

void PreparedPart::prepare(const Part& p)
{
    part = &p;
    outer.build(p.outer);
    // Entries only up to the last hole that is long enough for runs: most holes are not.
    size_t entries = 0, index = 0;
    for (const Contour& h : p.holes) {
        ++index;
        if (h.points.size() >= kMinRunVertices) entries = index;
    }
    holes.resize(entries);
    index = 0;
    for (const Contour& h : p.holes) {
        if (index == entries) break;
        holes[index++].build(h);
    }
    refresh();
}

void EdgeRuns::indexHeights(const Contour& k)
{
    bucketStart.clear();
    bucketRuns.clear();
    const size_t runs = bounds.empty() ? 0 : bounds.size() - 1;
    if (runs < kMinIndexedRuns) return;
    const size_t n = k.points.size();
    auto y = [&](size_t i) { return k.points[i == n ? 0 : i].y; };
    base = y(0);
    double top = base;
    for (size_t r = 0; r <= runs; ++r) {
        base = std::min(base, y(bounds[r]));
        top = std::max(top, y(bounds[r]));
    }
    const size_t buckets = std::min<size_t>(runs, 32);
    step = (top - base) / static_cast<double>(buckets);
    if (!(step > 0.0) || !std::isfinite(step)) return;
    // Counted first, then filled: run r goes into every bucket from its low end to its high.
    bucketStart.assign(buckets + 1, 0);
    auto span = [&](size_t r, auto visit) {
        const double a = y(bounds[r]), b = y(bounds[r + 1]);
        for (size_t c = bucketOf(*this, std::min(a, b)); c <= bucketOf(*this, std::max(a, b)); ++c) visit(c);
    };
    // Counted, summed to the end of each bucket, then filled backwards to its start.
    for (size_t r = 0; r < runs; ++r) span(r, [&](size_t c) { ++bucketStart[c]; });
    for (size_t c = 1; c < buckets; ++c) bucketStart[c] += bucketStart[c - 1];
    bucketStart[buckets] = bucketStart[buckets - 1];
    bucketRuns.resize(bucketStart[buckets]);
    for (size_t r = 0; r < runs; ++r)
        span(r, [&](size_t c) { bucketRuns[--bucketStart[c]] = static_cast<uint32_t>(r); });
}

void PreparedPart::refresh()
{
    outer.indexHeights(part->outer);
    holesBoxKnown = !part->holes.empty();
    if (!holesBoxKnown) return;
    holesBox = part->holes.front().box;
    for (const Contour& h : part->holes) {
        const BoundingBox& b = h.box;
        if (std::isnan(b.min_X) || std::isnan(b.max_X) || std::isnan(b.min_Y) || std::isnan(b.max_Y)) {
            holesBoxKnown = false;
            return;
        }
        holesBox.min_X = std::min(holesBox.min_X, b.min_X);
        holesBox.max_X = std::max(holesBox.max_X, b.max_X);
        holesBox.min_Y = std::min(holesBox.min_Y, b.min_Y);
        holesBox.max_Y = std::max(holesBox.max_Y, b.max_Y);
    }
    shiftX = 0.0;
    shiftY = 0.0;
}

bool partsDisjoint(PreparedPart& p, PreparedPart& q)
{
    // A height that is no longer finite means an infinite shift, after which the runs
    // may not hold.
    const BoundingBox a = p.outerBox();
    const BoundingBox b = q.outerBox();
    if (!finiteHeights(a) || !finiteHeights(b)) return partsDisjoint(placedCopy(p), placedCopy(q));
    if (moved(p)) return moved(q) ? preparedDisjoint<true, true>(p, q, a, b) : preparedDisjoint<true, false>(p, q, a, b);
    return moved(q) ? preparedDisjoint<false, true>(p, q, a, b) : preparedDisjoint<false, false>(p, q, a, b);
}

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
    const Fixed pOuter = ringOf(p.outer);
    const Fixed qOuter = ringOf(q.outer);
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
    return boxInsideRect(part.outer.box, BoundingBox{min_X, max_X, min_Y, max_Y});
}

bool boxInsideRect(const Part& part, const BoundingBox& rect) { return boxInsideRect(part.outer.box, rect); }

bool partOverlapsRect(const Part& part, double x1, double x2, double y1, double y2)
{
    // The rectangle as a hole-free part would be; built on the stack.
    const Point corners[4] = {Point(x1, y1), Point(x2, y1), Point(x2, y2), Point(x1, y2)};
    const BoundingBox box{std::fmin(x1, x2), std::fmax(x1, x2), std::fmin(y1, y2), std::fmax(y1, y2)};
    const Fixed rect{corners, 4, box};
    const Fixed outer = ringOf(part.outer);
    return !(ringsDisjoint(outer, rect) || insideSomeHole(part.holes, rect));
}

}  // namespace orvo
