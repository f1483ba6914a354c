#include "nesting/gravity.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "geometry/overlap.h"
#include "nesting/plate_parts.h"
#include "nesting/push.h"

namespace orvo {

namespace {

// Candidates whose gravity points lie closer than this in x are ranked by y.
constexpr double kTieBand = 0.1;

double turnAngle(int32_t turn, int32_t rn)
{
    const double theta = 2.0 * kPi / rn;
    return turn * theta;
}

struct Candidate {
    size_t variant = 0;
    Point pos;
    Point gravity;
};

// One gravityPlace search over the current packing-point grid.
class GravitySearch {
public:
    GravitySearch(NestSystem& ns, const Plate& p, const std::vector<GravityVariant>& variants,
                  const Point& pivot, int32_t stride)
        : ns_(ns), variants_(variants), prepared_(variants.size()), plateParts_(ns, p),
          pivot_(pivot), stride_(stride)
    {
        for (size_t k = 0; k < variants.size(); ++k) prepared_[k].prepare(variants[k].shape);
    }

    // The first fitting (point, variant) in walk order, from which the improvement starts.
    bool firstFit(Candidate& best, int64_t& column)
    {
        const PackingPointGrid& grid = ns_.packingPoints;
        for (int64_t i = 0; i < grid.columns; i += stride_) {
            for (int64_t j = 0; j < grid.rows; j += stride_) {
                const PackingPoint& q = point(i, j);
                if (q.occupied) continue;
                for (size_t k = 0; k < variants_.size(); ++k) {
                    if (!fitsAt(k, q.pos)) continue;
                    best = candidate(k, q.pos);
                    column = i;
                    return true;
                }
            }
        }
        return false;
    }

    // Walks on to the right until no point can bring a gravity point further left.
    void improve(Candidate& best, int64_t firstColumn, double reach)
    {
        const PackingPointGrid& grid = ns_.packingPoints;
        for (int64_t i = firstColumn; i < grid.columns; i += stride_) {
            for (int64_t j = 0; j < grid.rows; j += stride_) {
                const PackingPoint& q = point(i, j);
                if (q.occupied) continue;
                if (best.gravity.x < q.pos.x - reach) return;
                for (size_t k = 0; k < variants_.size(); ++k) {
                    const Candidate c = candidate(k, q.pos);
                    if (betterGravity(best.gravity, c.gravity) && fitsAt(k, q.pos)) best = c;
                }
            }
        }
    }

private:
    const PackingPoint& point(int64_t i, int64_t j) const
    {
        const PackingPointGrid& grid = ns_.packingPoints;
        return grid.points[static_cast<size_t>(j + i * grid.rows)];
    }

    Candidate candidate(size_t k, const Point& pos) const
    {
        const Point& g = variants_[k].gravity;
        const double dx = pos.x - pivot_.x;
        const double dy = pos.y - pivot_.y;
        return Candidate{k, pos, Point(g.x + dx, g.y + dy)};
    }

    // fitsOnPlate of the variant with its pivot on pos, seen there through the shift of
    // its prepared form rather than copied there.
    bool fitsAt(size_t k, const Point& pos)
    {
        PreparedPart& trial = prepared_[k];
        trial.shiftX = pos.x - pivot_.x;
        trial.shiftY = pos.y - pivot_.y;
        return plateParts_.fits(trial);
    }

