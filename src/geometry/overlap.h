#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "geometry/contour.h"
#include "geometry/edge_runs.h"
#include "geometry/part.h"

namespace orvo {

// The yes/no questions that decide whether a placement is legal. None allocates. They
// read the cached box of every contour, so the caller keeps the boxes current (every
// transform does); only the two box tests allow a tolerance (1e-4).
bool pointInContour(const Contour& k, const Point& p);
bool allVerticesInside(const Contour& container, const Contour& k);
bool contourEdgesCross(const Contour& k1, const Contour& k2);
bool outersDisjoint(const Part& p, const Part& q);
// The collision test: true when the two parts may stand where they are.
bool partsDisjoint(const Part& p, const Part& q);
bool pointInPart(const Part& part, const Point& p);
bool boxInsideRect(const Part& part, double min_X, double max_X, double min_Y, double max_Y);
bool boxInsideRect(const Part& part, const BoundingBox& rect);
bool partOverlapsRect(const Part& part, double x1, double x2, double y1, double y2);

// A part with the edge runs of its outer contour and of each hole (in list order), for
// many collision tests of the same shapes: one gravity search, one push. It reads the
// part it was prepared from, which must outlive it. Meanwhile the part may move only
// through the shift below, or by translations each followed by refresh().
struct PreparedPart {
    const Part* part = nullptr;
    EdgeRuns outer;
    std::vector<EdgeRuns> holes;  // entries up to the last hole with runs
    // The box around every hole's box: a part whose box leaves it lies in no hole. Not
    // known when the part has no holes or a box value is not a number.
    BoundingBox holesBox;
    bool holesBoxKnown = false;
    // The outer vertex last found inside the other part's outer contour: the first one
    // the next test tries (a hint for speed only; every answer stays the same).
    uint32_t witness = 0;
    // The tests see the part translated by this shift without it being moved: every
    // vertex and box value is read as the sum that translatePart would store.
    double shiftX = 0.0;
    double shiftY = 0.0;

    // Reuses the capacity of an earlier preparation; the shift starts at zero.
    void prepare(const Part& p);
    // After the part itself was translated: the runs still hold; the boxes and heights
    // kept here are read anew.
    void refresh();
    // The outer contour's box as the tests see it.
    BoundingBox outerBox() const { return shifted(part->outer.box, shiftX, shiftY); }
};

// partsDisjoint of the two prepared parts: the same answer, found with the runs; the
// witnesses are updated.
bool partsDisjoint(PreparedPart& p, PreparedPart& q);
// Box contact and containment tolerance of the overlap tests, in millimetres.
inline constexpr double kBoxTolerance = 1e-4;

// True when the outer boxes alone make the parts disjoint (apart, or in contact within
// 1e-4): the first, cheap step of partsDisjoint. Inline: the fit tests of a plate make
// it for every part on the plate.
inline bool outerBoxesApart(const BoundingBox& p, const BoundingBox& q)
{
    return p.min_X > q.max_X || std::fabs(p.min_X - q.max_X) < kBoxTolerance || q.min_X > p.max_X ||
           std::fabs(p.max_X - q.min_X) < kBoxTolerance || p.min_Y > q.max_Y ||
           std::fabs(p.min_Y - q.max_Y) < kBoxTolerance || q.min_Y > p.max_Y ||
           std::fabs(p.max_Y - q.min_Y) < kBoxTolerance;
}

// boxInsideRect on a box: b inside rect, 1e-4 tolerance. Inline for the same reason.
inline bool boxInsideRect(const BoundingBox& b, const BoundingBox& rect)
{
    return (rect.max_X > b.max_X || std::fabs(b.max_X - rect.max_X) < kBoxTolerance) &&
           (rect.min_X < b.min_X || std::fabs(b.min_X - rect.min_X) < kBoxTolerance) &&
           (rect.max_Y > b.max_Y || std::fabs(b.max_Y - rect.max_Y) < kBoxTolerance) &&
           (rect.min_Y < b.min_Y || std::fabs(b.min_Y - rect.min_Y) < kBoxTolerance);
}

}  // namespace orvo
