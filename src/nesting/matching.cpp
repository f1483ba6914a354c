#include "nesting/matching.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "nesting/gravity.h"
#include "nesting/plate_parts.h"
#include "nesting/push.h"

namespace orvo {

namespace {

double partBoxArea(const Part& part) { return boxWidth(part.box) * boxHeight(part.box); }

// Rectangles (fill ratio 1 within 0.001) have no outline to interlock with.
bool isRectangular(const Part& part) { return std::fabs(part.fillRatio - 1.0) < 0.001; }

enum class Side { Right, Top, Below };

// Sets c beside q's box and pushes it into q until the outlines nearly touch.
void setBeside(NestSystem& ns, Part& c, const Part& q, Side side)
{
    const BoundingBox& qb = q.box;
    const BoundingBox& cb = c.box;
    switch (side) {
    case Side::Right:
        c.translatePart(qb.max_X - cb.min_X, qb.min_Y - cb.min_Y);
        pushAgainst(ns, c, q, Direction::Left);
        break;
    case Side::Top:
        c.translatePart(qb.min_X - cb.min_X, qb.max_Y - cb.min_Y);
        pushAgainst(ns, c, q, Direction::Down);
        break;
    case Side::Below:
        c.translatePart(qb.min_X - cb.min_X, qb.min_Y - cb.max_Y);
        pushAgainst(ns, c, q, Direction::Up);
        break;
    }
}

struct MatchSearch {
    NestSystem& ns;
    PlateParts& others;  // the parts on the plate, which stay put during the search
    const Part& q;
    double areaQ;
    double areaP;
    double edge;
    MatchCandidate best;

    // A small part may not stick out right of the packed part of the plate by more than
    // half its longer side.
    bool passesLengthRule(const Part& c) const
    {
        return areaP >= 500000.0 ||
               c.box.max_X <= edge + 0.5 * std::max(boxWidth(c.box), boxHeight(c.box));
    }

    // The plate-wide fit test comes last: the score and the length rule read boxes only.
    void consider(const Part& c, Side side)
    {
        const double score = areaP + areaQ - unionBoxArea(q, c);
        const bool better =
            best.score < score || (best.score == score && best.gravity.x > c.centroid.x);
        if (!better) return;
        if (side == Side::Right && !passesLengthRule(c)) return;
        if (!others.fits(c)) return;
        best.ok = true;  // a candidate fitted; whether it is good enough is decided at the end
        best.score = score;
        best.pose = c.pose;
        best.gravity = c.centroid;
        best.tested = c;
    }

