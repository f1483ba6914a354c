#include "geometry/edge_runs.h"

#include <algorithm>
#include <cmath>

namespace orvo {

namespace {

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

// Whether a contour with these vertices gains from runs: enough vertices, and runs that
// hold several edges each on average.
bool worthRuns(size_t vertices, size_t runs)
{
    return vertices >= EdgeRuns::kMinVertices && runs * 4 <= vertices;
}

}  // namespace

// Counted first, so that a chain not worth its runs costs no allocation.
void EdgeRuns::build(const Contour& k)
{
    bounds.clear();
    const size_t n = k.points.size();
    if (n < kMinVertices) return;
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
        for (size_t c = bucketOf(std::min(a, b)); c <= bucketOf(std::max(a, b)); ++c) visit(c);
    };
    // Counted, summed to the end of each bucket, then filled backwards to its start.
    for (size_t r = 0; r < runs; ++r) span(r, [&](size_t c) { ++bucketStart[c]; });
    for (size_t c = 1; c < buckets; ++c) bucketStart[c] += bucketStart[c - 1];
    bucketStart[buckets] = bucketStart[buckets - 1];
    bucketRuns.resize(bucketStart[buckets]);
    for (size_t r = 0; r < runs; ++r)
        span(r, [&](size_t c) { bucketRuns[--bucketStart[c]] = static_cast<uint32_t>(r); });
}

}  // namespace orvo
