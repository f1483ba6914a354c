#include "geometry/overlap.h"

#include <cmath>

#include "geometry/ring.h"

namespace orvo {

namespace {

// std::fmax and std::fmin, NaN arguments included, without the library call.
double maxOf(double a, double b) { return (b > a || a != a) ? b : a; }
double minOf(double a, double b) { return (b < a || a != a) ? b : a; }

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
// change the answer. Only the vertices within the container's height are tried.
template <bool C, bool K>
bool anyVertexInRing(const Ring<C>& container, const Ring<K>& k)
{
    return anyVertexAtHeights(k, container.box.min_Y, container.box.max_Y,
                              [&](size_t i) { return vertexInRing(container, k, i); });
}

// segmentsIntersect refuses every pair whose height ranges do not meet, so with runs only
// k2's edges at the edge's heights are tried.
template <bool M>
bool edgeMeetsRing(const Point& s1, const Point& s2, const Ring<M>& k2)
{
    const double low = s1.y < s2.y ? s1.y : s2.y;
    const double high = s1.y < s2.y ? s2.y : s1.y;
    if (!runsServe(k2, low, high)) {
        for (size_t j = 0; j < k2.count; ++j)
            if (segmentsIntersect(s1, s2, k2.vertex(j), k2.at(j + 1))) return true;
        return false;
    }
    return anyEdgeInRuns(k2, low, high,
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
    return anyEdgeAtHeights(k1, k2.box.min_Y, k2.box.max_Y, meets);
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
    return p.holesBoxKnown && k.count > 0 && boxLeavesBox(k.box, shifted(p.holesBox, p.shiftX, p.shiftY));
}

template <bool P, bool K>
bool insideSomePreparedHole(const PreparedPart& p, const Ring<K>& k)
{
    if (boxLeavesHoles(p, k)) return false;
    size_t index = 0;
    for (const Contour& h : p.part->holes) {
        const size_t i = index++;
        // Most holes are refused by their box, which is read before the ring is set up.
        const BoundingBox box = shifted(h.box, p.shiftX, p.shiftY);
        if (k.count > 0 && boxLeavesBox(k.box, box)) continue;
        // Holes without runs of their own may have no entry at all.
        const EdgeRuns* runs = i < p.holes.size() ? &p.holes[i] : nullptr;
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

}  // namespace

void PreparedPart::prepare(const Part& p)
{
    part = &p;
    outer.build(p.outer);
    // Entries only up to the last hole that is long enough for runs: most holes are not.
    size_t entries = 0, index = 0;
    for (const Contour& h : p.holes) {
        ++index;
        if (h.points.size() >= EdgeRuns::kMinVertices) entries = index;
    }
    holes.resize(entries);
    index = 0;
    for (const Contour& h : p.holes) {
        if (index == entries) break;
        holes[index++].build(h);
    }
    refresh();
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
        holesBox = boxUnion(holesBox, b);
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
