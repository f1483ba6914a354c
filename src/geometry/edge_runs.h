#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/contour.h"

namespace orvo {

// The edges of a contour cut into runs along which y never falls or never rises. A point
// meets at most one edge of a run at its height, and the edges of a run that reach an
// edge's height range are one stretch of it, so the overlap tests find them with a binary
// search per run instead of a walk over every edge, and give the same answers. Adding a
// shift keeps the order of the y values, so the runs stay right while the contour is only
// translated by finite shifts; any other change of the vertices needs a new build.
struct EdgeRuns {
    // Contours with fewer vertices are walked edge by edge: the runs would not save time.
    static constexpr size_t kMinVertices = 8;
    // Runs are sorted by height only for contours with this many: with fewer, trying every
    // run is as quick.
    static constexpr size_t kMinIndexedRuns = 8;

    // Run r covers the edges bounds[r] to bounds[r + 1] - 1 (edge i joins vertex i to the
    // next). Left empty where a walk over the edges is as quick (few vertices, a chain
    // that changes direction at most edges) or where a y is not finite: the tests then
    // walk every edge.
    std::vector<uint32_t> bounds;
    // The runs by height, for point tests on contours with many runs: bucket b holds the
    // heights from base + b * step on (as the contour stood when indexed) and lists, in
    // bucketRuns from bucketStart[b] to bucketStart[b + 1], every run reaching into it.
    // Empty when not indexed.
    double base = 0.0;
    double step = 0.0;
    std::vector<uint32_t> bucketStart;
    std::vector<uint32_t> bucketRuns;

    // The runs of the contour, not indexed.
    void build(const Contour& k);
    // Sorts the runs into buckets by the contour's present heights (after build).
    void indexHeights(const Contour& k);

    // The bucket of height y as indexed; heights beyond either end go to the end bucket.
    size_t bucketOf(double y) const
    {
        const size_t buckets = bucketStart.size() - 1;
        const double f = (y - base) / step;
        if (!(f >= 0.0)) return 0;
        return f >= static_cast<double>(buckets) ? buckets - 1 : static_cast<size_t>(f);
    }
};

}  // namespace orvo
