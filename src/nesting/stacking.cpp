#include "nesting/stacking.h"

#include <utility>

#include "geometry/overlap.h"
#include "geometry/point.h"
#include "nesting/gravity.h"
#include "nesting/plate_parts.h"

namespace orvo {

namespace {

// The right, top and below positions of the turned copy c against q's box, each seen
// through a shift of c's prepared form rather than a moved copy.
void tryAlignments(PlateParts& others, const Part& q, const Part& c, StackCandidate& best)
{
    const BoundingBox& qb = q.box;
    const BoundingBox& cb = c.box;
    const double shifts[3][2] = {
        {qb.max_X - cb.min_X, qb.min_Y - cb.min_Y},  // right, bottoms aligned
        {qb.min_X - cb.min_X, qb.max_Y - cb.min_Y},  // top, left edges aligned
        {qb.min_X - cb.min_X, qb.min_Y - cb.max_Y},  // below, left edges aligned
    };
    PreparedPart moved;
    for (const auto& shift : shifts) {
        // Until something fits every candidate is better, so testing the fit of better
        // candidates only sets found exactly as testing all of them would.
        const Point g = contourCentroid(c.outer, shift[0], shift[1]);
        if (!betterGravity(best.gravity, g)) continue;
        if (moved.part == nullptr) moved.prepare(c);
        moved.shiftX = shift[0];
        moved.shiftY = shift[1];
        if (!others.fits(moved)) continue;
        best.found = true;
        best.gravity = g;
        best.tested = c;  // translated as the prepared form read it: the outline just tested
        best.tested.translatePart(shift[0], shift[1]);
        best.pose = best.tested.pose;
    }
}

void tryQuarterTurns(PlateParts& others, const Part& q, const Part& start, StackCandidate& best)
{
    for (int k = 0; k < 4; ++k) {
        Part c = start;
        const Point pivot = c.pose.basePt;  // a copy: the transform moves the base point itself
        if (k > 0) c.rotatePart(pivot, k * kPi / 2);
        tryAlignments(others, q, c, best);
    }
}

// The candidates against q, tested on the plate's parts as gathered in others.
StackCandidate candidatesBeside(PlateParts& others, bool turnOver, const Part& q, const Part& part)
{
    StackCandidate best;
    best.gravity = Point(1e20, 1e20);
    tryQuarterTurns(others, q, part, best);
    if (turnOver) {
        Part turned = part;
        const Point pivot = turned.centroid;
        turned.mirrorPart(pivot);
        tryQuarterTurns(others, q, turned, best);
    }
    return best;
}

}  // namespace

StackCandidate stackCandidates(NestSystem& ns, const Plate& p, const Part& q, const Part& part)
{
    PlateParts others(ns, p);
    return candidatesBeside(others, ns.turnOver, q, part);
}

bool stackPlace(NestSystem& ns, const Plate& p, Part& part)
{
    if (part.plateId != -1) return false;
    if (ns.plateIsEmpty(p)) return gravityPlace(ns, p, part);

    StackCandidate best;
    PlateParts others(ns, p);  // nothing on the plate moves until the choice is made
    for (const Part& q : ns.nestParts) {
        if (&q == &part || q.plateId != p.id) continue;
        StackCandidate c = candidatesBeside(others, ns.turnOver, q, part);
        if (!c.found) continue;
        if (!best.found || betterGravity(best.gravity, c.gravity)) best = std::move(c);
    }
    if (!best.found) return false;
    placeAsTested(ns, p, others, part, best.pose, std::move(best.tested));
    return true;
}

void placeAsTested(NestSystem& ns, const Plate& p, PlateParts& others, Part& part,
                   const Pose& pose, Part&& tested)
{
    applyPose(part, pose);
    if (!others.fits(part)) part = std::move(tested);
    part.plateId = p.id;
    ns.markCoveredPoints(part);
}

bool boxStackSelected(NestSystem& ns, const Plate& p)
{
    const int32_t before = ns.unplacedCount();
    ns.generatePackingPoints(p);
    for (Part& part : ns.nestParts) {
        if (part.selected && part.plateId == -1) stackPlace(ns, p, part);
    }
    return before != ns.unplacedCount();
}

}  // namespace orvo