    void tryQuarterTurns(const Part& start)
    {
        for (int k = 0; k < 4; ++k) {
            Part turned = start;
            const Point pivot = turned.pose.basePt;  // a copy: the transform moves the base point
            if (k > 0) turned.rotatePart(pivot, k * kPi / 2);
            for (Side side : {Side::Right, Side::Top, Side::Below}) {
                Part c = turned;
                setBeside(ns, c, q, side);
                consider(c, side);
            }
        }
    }
};

}  // namespace

bool sharesDimension(const Part& a, const Part& b)
{
    const double wa = boxWidth(a.box), ha = boxHeight(a.box);
    const double wb = boxWidth(b.box), hb = boxHeight(b.box);
    return std::fabs(wa - wb) / wa < 0.01 || std::fabs(wa - hb) / wa < 0.01 ||
           std::fabs(ha - wb) / ha < 0.01 || std::fabs(ha - hb) / ha < 0.01;
}

bool matchesPlacedPart(const NestSystem& ns, const Plate& p, const Part& part)
{
    for (const Part& other : ns.nestParts) {
        if (&other != &part && other.plateId == p.id && sharesDimension(other, part)) return true;
    }
    return false;
}

bool matchesUnplacedPart(const NestSystem& ns, const Part& part)
{
    for (const Part& other : ns.nestParts) {
        if (&other != &part && other.plateId == -1 && sharesDimension(other, part)) return true;
    }
    return false;
}

double unionBoxArea(const Part& a, const Part& b)
{
    const BoundingBox u = boxUnion(a.box, b.box);
    return boxWidth(u) * boxHeight(u);
}

namespace {

MatchCandidate matchBeside(NestSystem& ns, PlateParts& others, double tol, const Plate& p,
                           const Part& q, const Part& part)
{
    // The cheap refusals first: the search below costs up to 24 pushes and fit tests.
    if (q.plateId != p.id || part.plateId != -1) return {};
    if (!sharesDimension(q, part) || isRectangular(q) || isRectangular(part)) return {};

    MatchSearch search{ns, others, q, partBoxArea(q), partBoxArea(part), ns.packedEdge(p), {}};
    search.best.gravity = Point(1e20, 0.0);
    search.tryQuarterTurns(part);
    if (ns.turnOver) {
        Part turned = part;
        const Point pivot = turned.pose.basePt;
        turned.mirrorPart(pivot);
        search.tryQuarterTurns(turned);
    }

    MatchCandidate result = std::move(search.best);
    const double emptyArea =
        (1.0 - part.fillRatio) * search.areaP + (1.0 - q.fillRatio) * search.areaQ;
    result.ok = result.ok && tol <= result.score / emptyArea;
    return result;
}

}  // namespace

MatchCandidate matchPlace(NestSystem& ns, double tol, const Plate& p, const Part& q,
                          const Part& part)
{
    PlateParts others(ns, p);
    return matchBeside(ns, others, tol, p, q, part);
}

bool shapeMatchPlace(NestSystem& ns, const Plate& p, Part& part, double tol)
{
    MatchCandidate best;
    PlateParts others(ns, p);  // nothing on the plate moves until the choice is made
    for (const Part& q : ns.nestParts) {
        if (&q == &part || q.plateId != p.id) continue;
        MatchCandidate m = matchBeside(ns, others, tol, p, q, part);
        if (!m.ok) continue;
        if (!best.ok || best.score < m.score ||
            (best.score == m.score && best.gravity.x > m.gravity.x)) {
            best = std::move(m);
        }
    }
    if (!best.ok) return false;
    placeAsTested(ns, p, others, part, best.pose, std::move(best.tested));
    return true;
}

namespace {

// The shared decisions of both cascades; fallback is the gravity placement or nothing.
bool cascade(NestSystem& ns, const Plate& p, Part& part, double tol, bool withGravity)
{
    auto fallback = [&] { return withGravity && gravityPlace(ns, p, part); };
    const bool unplacedTwin = matchesUnplacedPart(ns, part);
    if (matchesPlacedPart(ns, p, part)) {
        if (!unplacedTwin) return shapeMatchPlace(ns, p, part, tol) || fallback();
        if (shapeMatchPlace(ns, p, part, tol)) return true;
    } else if (!unplacedTwin) {
        return fallback();
    }
    if (!stackPlace(ns, p, part)) return fallback();
    pushOnPlate(ns, part, p, Direction::Left);
    pushOnPlate(ns, part, p, Direction::Down);
    return true;
}

}  // namespace

bool matchOrStack(NestSystem& ns, const Plate& p, Part& part, double tol)
{
    return cascade(ns, p, part, tol, true);
}

bool matchOrStackStrict(NestSystem& ns, const Plate& p, Part& part, double tol)
{
    return cascade(ns, p, part, tol, false);
}

bool shapeMatchSelected(NestSystem& ns, const Plate& p)
{
    const int32_t before = ns.unplacedCount();
    ns.generatePackingPoints(p);
    for (Part& part : ns.nestParts) {
        if (part.selected && part.plateId == -1) matchOrStack(ns, p, part, ns.matchTolerance);
    }
    return before != ns.unplacedCount();
}

}  // namespace orvo