    NestSystem& ns_;
    const std::vector<GravityVariant>& variants_;
    std::vector<PreparedPart> prepared_;  // one per variant
    PlateParts plateParts_;  // nothing moves during the search
    Point pivot_;
    int64_t stride_;
};

bool fitsEitherWay(const BoundingBox& part, const BoundingBox& inner)
{
    const double w = boxWidth(part);
    const double h = boxHeight(part);
    const double W = boxWidth(inner);
    const double H = boxHeight(inner);
    return (W > w && H > h) || (H > w && W > h);
}

void alignLowerLeft(Part& c, const BoundingBox& inner)
{
    c.translatePart(inner.min_X - c.box.min_X, inner.min_Y - c.box.min_Y);
}

}  // namespace

std::vector<GravityVariant> gravityVariants(const Part& part, const Point& pivot,
                                            const Point& gravityPt, int32_t rn, bool turnOver)
{
    std::vector<GravityVariant> table;
    if (rn < 1) return table;
    table.reserve(static_cast<size_t>(rn) * (turnOver ? 2 : 1));
    for (int32_t k = 0; k < rn; ++k) {
        // Every entry is a direct copy of the part, so that all share one hole order.
        GravityVariant v{part, gravityPt, k, false};
        if (k > 0) {
            v.shape.rotatePart(pivot, turnAngle(k, rn));
            rotatePoint(v.gravity, pivot, turnAngle(k, rn));
        }
        if (turnOver) {
            GravityVariant twin{part, v.gravity, k, true};
            if (k > 0) twin.shape.rotatePart(pivot, turnAngle(k, rn));
            twin.shape.mirrorPart(pivot);
            twin.gravity.y = 2.0 * pivot.y - twin.gravity.y;
            table.push_back(std::move(v));
            table.push_back(std::move(twin));
        } else {
            table.push_back(std::move(v));
        }
    }
    return table;
}

int32_t gravityStride(double shorterSide, double ppd)
{
    const double g = shorterSide / 10.0;
    if (!(g > 2.0 * ppd) || !(ppd > 0.0)) return 1;
    const double steps = std::floor(g / ppd);
    if (!(steps < std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(steps);
}

bool betterGravity(const Point& best, const Point& candidate)
{
    return best.x - kTieBand > candidate.x
        || (std::fabs(candidate.x - best.x) < kTieBand && best.y > candidate.y);
}

bool gravityPlace(NestSystem& ns, const Plate& p, Part& part)
{
    if (ns.rotationNumber < 1 || part.outer.empty()) return false;
    const Point gravityPt = contourCentroid(part.outer);
    // The pivot search refreshes the centroid; a copy keeps a failed call from touching the part.
    Part base = part;
    const Point pivot = base.nearestVertexToCentroid();
    const double reach = distance(pivot, gravityPt);
    const std::vector<GravityVariant> variants =
        gravityVariants(base, pivot, gravityPt, ns.rotationNumber, ns.turnOver);
    const BoundingBox& b = part.box;
    const int32_t stride =
        gravityStride(std::min(boxWidth(b), boxHeight(b)), ns.packingPointDistance);

    GravitySearch search(ns, p, variants, pivot, stride);
    Candidate best;
    int64_t firstColumn = 0;
    if (!search.firstFit(best, firstColumn)) return false;
    search.improve(best, firstColumn, reach);

    // The part goes through the very transforms that built the winning variant, then the
    // same shift, so it stands exactly where the fit test saw it.
    const GravityVariant& winner = variants[best.variant];
    if (winner.turn > 0) part.rotatePart(pivot, turnAngle(winner.turn, ns.rotationNumber));
    if (winner.turnedOver) part.mirrorPart(pivot);
    part.translatePart(best.pos.x - pivot.x, best.pos.y - pivot.y);

    pushOnPlate(ns, part, p, Direction::Left);
    pushOnPlate(ns, part, p, Direction::Down);
    part.plateId = p.id;
    ns.markCoveredPoints(part);
    return true;
}

bool placeFirstBig(NestSystem& ns, const Plate& p, Part& part)
{
    if (part.outer.empty()) return false;
    Part c = part;
    alignLowerLeft(c, p.innerBox);
    if (!boxInsideRect(c, p.innerBox)) {
        const Point centre = c.centroid;
        c.rotatePart(centre, kPi / 2.0);
        alignLowerLeft(c, p.innerBox);
    }
    if (!boxInsideRect(c, p.innerBox)) return false;

    const Point m = boxCentre(c.box);
    Point g = contourCentroid(c.outer);
    if (boxWidth(c.box) / 2.0 > c.box.max_X - g.x) c.rotatePart(m, kPi);
    g = contourCentroid(c.outer);
    if (ns.turnOver && boxHeight(c.box) / 2.0 > c.box.max_Y - g.y) c.mirrorPart(m);

    part = c;
    part.plateId = p.id;
    ns.markCoveredPoints(part);
    return true;
}

void preRotateOversize(NestSystem& ns, const Plate& p)
{
    for (Part& part : ns.nestParts) {
        if (part.plateId != -1 || fitsEitherWay(part.box, p.innerBox)) continue;
        Part c = part;
        c.orientMinBoxIfWorth();
        if (fitsEitherWay(c.box, p.innerBox)) part = c;
    }
}

bool isNewFailure(const Part& part, const PartList& failed)
{
    const double w = boxWidth(part.box);
    const double h = boxHeight(part.box);
    const double a = std::max(w, h);
    const double b = std::min(w, h);
    for (const Part& f : failed) {
        const double fw = boxWidth(f.box);
        const double fh = boxHeight(f.box);
        const double A = std::max(fw, fh);
        const double B = std::min(fw, fh);
        if (a >= A - 0.1 && b >= B - 0.1 && part.fillRatio >= f.fillRatio - 0.001) return false;
    }
    return true;
}

bool gravityLayoutPlate(NestSystem& ns, const Plate& p)
{
    PartList failed;
    preRotateOversize(ns, p);
    ns.generatePackingPoints(p);
    double free = ns.plateFreeArea(p);
    const double plateArea = boxArea(p.outerBox);

    if (ns.plateIsEmpty(p)) {
        for (Part& part : ns.nestParts) {
            if (part.plateId != -1 || !(part.netArea > 0.25 * plateArea)) continue;
            if (placeFirstBig(ns, p, part)) {
                free -= part.netArea;
                break;
            }
        }
    }
    for (Part& part : ns.nestParts) {
        if (part.plateId != -1 || !(free >= part.netArea)) continue;
        if (!isNewFailure(part, failed)) continue;
        if (gravityPlace(ns, p, part))
            free -= part.netArea;
        else
            failed.push_back(part);
    }
    ns.releasePackingPoints();
    return !ns.plateIsEmpty(p);
}

void hapeSelected(NestSystem& ns, const Plate& p)
{
    ns.generatePackingPoints(p);
    for (Part& part : ns.nestParts) {
        if (part.selected) gravityPlace(ns, p, part);
    }
}

}  // namespace orvo
