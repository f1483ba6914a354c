#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "geometry/contour.h"
#include "geometry/edge_runs.h"

// The view of a contour that the overlap tests walk, and the searches over its edge runs.
// Private to overlap.cpp, the only file that includes it.

namespace orvo {
// Internal linkage, as when these lived in the overlap tests' own file: the compiler then
// inlines them there as it did (measured: about 2 % fewer instructions per collision test).
namespace {

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

inline Fixed ringOf(const Contour& k) { return Fixed{k.points.data(), k.points.size(), k.box}; }

// The ring of a contour as a prepared part reads it; box is the contour's box as seen
// (shifted when Moved).
template <bool Moved>
Ring<Moved> ringOf(const Contour& k, const BoundingBox& box, const EdgeRuns* runs, double dx, double dy,
                   uint32_t* witness = nullptr)
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

// Whether the runs may pick what lies at heights [low, high]: the ring has runs and both
// ends are numbers. The binary searches rely on the order of the heights, which a NaN
// has not, so then every edge or vertex is walked, as a ring without runs is.
template <bool M>
bool runsServe(const Ring<M>& k, double low, double high)
{
    return k.runCount > 0 && low == low && high == high;
}

// The walk where the runs cannot answer: visit(i) for every vertex i, or every edge from
// vertex i, until one returns true.
template <bool M, typename Visit>
[[gnu::always_inline]] inline bool anyIndex(const Ring<M>& k, Visit& visit)
{
    for (size_t i = 0; i < k.count; ++i)
        if (visit(i)) return true;
    return false;
}

// The crossing rule for one edge a-b and the ray from p towards +x.
inline bool crossesRay(const Point& a, const Point& b, const Point& p)
{
    if (a.y == p.y && b.y > p.y) return p.x <= a.x;
    if (b.y == p.y && a.y > p.y) return p.x <= b.x;
    if ((a.y < p.y && p.y < b.y) || (b.y < p.y && p.y < a.y)) {
        const double xint = a.x == b.x ? a.x : a.x + (b.x - a.x) * (p.y - a.y) / (b.y - a.y);
        return p.x <= xint;
    }
    return false;
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

inline constexpr size_t kNoBucket = static_cast<size_t>(-1);

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
    const size_t b = k.heights->bucketOf(low - margin);
    return b == k.heights->bucketOf(high + margin) ? b : kNoBucket;
}

// The crossing count of p's ray over a ring with runs: only the runs that reach p's
// height can count, those of its bucket, or all of them.
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

// Calls visit(i) for the vertices of k at heights [low, high], until one returns true:
// with runs one stretch of each run (a vertex shared by two runs may be visited twice),
// else every vertex. Whether one did. Inline, as the loops were written out in place.
template <bool M, typename Visit>
[[gnu::always_inline]] inline bool anyVertexAtHeights(const Ring<M>& k, double low, double high, Visit visit)
{
    if (!runsServe(k, low, high)) return anyIndex(k, visit);
    for (size_t r = 0; r < k.runCount; ++r) {
        const size_t first = k.runs[r];
        const size_t last = k.runs[r + 1];
        if (k.yAt(first) <= k.yAt(last)) {
            for (size_t i = firstRisingAtOrAbove(k, first, last + 1, low); i <= last && k.yAt(i) <= high; ++i)
                if (visit(i)) return true;
        } else {
            for (size_t i = firstFallingAtOrBelow(k, first, last + 1, high); i <= last && k.yAt(i) >= low; ++i)
                if (visit(i)) return true;
        }
    }
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

// The same for every edge of a ring with runs at heights [low, high] (numbers): the runs
// of the range's bucket when it has one, else all runs.
template <bool M, typename Visit>
bool anyEdgeInRuns(const Ring<M>& k, double low, double high, Visit visit)
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

// Calls visit(j) for the edges of k at heights [low, high], until one returns true: with
// runs those found in them, else every edge. Whether one did. The walk is inline, as it
// was written out in place; the search over the runs is not.
template <bool M, typename Visit>
[[gnu::always_inline]] inline bool anyEdgeAtHeights(const Ring<M>& k, double low, double high, Visit visit)
{
    if (!runsServe(k, low, high)) return anyIndex(k, visit);
    return anyEdgeInRuns(k, low, high, std::move(visit));
}

}  // namespace
}  // namespace orvo
