#include "nesting/gravity.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>

#include "geometry/overlap.h"
#include "nesting/covered_samples.h"
#include "nesting/plate_parts.h"
#include "nesting/push.h"

namespace orvo {

namespace {

// Rounds of left and down pushes after the first pair, for a settling placement.
constexpr int kSettleRounds = 4;

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

// Whether a box from low to high, shifted by shift, may lie inside [min, max] by the test
// of boxInsideRect; the slack, ten times its tolerance, covers any rounding of the shift.
bool boxMayFit(double shift, double low, double high, double min, double max)
{
    constexpr double kSlack = 1e-3;
    return low + shift >= min - kSlack && high + shift <= max + kSlack;
}

// What the layout of one plate keeps between its gravityPlace calls: the grid's occupied
// flags packed one byte each (the lookups of the covered samples stay in cache), brought
// up to date when a part has been placed since.
struct PlateLayoutAids {
    // Per column, the free points as bits over the rows; the bits past the last row are
    // set, as a point off the grid tells nothing.
    std::vector<uint64_t> freeBits;
    int64_t words = 0;  // per column
    bool stale = true;

    void refresh(const PackingPointGrid& grid)
    {
        if (!stale) return;
        words = (static_cast<int64_t>(grid.rows) + 63) / 64;
        freeBits.assign(static_cast<size_t>(words * grid.columns), ~uint64_t{0});
        for (int64_t i = 0; i < grid.columns; ++i) {
            for (int64_t j = 0; j < grid.rows; ++j) {
                if (grid.points[static_cast<size_t>(j + i * grid.rows)].occupied)
                    freeBits[static_cast<size_t>(i * words + j / 64)] &= ~(uint64_t{1} << (j % 64));
            }
        }
        stale = false;
    }
};

// One gravityPlace search over the current packing-point grid.
class GravitySearch {
public:
    GravitySearch(NestSystem& ns, PlateParts& plateParts, const std::vector<GravityVariant>& variants,
                  const Point& pivot, int32_t stride)
        : ns_(ns), variants_(variants), prepared_(variants.size()), plateParts_(plateParts),
          pivot_(pivot), stride_(stride)
    {
        for (size_t k = 0; k < variants.size(); ++k) prepared_[k].prepare(variants[k].shape);
    }

    // Lets the walk pass over every position where a covered sample of the variant meets
    // an occupied point, a column at a time; sound only while each occupied point lies
    // inside a part that plateParts holds. With quarterTurns, the variants are whole
    // quarter turns of the first one and share its samples, turned.
    void useCoveredSamples(double ppd, int32_t quarterTurns, const PlateLayoutAids& aids, const BoundingBox& inner)
    {
        aids_ = &aids;
        samples_.reserve(variants_.size());
        if (quarterTurns > 0) {
            const CoveredSamples first(variants_.front().shape, pivot_, ppd);
            for (const GravityVariant& v : variants_) samples_.push_back(first.turned(v.turn * quarterTurns, v.turnedOver));
        } else {
            for (const GravityVariant& v : variants_) samples_.emplace_back(v.shape, pivot_, ppd);
        }
        insideRows_.assign(static_cast<size_t>(aids.words) * variants_.size(), 0);
        insideColumns_.clear();
        const PackingPointGrid& grid = ns_.packingPoints;
        for (size_t k = 0; k < variants_.size(); ++k) {
            const BoundingBox& b = variants_[k].shape.outer.box;
            for (int64_t j = 0; j < grid.rows; ++j) {
                if (boxMayFit(grid.at(0, static_cast<int32_t>(j)).pos.y - pivot_.y, b.min_Y, b.max_Y, inner.min_Y, inner.max_Y))
                    insideRows_[k * static_cast<size_t>(aids.words) + static_cast<size_t>(j / 64)] |= uint64_t{1} << (j % 64);
            }
            int64_t lo = grid.columns, hi = -1;
            for (int64_t i = 0; i < grid.columns; ++i) {
                if (!boxMayFit(grid.at(static_cast<int32_t>(i), 0).pos.x - pivot_.x, b.min_X, b.max_X, inner.min_X, inner.max_X)) continue;
                lo = std::min(lo, i);
                hi = std::max(hi, i);
            }
            insideColumns_.push_back({lo, hi});
        }
    }

    // The first fitting (point, variant) in walk order, from which the improvement starts.
    bool firstFit(Candidate& best, int64_t& column)
    {
        const PackingPointGrid& grid = ns_.packingPoints;
        for (int64_t i = 0; i < grid.columns; i += stride_) {
            if (aids_ != nullptr) {
                if (openColumn(i) && firstFitInColumn(i, best)) {
                    column = i;
                    return true;
                }
                continue;
            }
            for (int64_t j = 0; j < grid.rows; j += stride_) {
                const PackingPoint& q = point(i, j);
                if (q.occupied) continue;
                for (size_t k = 0; k < variants_.size(); ++k) {
                    if (!open(k, j) || !fitsAt(k, q.pos)) continue;
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
            openColumn(i);
            for (int64_t j = 0; j < grid.rows; j += stride_) {
                const PackingPoint& q = point(i, j);
                if (q.occupied) continue;
                if (best.gravity.x < q.pos.x - reach) return;
                for (size_t k = 0; k < variants_.size(); ++k) {
                    const Candidate c = candidate(k, q.pos);
                    if (betterGravity(best.gravity, c.gravity) && open(k, j) && fitsAt(k, q.pos)) best = c;
                }
            }
        }
    }

private:
    // Works out, for column i, the rows at which each variant's covered samples all fall
    // on free points (or off the grid); false when no free point of the column is open
    // to any variant. Without samples every position is open.
    bool openColumn(int64_t i)
    {
        if (aids_ == nullptr) return true;
        const PackingPointGrid& grid = ns_.packingPoints;
        const int64_t words = aids_->words;
        const auto column = [&](int64_t c, int64_t w) -> uint64_t {
            if (c < 0 || c >= grid.columns || w < 0 || w >= words) return ~uint64_t{0};
            return aids_->freeBits[static_cast<size_t>(c * words + w)];
        };
        openRows_ = insideRows_;
        bool any = false;
        for (size_t k = 0; k < variants_.size(); ++k) {
            uint64_t* rows = &openRows_[k * static_cast<size_t>(words)];
            uint64_t left = 0;  // free rows of column i still open
            for (int64_t w = 0; w < words; ++w) left |= rows[w] & column(i, w);
            if (left == 0 || i < insideColumns_[k].first || i > insideColumns_[k].second) {
                std::fill(rows, rows + words, uint64_t{0});
                continue;
            }
            for (const CoveredSamples::Offset& o : samples_[k].offsets()) {
                const int64_t c = i + o.columns;
                if (c < 0 || c >= grid.columns) continue;
                // Bit j of the result is bit j + o.rows of column c.
                left = 0;
                for (int64_t w = 0; w < words; ++w) {
                    const int64_t start = w * 64 + o.rows;
                    const int64_t first = start >= 0 ? start / 64 : -((63 - start) / 64);
                    const int shift = static_cast<int>(start - first * 64);
                    uint64_t bits = column(c, first) >> shift;
                    if (shift != 0) bits |= column(c, first + 1) << (64 - shift);
                    rows[w] &= bits;
                    left |= rows[w] & column(i, w);
                }
                if (left == 0) break;  // closed: the other samples change nothing
            }
            for (int64_t w = 0; w < words && !any; ++w) any = (rows[w] & column(i, w)) != 0;
        }
        return any;
    }

    // firstFit within column i at the open free rows only, in the same order.
    bool firstFitInColumn(int64_t i, Candidate& best)
    {
        const PackingPointGrid& grid = ns_.packingPoints;
        const size_t words = static_cast<size_t>(aids_->words);
        for (size_t w = 0; w < words; ++w) {
            uint64_t rows = 0;
            for (size_t k = 0; k < variants_.size(); ++k) rows |= openRows_[k * words + w];
            rows &= aids_->freeBits[static_cast<size_t>(i) * words + w];
            while (rows != 0) {
                const int64_t j = static_cast<int64_t>(w * 64) + std::countr_zero(rows);
                rows &= rows - 1;
                if (j >= grid.rows) break;
                if (j % stride_ != 0) continue;
                const Point& pos = point(i, j).pos;
                for (size_t k = 0; k < variants_.size(); ++k) {
                    if (!open(k, j) || !fitsAt(k, pos)) continue;
                    best = candidate(k, pos);
                    return true;
                }
            }
        }
        return false;
    }

    bool open(size_t k, int64_t j) const
    {
        if (aids_ == nullptr) return true;
        const size_t word = k * static_cast<size_t>(aids_->words) + static_cast<size_t>(j / 64);
        return (openRows_[word] >> (j % 64)) & 1u;
    }

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
    PlateParts& plateParts_;  // nothing moves during the search
    std::vector<CoveredSamples> samples_;  // one per variant, when in use
    const PlateLayoutAids* aids_ = nullptr;
    std::vector<uint64_t> openRows_;  // per variant, the rows of the current column open to it
    std::vector<uint64_t> insideRows_;  // per variant, the rows at which its box may lie inside
    std::vector<std::pair<int64_t, int64_t>> insideColumns_;  // per variant, likewise the columns
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

namespace {

// Quarter turns per step of the variant table, when every variant is a whole quarter turn
// (only those map the grid onto itself); 0 otherwise.
int32_t quarterTurnsPerStep(int32_t rn)
{
    return rn == 1 ? 4 : rn == 2 ? 2 : rn == 4 ? 1 : 0;
}

// gravityPlace against the parts gathered in others. Without aids, others may hold the
// part itself (a selected part already on p), so the pushes gather the plate afresh
// without it. With aids (the layout of a plate), others lacks the part and serves the
// pushes as well, and every occupied point lies inside one of its parts, so that a part
// is not tried at a position where its covered samples meet an occupied point: it would
// not fit there.
bool gravityPlaceAmong(NestSystem& ns, const Plate& p, Part& part, PlateParts& others, PlateLayoutAids* aids,
                       bool settle = false)
{
    const bool ownGathering = aids == nullptr;
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

    GravitySearch search(ns, others, variants, pivot, stride);
    // In the layout of a plate the grid holds only points covered by the gathered parts,
    // which stay put.
    if (aids != nullptr && !variants.empty()) {
        aids->refresh(ns.packingPoints);
        search.useCoveredSamples(ns.packingPointDistance, quarterTurnsPerStep(ns.rotationNumber), *aids, p.innerBox);
    }
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

    if (ownGathering) {
        pushOnPlate(ns, part, p, Direction::Left);
        pushOnPlate(ns, part, p, Direction::Down);
    } else {
        pushOnPlate(ns, part, Direction::Left, others);
        pushOnPlate(ns, part, Direction::Down, others);
        // Settling: left and down again while the part still moves.
        for (int round = 0; settle && round < kSettleRounds; ++round) {
            const BoundingBox before = part.box;
            pushOnPlate(ns, part, Direction::Left, others);
            pushOnPlate(ns, part, Direction::Down, others);
            if (before.min_X - part.box.min_X < kPushMinStep && before.min_Y - part.box.min_Y < kPushMinStep) break;
        }
    }
    part.plateId = p.id;
    ns.markCoveredPoints(part);
    return true;
}

}  // namespace

bool gravityPlace(NestSystem& ns, const Plate& p, Part& part)
{
    PlateParts others(ns, p);
    return gravityPlaceAmong(ns, p, part, others, nullptr);
}

bool gravityPlaceAmongParts(NestSystem& ns, const Plate& p, Part& part, PlateParts& others)
{
    PlateLayoutAids aids;
    return gravityPlaceAmong(ns, p, part, others, &aids, true);
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
    // The parts on p, gathered once: from here on only the part being placed moves, and
    // it joins them once placed.
    PlateParts onPlate(ns, p);
    PlateLayoutAids aids;

    if (ns.plateIsEmpty(p)) {
        for (Part& part : ns.nestParts) {
            if (part.plateId != -1 || !(part.netArea > 0.25 * plateArea)) continue;
            if (placeFirstBig(ns, p, part)) {
                free -= part.netArea;
                onPlate.add(part);
                break;
            }
        }
    }
    for (Part& part : ns.nestParts) {
        if (part.plateId != -1 || !(free >= part.netArea)) continue;
        if (!isNewFailure(part, failed)) continue;
        if (gravityPlaceAmong(ns, p, part, onPlate, &aids)) {
            free -= part.netArea;
            onPlate.add(part);
            aids.stale = true;
        } else {
            failed.push_back(part);
        }
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
