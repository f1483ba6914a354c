#include "nesting/strip_search.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "nesting/gravity.h"

namespace orvo {

namespace {

// Grid cells along the longer side of a part's box in the search for its circles.
constexpr int32_t kPoleGrid = 28;
// The most circles per part, and the share of the first circle's radius below which the
// search for more ends.
constexpr size_t kMostPoles = 8;
constexpr double kLeastPoleShare = 0.15;
// Moves of colliding parts per step, on a strip and on several plates (where a step of
// the large-neighbourhood search beside it takes longer).
constexpr int32_t kMovesPerStep = 8;
constexpr int32_t kMovesPerPlatesStep = 32;
// Positions sampled per move: over the whole strip, and near the part's own.
constexpr int32_t kStripSamples = 40;
constexpr int32_t kNearSamples = 16;
// On several plates: the share of the samples over the plates that stay on the part's own.
constexpr double kOwnPlateShare = 0.5;
// The most cost evaluations of the refinement of a move.
constexpr int32_t kRefineEvaluations = 40;
// Sweeps over the colliding parts without a fall of the total overlap (by kGain) after
// which the attempt returns to its least overlapping state (a strike); after kStrikes
// strikes it gives up.
constexpr int64_t kPatience = 150;
constexpr double kGain = 0.98;
constexpr int32_t kStrikes = 3;
// The share of the packed length an attempt cuts off: its start, bounds and changes.
constexpr double kFirstShrink = 0.01;
constexpr double kMaxShrink = 0.02;
constexpr double kMinShrink = 0.0005;
constexpr double kShrinkAfterFailure = 0.7;
constexpr double kShrinkAfterSuccess = 1.1;
// The guided-local-search weights: growth of a colliding pair's (by 1 to 2, the more the
// deeper its overlap against the deepest) and decay of the others towards 1.
constexpr double kWeightGrowth = 1.0;
// Weights stop growing here: a pair that keeps colliding through a long attempt must not
// reach infinity (then every position would cost the same).
constexpr double kMostWeight = 1e6;
constexpr double kWeightDecay = 0.95;
// Circles of two parts that reach this far (mm) into each other prove that the parts collide.
constexpr double kProvenDepth = 1e-6;
// The overlap proxy's eps, as a share of the larger part's box diagonal: circles shallower
// than it (or not quite meeting) count with a depth that fades from eps / 2 to 0.
constexpr double kNearShare = 0.01;

struct Edge {
    Point a;
    Point b;
};

double segmentDistance(const Point& p, const Edge& e)
{
    const double ex = e.b.x - e.a.x;
    const double ey = e.b.y - e.a.y;
    const double len2 = ex * ex + ey * ey;
    double t = len2 > 0.0 ? ((p.x - e.a.x) * ex + (p.y - e.a.y) * ey) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double dx = p.x - (e.a.x + t * ex);
    const double dy = p.y - (e.a.y + t * ey);
    return std::sqrt(dx * dx + dy * dy);
}

void addEdges(const Contour& k, std::vector<Edge>& edges)
{
    const size_t n = k.points.size();
    for (size_t i = 0; i < n; ++i) edges.push_back(Edge{k.points[i], k.points[(i + 1) % n]});
}

double signedArea(const Contour& k)
{
    double sum = 0.0;
    const size_t n = k.points.size();
    for (size_t i = 0; i < n; ++i) {
        const Point& a = k.points[i];
        const Point& b = k.points[(i + 1) % n];
        sum += a.x * b.y - b.x * a.y;
    }
    return sum / 2.0;
}

// How far a point may reach: to the part's edges, and to the circles found before.
double clearance(const Part& part, const std::vector<Edge>& edges, const std::vector<Pole>& poles, const Point& p)
{
    if (!pointInPart(part, p)) return -1.0;
    double d = std::numeric_limits<double>::infinity();
    for (const Edge& e : edges) d = std::min(d, segmentDistance(p, e));
    for (const Pole& c : poles) d = std::min(d, distance(p, c.centre) - c.radius);
    return d;
}

double boxOverlapSide(double a0, double a1, double b0, double b1)
{
    return std::max(0.0, std::min(a1, b1) - std::max(a0, b0));
}

}  // namespace

std::vector<Pole> partPoles(const Part& part, size_t most)
{
    std::vector<Edge> edges;
    addEdges(part.outer, edges);
    for (const Contour& h : part.holes) addEdges(h, edges);
    const BoundingBox& box = part.box;
    const double w = boxWidth(box);
    const double h = boxHeight(box);
    const double side = std::max(w, h);
    std::vector<Pole> poles;
    if (side > 0.0 && std::isfinite(side)) {
        const double cell = side / kPoleGrid;
        const int32_t nx = std::max<int32_t>(2, static_cast<int32_t>(std::ceil(w / cell)));
        const int32_t ny = std::max<int32_t>(2, static_cast<int32_t>(std::ceil(h / cell)));
        std::vector<Point> grid;
        std::vector<double> toEdges;
        for (int32_t i = 0; i < nx; ++i) {
            for (int32_t j = 0; j < ny; ++j) {
                const Point p(box.min_X + (i + 0.5) * w / nx, box.min_Y + (j + 0.5) * h / ny);
                const double d = clearance(part, edges, {}, p);
                if (d > 0.0) {
                    grid.push_back(p);
                    toEdges.push_back(d);
                }
            }
        }
        while (poles.size() < most && !grid.empty()) {
            double best = 0.0;
            Point centre;
            for (size_t g = 0; g < grid.size(); ++g) {
                double d = toEdges[g];
                for (const Pole& c : poles) d = std::min(d, distance(grid[g], c.centre) - c.radius);
                if (d > best) {
                    best = d;
                    centre = grid[g];
                }
            }
            if (!(best > 0.0)) break;
            // A pattern search around the best grid point.
            for (double step = std::min(w / nx, h / ny) / 2.0; step > cell / 64.0; step /= 2.0) {
                bool moved = true;
                while (moved) {
                    moved = false;
                    for (int32_t k = 0; k < 8; ++k) {
                        const double a = k * 0.7853981633974483;
                        const Point p(centre.x + step * std::cos(a), centre.y + step * std::sin(a));
                        const double d = clearance(part, edges, poles, p);
                        if (d > best) {
                            best = d;
                            centre = p;
                            moved = true;
                        }
                    }
                }
            }
            if (!poles.empty() && best < kLeastPoleShare * poles.front().radius) break;
            poles.push_back(Pole{centre, best});
        }
    }
    if (poles.empty()) {
        const double r = std::max(1e-6, 0.01 * std::min(w, h));
        poles.push_back(Pole{boxCentre(box), std::isfinite(r) ? r : 1e-6});
    }
    return poles;
}

namespace {

// The box of the circles, shifted by (dx, dy).
BoundingBox circlesBox(const std::vector<Pole>& circles, double dx, double dy)
{
    BoundingBox box;
    box.min_X = box.min_Y = std::numeric_limits<double>::infinity();
    box.max_X = box.max_Y = -std::numeric_limits<double>::infinity();
    for (const Pole& q : circles) {
        box.min_X = std::min(box.min_X, q.centre.x + dx - q.radius);
        box.max_X = std::max(box.max_X, q.centre.x + dx + q.radius);
        box.min_Y = std::min(box.min_Y, q.centre.y + dy - q.radius);
        box.max_Y = std::max(box.max_Y, q.centre.y + dy + q.radius);
    }
    return box;
}

}  // namespace

double polePenetration(const std::vector<Pole>& a, double adx, double ady, const std::vector<Pole>& b,
                       double bdx, double bdy, double* deepest)
{
    // A circle of a that misses the box of b's circles meets none of them.
    const BoundingBox around = circlesBox(b, bdx, bdy);
    double sum = 0.0;
    for (const Pole& p : a) {
        const double px = p.centre.x + adx;
        const double py = p.centre.y + ady;
        if (px + p.radius <= around.min_X || px - p.radius >= around.max_X || py + p.radius <= around.min_Y ||
            py - p.radius >= around.max_Y)
            continue;
        for (const Pole& q : b) {
            const double reach = p.radius + q.radius;
            const double dx = q.centre.x + bdx - px;
            const double dy = q.centre.y + bdy - py;
            const double d2 = dx * dx + dy * dy;
            if (d2 < reach * reach) {
                const double depth = reach - std::sqrt(d2);
                sum += depth;
                if (deepest != nullptr) *deepest = std::max(*deepest, depth);
            }
        }
    }
    return sum;
}

double poleOverlap(const std::vector<Pole>& a, double adx, double ady, const std::vector<Pole>& b, double bdx,
                   double bdy, double eps, double* deepest)
{
    // Circles further apart than this add less than a tenth of eps each: left out.
    const double margin = 8.0 * eps;
    const BoundingBox around = circlesBox(b, bdx, bdy);
    double sum = 0.0;
    for (const Pole& p : a) {
        const double px = p.centre.x + adx;
        const double py = p.centre.y + ady;
        const double r = p.radius + margin;
        if (px + r <= around.min_X || px - r >= around.max_X || py + r <= around.min_Y || py - r >= around.max_Y)
            continue;
        for (const Pole& q : b) {
            const double dx = q.centre.x + bdx - px;
            const double dy = q.centre.y + bdy - py;
            const double reach = p.radius + q.radius;
            const double far = reach + margin;
            const double d2 = dx * dx + dy * dy;
            if (d2 >= far * far) continue;
            const double depth = reach - std::sqrt(d2);
            if (deepest != nullptr) *deepest = std::max(*deepest, depth);
            const double felt = depth >= eps ? depth : eps * eps / (2.0 * eps - depth);
            sum += felt * std::min(p.radius, q.radius);
        }
    }
    return sum * 3.141592653589793;
}

bool StripSearch::applies(const NestSystem& ns)
{
    if (ns.plates.size() != 1) return false;
    int32_t placed = 0;
    for (const Part& part : ns.nestParts) {
        if (part.plateId == -1) continue;
        if (part.plateId != ns.plates.front().id) return false;
        ++placed;
    }
    return placed > 1;
}

StripSearch::StripSearch(const NestSystem& source, uint64_t seed, uint64_t stream)
    : ns_(quiet_, NestSystem::NoErrorReport{}), random_(seed, stream)
{
    copyForSearch(ns_, source, parts_);
    setPlates();
    bestParts_.resize(parts_.size());
    buildItems();
    keepBest();
}

void StripSearch::setPlates()
{
    plates_.clear();
    for (Plate& p : ns_.plates) plates_.push_back(&p);
    openPlates_ = plates_.size();
}

void StripSearch::loadLayout(const NestSystem& ns)
{
    ns_.plates = ns.plates;
    setPlates();
    size_t i = 0;
    for (const Part& part : ns.nestParts) copyPlacement(*parts_[i++], part);
    // The circles found first stay; the variants follow the parts' new poses.
    buildItems();
    attempting_ = false;
    keepBest();
}

void StripSearch::buildItems()
{
    // The circles of a part in the frame of two of its outer vertices, so that a part
    // loaded in another pose needs no new search for them.
    std::vector<Item> old = std::move(items_);
    items_.clear();
    for (Part* part : parts_) {
        size_t plate = 0;
        while (plate < plates_.size() && plates_[plate]->id != part->plateId) ++plate;
        if (plate == plates_.size()) continue;
        Item item;
        item.part = part;
        item.plate = plate;
        // Kept above zero, so that every collision counts (a degenerate part too).
        item.diameter = std::max(1e-6, std::hypot(boxWidth(part->box), boxHeight(part->box)));
        item.rootArea = std::max(1e-3 * item.diameter, std::sqrt(std::abs(signedArea(part->outer))));
        const Contour& outer = part->outer;
        const Item* before = nullptr;
        for (const Item& o : old) {
            if (o.part == part) before = &o;
        }
        if (before != nullptr) {
            item.localPoles = before->localPoles;
            item.far = before->far;
            item.counterClockwise = before->counterClockwise;
        } else if (!outer.points.empty()) {
            const Point a = outer.points[0];
            for (size_t k = 1; k < outer.points.size(); ++k) {
                if (distance(a, outer.points[k]) > distance(a, outer.points[item.far])) item.far = k;
            }
            item.counterClockwise = signedArea(outer) > 0.0;
            const Point b = outer.points[item.far];
            const double len = distance(a, b);
            const double ux = len > 0.0 ? (b.x - a.x) / len : 1.0;
            const double uy = len > 0.0 ? (b.y - a.y) / len : 0.0;
            for (const Pole& p : partPoles(*part, kMostPoles)) {
                const double rx = p.centre.x - a.x;
                const double ry = p.centre.y - a.y;
                item.localPoles.push_back(Pole{Point(rx * ux + ry * uy, -rx * uy + ry * ux), p.radius});
            }
        }
        const int32_t rn = std::max<int32_t>(1, ns_.rotationNumber);
        for (GravityVariant& g : gravityVariants(*part, part->centroid, part->centroid, rn, ns_.turnOver)) {
            Variant v;
            v.shape = std::move(g.shape);
            // The circles carried through vertices 0 and `far`, mirrored with the shape.
            const Contour& k = v.shape.outer;
            if (!k.points.empty() && item.far < k.points.size()) {
                const Point a = k.points[0];
                const Point b = k.points[item.far];
                const double len = distance(a, b);
                const double ux = len > 0.0 ? (b.x - a.x) / len : 1.0;
                const double uy = len > 0.0 ? (b.y - a.y) / len : 0.0;
                const double sense = (signedArea(k) > 0.0) == item.counterClockwise ? 1.0 : -1.0;
                for (const Pole& p : item.localPoles) {
                    const double along = p.centre.x;
                    const double across = p.centre.y * sense;
                    v.poles.push_back(Pole{Point(a.x + along * ux - across * uy, a.y + along * uy + across * ux), p.radius});
                }
            }
            item.variants.push_back(std::move(v));
        }
        if (item.variants.empty()) {
            Variant v;
            copyPlacement(v.shape, *part);
            item.variants.push_back(std::move(v));
        }
        items_.push_back(std::move(item));
    }
    // Prepared once the variants lie where they stay; every part starts in its own pose.
    for (Item& item : items_) {
        for (Variant& v : item.variants) v.prepared.prepare(v.shape);
        item.box = item.variants.front().shape.box;
    }
    const size_t n = items_.size();
    weight_.assign(n * n, 1.0);
    overlap_.assign(n * n, 0.0);
    setMembers();
    refreshOverlaps();
}

void StripSearch::setMembers()
{
    members_.assign(plates_.size(), {});
    used_.assign(plates_.size(), 0.0);
    for (size_t i = 0; i < items_.size(); ++i) {
        members_[items_[i].plate].push_back(i);
        used_[items_[i].plate] += items_[i].part->netArea;
    }
}

double StripSearch::pairOverlap(size_t i, const Pose2& p, size_t j)
{
    if (items_[j].plate != p.plate) return 0.0;
    Variant& v = items_[i].variants[p.variant];
    const BoundingBox box = shifted(v.shape.box, p.dx, p.dy);
    if (outerBoxesApart(box, items_[j].box)) return 0.0;
    v.prepared.shiftX = p.dx;
    v.prepared.shiftY = p.dy;
    return collidingOverlap(i, v, box, p, j);
}

double StripSearch::collidingOverlap(size_t i, Variant& v, const BoundingBox& box, const Pose2& p, size_t j)
{
    const Item& other = items_[j];
    Variant& w = items_[j].variants[other.variant];
    // Circles inside the material of both parts that reach into each other (by more than
    // rounding) prove a collision: the exact test runs only when they do not.
    double deepest = 0.0;
    if (plates_.size() > 1) {
        // On several plates the plain depths: measured, the proxy of the strip below kept
        // a small library from coming down to one plate.
        const double depth = polePenetration(v.poles, p.dx, p.dy, w.poles, other.dx, other.dy, &deepest);
        if (deepest <= kProvenDepth && partsDisjoint(v.prepared, w.prepared)) return 0.0;
        // The circles rank the depth; the common box keeps every collision above zero.
        const double common = std::sqrt(boxOverlapSide(box.min_X, box.max_X, other.box.min_X, other.box.max_X) *
                                        boxOverlapSide(box.min_Y, box.max_Y, other.box.min_Y, other.box.max_Y));
        const double least = 1e-3 * std::min(v.poles.empty() ? 1.0 : v.poles.front().radius,
                                             w.poles.empty() ? 1.0 : w.poles.front().radius);
        return depth + 0.2 * common + least;
    }
    const Item& self = items_[i];
    const double eps = kNearShare * std::max(self.diameter, other.diameter);
    const double felt = poleOverlap(v.poles, p.dx, p.dy, w.poles, other.dx, other.dy, eps, &deepest);
    if (deepest <= kProvenDepth && partsDisjoint(v.prepared, w.prepared)) return 0.0;
    // Above zero for every collision (eps), and larger parts weigh more: a small part
    // makes way for a large one rather than the other way round.
    return std::sqrt(felt + eps * eps) * std::sqrt(self.rootArea * other.rootArea);
}

double StripSearch::cost(size_t i, const Pose2& p, double bound)
{
    const size_t n = items_.size();
    Variant& v = items_[i].variants[p.variant];
    const BoundingBox box = shifted(v.shape.box, p.dx, p.dy);
    v.prepared.shiftX = p.dx;
    v.prepared.shiftY = p.dy;
    const double* weights = &weight_[i * n];
    double sum = 0.0;
    for (const size_t j : members_[p.plate]) {
        if (j == i || outerBoxesApart(box, items_[j].box)) continue;
        const double o = collidingOverlap(i, v, box, p, j);
        if (o > 0.0) {
            sum += weights[j] * o;
            if (sum >= bound) break;
        }
    }
    return sum;
}

void StripSearch::setPose(size_t i, const Pose2& p)
{
    Item& item = items_[i];
    item.variant = p.variant;
    item.dx = p.dx;
    item.dy = p.dy;
    item.plate = p.plate;
    item.box = shifted(item.variants[p.variant].shape.box, p.dx, p.dy);
}

StripSearch::Pose2 StripSearch::poseOf(size_t i) const
{
    const Item& item = items_[i];
    return Pose2{item.variant, item.dx, item.dy, item.plate};
}

void StripSearch::place(size_t i, const Pose2& p)
{
    Item& item = items_[i];
    if (p.plate != item.plate) {
        std::vector<size_t>& from = members_[item.plate];
        from.erase(std::find(from.begin(), from.end(), i));
        std::vector<size_t>& to = members_[p.plate];
        to.insert(std::lower_bound(to.begin(), to.end(), i), i);
        used_[item.plate] -= item.part->netArea;
        used_[p.plate] += item.part->netArea;
    }
    setPose(i, p);
    Variant& v = item.variants[p.variant];
    v.prepared.shiftX = p.dx;
    v.prepared.shiftY = p.dy;
    const size_t n = items_.size();
    for (size_t j = 0; j < n; ++j) {
        if (j == i) continue;
        const double o = pairOverlap(i, p, j);
        overlap_[i * n + j] = o;
        overlap_[j * n + i] = o;
    }
}

void StripSearch::refreshOverlaps()
{
    const size_t n = items_.size();
    for (size_t i = 0; i < n; ++i) {
        items_[i].variants[items_[i].variant].prepared.shiftX = items_[i].dx;
        items_[i].variants[items_[i].variant].prepared.shiftY = items_[i].dy;
    }
    for (size_t i = 0; i < n; ++i) {
        const Pose2 p = poseOf(i);
        overlap_[i * n + i] = 0.0;
        for (size_t j = i + 1; j < n; ++j) {
            const double o = pairOverlap(i, p, j);
            overlap_[i * n + j] = o;
            overlap_[j * n + i] = o;
        }
    }
}

double StripSearch::limitOf(size_t k) const
{
    return k + 1 == plates_.size() ? limitX_ : plates_[k]->innerBox.max_X;
}

bool StripSearch::fitsLength(size_t i, size_t variant, size_t plate) const
{
    const BoundingBox& b = items_[i].variants[variant].shape.box;
    const BoundingBox& inner = plates_[plate]->innerBox;
    return boxWidth(b) <= limitOf(plate) - inner.min_X && boxHeight(b) <= boxHeight(inner);
}

size_t StripSearch::randomPlate()
{
    // Weighted by the free area of the plates in this attempt.
    double total = 0.0;
    for (size_t k = 0; k < openPlates_; ++k) {
        const BoundingBox& inner = plates_[k]->innerBox;
        total += std::max(0.0, (limitOf(k) - inner.min_X) * boxHeight(inner) - used_[k]);
    }
    double r = random_.uniform() * total;
    for (size_t k = 0; k + 1 < openPlates_; ++k) {
        const BoundingBox& inner = plates_[k]->innerBox;
        r -= std::max(0.0, (limitOf(k) - inner.min_X) * boxHeight(inner) - used_[k]);
        if (r < 0.0) return k;
    }
    return openPlates_ - 1;
}

StripSearch::Pose2 StripSearch::randomPose(size_t i)
{
    const Item& item = items_[i];
    Pose2 p;
    // A single plate draws no plate, so that a strip's stream of numbers stays as it was.
    // On several plates half the samples stay on the part's own plate (when it may stay).
    p.plate = 0;
    if (plates_.size() > 1) p.plate = open(item.plate) && random_.uniform() < kOwnPlateShare ? item.plate : randomPlate();
    const BoundingBox& inner = plates_[p.plate]->innerBox;
    p.variant = random_.below(item.variants.size());
    if (!fitsLength(i, p.variant, p.plate)) p.variant = item.variant;
    const BoundingBox& b = item.variants[p.variant].shape.box;
    const double xRoom = std::max(0.0, limitOf(p.plate) - inner.min_X - boxWidth(b));
    const double yRoom = std::max(0.0, boxHeight(inner) - boxHeight(b));
    p.dx = inner.min_X - b.min_X + xRoom * random_.uniform();
    p.dy = inner.min_Y - b.min_Y + yRoom * random_.uniform();
    return p;
}

void StripSearch::moveItem(size_t i)
{
    const Item& item = items_[i];
    auto clampPose = [&](Pose2& p) {
        const BoundingBox& inner = plates_[p.plate]->innerBox;
        const BoundingBox& b = items_[i].variants[p.variant].shape.box;
        const double xLow = inner.min_X - b.min_X;
        const double xHigh = std::max(xLow, limitOf(p.plate) - b.max_X);
        const double yLow = inner.min_Y - b.min_Y;
        const double yHigh = std::max(yLow, inner.max_Y - b.max_Y);
        p.dx = std::clamp(p.dx, xLow, xHigh);
        p.dy = std::clamp(p.dy, yLow, yHigh);
    };
    Pose2 best = poseOf(i);
    double bestCost = std::numeric_limits<double>::infinity();
    const bool stays = open(item.plate);
    if (stays && item.box.max_X <= limitOf(item.plate) && fitsLength(i, item.variant, item.plate))
        bestCost = cost(i, best, bestCost);
    const Pose2 current = best;
    for (int32_t s = 0; s < kStripSamples && bestCost > 0.0; ++s) {
        const Pose2 p = randomPose(i);
        if (plates_.size() > 1 && !fitsLength(i, p.variant, p.plate)) continue;
        const double c = cost(i, p, bestCost);
        if (c < bestCost) {
            bestCost = c;
            best = p;
        }
    }
    const double w = boxWidth(item.variants[current.variant].shape.box);
    const double h = boxHeight(item.variants[current.variant].shape.box);
    for (int32_t s = 0; s < kNearSamples && bestCost > 0.0 && stays; ++s) {
        Pose2 p = current;
        if (random_.uniform() < 0.3) p.variant = random_.below(item.variants.size());
        if (!fitsLength(i, p.variant, p.plate)) continue;
        // Around the part's centre, whatever its turn.
        const BoundingBox& from = item.variants[current.variant].shape.box;
        const BoundingBox& to = item.variants[p.variant].shape.box;
        p.dx += boxCentre(from).x - boxCentre(to).x + (random_.uniform() - 0.5) * w * 0.5;
        p.dy += boxCentre(from).y - boxCentre(to).y + (random_.uniform() - 0.5) * h * 0.5;
        clampPose(p);
        const double c = cost(i, p, bestCost);
        if (c < bestCost) {
            bestCost = c;
            best = p;
        }
    }
    if (!std::isfinite(bestCost)) return;  // no variant fits anywhere
    // Coordinate descent: steps along x and y, halved when none helps.
    double sx = 0.1 * boxWidth(item.variants[best.variant].shape.box);
    double sy = 0.1 * boxHeight(item.variants[best.variant].shape.box);
    const double leastX = sx * 0.01;
    const double leastY = sy * 0.01;
    for (int32_t e = 0; e < kRefineEvaluations && bestCost > 0.0 && (sx > leastX || sy > leastY);) {
        bool gained = false;
        const double moves[4][2] = {{sx, 0.0}, {-sx, 0.0}, {0.0, sy}, {0.0, -sy}};
        for (const auto& m : moves) {
            Pose2 p = best;
            p.dx += m[0];
            p.dy += m[1];
            clampPose(p);
            ++e;
            const double c = cost(i, p, bestCost);
            if (c < bestCost) {
                bestCost = c;
                best = p;
                gained = true;
                break;
            }
        }
        if (!gained) {
            sx /= 2.0;
            sy /= 2.0;
        }
    }
    place(i, best);
}

void StripSearch::keepBest()
{
    for (size_t i = 0; i < parts_.size(); ++i) copyPlacement(bestParts_[i], *parts_[i]);
    bestPoses_.clear();
    for (size_t i = 0; i < items_.size(); ++i) bestPoses_.push_back(poseOf(i));
    bestScore_ = scoreLayout(ns_);
}

void StripSearch::restoreBest()
{
    for (size_t i = 0; i < parts_.size(); ++i) copyPlacement(*parts_[i], bestParts_[i]);
    for (size_t i = 0; i < items_.size(); ++i) setPose(i, bestPoses_[i]);
    openPlates_ = plates_.size();
    setMembers();
    refreshOverlaps();
}

void StripSearch::materialise()
{
    for (Item& item : items_) {
        copyPlacement(*item.part, item.variants[item.variant].shape);
        item.part->translatePart(item.dx, item.dy);
        item.part->plateId = plates_[item.plate]->id;
    }
}

bool StripSearch::legal() const
{
    for (const Item& item : items_) {
        if (!open(item.plate) || !boxInsideRect(*item.part, plates_[item.plate]->innerBox)) return false;
    }
    for (const std::vector<size_t>& on : members_) {
        for (size_t a = 0; a < on.size(); ++a) {
            const Part& pa = *items_[on[a]].part;
            for (size_t b = a + 1; b < on.size(); ++b) {
                const Part& pb = *items_[on[b]].part;
                if (!outerBoxesApart(pa.box, pb.box) && !partsDisjoint(pa, pb)) return false;
            }
        }
    }
    return true;
}

void StripSearch::dropEmptyPlates()
{
    std::vector<size_t> index(plates_.size(), 0);
    size_t kept = 0;
    auto plate = ns_.plates.begin();
    for (size_t k = 0; k < plates_.size(); ++k) {
        const bool last = k + 1 == plates_.size() && kept == 0;
        if (members_[k].empty() && !last) {
            plate = ns_.plates.erase(plate);
        } else {
            index[k] = kept++;
            ++plate;
        }
    }
    if (kept == plates_.size()) return;
    for (Item& item : items_) item.plate = index[item.plate];
    setPlates();
    setMembers();
}

void StripSearch::startAttempt(double length)
{
    const size_t last = plates_.size() - 1;
    const Plate& strip = *plates_.back();
    limitX_ = std::min(strip.innerBox.max_X, strip.outerBox.min_X + length);
    openPlates_ = plates_.size();
    if (last > 0) {
        // The last plate goes once none of its parts fits the cut one in any pose.
        bool room = false;
        for (size_t i : members_[last]) {
            for (size_t v = 0; v < items_[i].variants.size() && !room; ++v) room = fitsLength(i, v, last);
        }
        if (!room) openPlates_ = last;
    }
    const size_t n = items_.size();
    std::fill(weight_.begin(), weight_.end(), 1.0);
    // The parts beyond the new end go back inside, where they overlap least.
    for (size_t i = 0; i < n; ++i) {
        if (items_[i].plate == last && (!open(last) || items_[i].box.max_X > limitX_)) moveItem(i);
    }
    attempting_ = true;
    queue_.clear();
    queuePos_ = 0;
    attemptBest_ = 0.0;
    for (size_t k = 0; k < n * n; ++k) attemptBest_ += overlap_[k];
    attemptBestPoses_.clear();
    for (size_t i = 0; i < n; ++i) attemptBestPoses_.push_back(poseOf(i));
    sweepsWithoutGain_ = 0;
    strikes_ = 0;
}

bool StripSearch::step(const LayoutSearch::HaltCheck& halted)
{
    if (plates_.empty() || items_.size() < 2) return false;
    const size_t n = items_.size();
    if (!attempting_) {
        const double share = shrink_ * (0.5 + random_.uniform());
        // A strip loses a share of its packed length; the last of several plates a share of
        // its whole length, so that the cuts reach its left end and the plate goes.
        const double length = bestScore_.lastPlateLength;
        startAttempt(plates_.size() > 1 ? length - share * boxWidth(plates_.back()->innerBox) : length * (1.0 - share));
    }
    const int32_t moves = plates_.size() > 1 ? kMovesPerPlatesStep : kMovesPerStep;
    for (int32_t m = 0; m < moves; ++m) {
        if (halted && halted()) return false;
        if (queuePos_ == queue_.size()) {
            // A sweep ended: weigh the pairs that still collide, and judge the progress.
            double total = 0.0;
            double deepest = 0.0;
            for (size_t k = 0; k < n * n; ++k) {
                total += overlap_[k];
                deepest = std::max(deepest, overlap_[k]);
            }
            if (!queue_.empty()) {
                for (size_t k = 0; k < n * n; ++k) {
                    if (overlap_[k] > 0.0)
                        weight_[k] = std::min(kMostWeight, weight_[k] * (1.0 + kWeightGrowth * overlap_[k] / deepest));
                    else weight_[k] = std::max(1.0, weight_[k] * kWeightDecay);
                }
                if (total < attemptBest_ * kGain) {
                    attemptBest_ = total;
                    for (size_t i = 0; i < n; ++i) attemptBestPoses_[i] = poseOf(i);
                    sweepsWithoutGain_ = 0;
                } else if (++sweepsWithoutGain_ >= kPatience) {
                    sweepsWithoutGain_ = 0;
                    if (++strikes_ >= kStrikes) {
                        // Give up: back to the last legal layout, and a smaller cut next time.
                        restoreBest();
                        attempting_ = false;
                        shrink_ *= kShrinkAfterFailure;
                        if (shrink_ < kMinShrink) shrink_ = kFirstShrink / 2.0;
                        return false;
                    }
                    for (size_t i = 0; i < n; ++i) setPose(i, attemptBestPoses_[i]);
                    setMembers();
                    refreshOverlaps();
                }
            }
            queue_.clear();
            queuePos_ = 0;
            for (size_t i = 0; i < n; ++i) {
                if (!open(items_[i].plate)) {
                    queue_.push_back(i);  // still on the plate that goes
                    continue;
                }
                for (size_t j = 0; j < n; ++j) {
                    if (overlap_[i * n + j] > 0.0) {
                        queue_.push_back(i);
                        break;
                    }
                }
            }
            if (queue_.empty()) {
                // No pair collides: a shorter legal layout (checked once more as a whole).
                attempting_ = false;
                materialise();
                // Legal, a layout on fewer plates or a shorter last plate: dropping the
                // plates left empty only makes it better.
                const bool kept = legal();
                if (kept) dropEmptyPlates();
                if (kept && betterScore(scoreLayout(ns_), bestScore_)) {
                    keepBest();
                    shrink_ = std::min(kMaxShrink, shrink_ * kShrinkAfterSuccess);
                    return true;
                }
                restoreBest();
                shrink_ = std::max(kMinShrink, shrink_ * kShrinkAfterFailure);
                return false;
            }
            for (size_t k = queue_.size(); k > 1; --k) std::swap(queue_[k - 1], queue_[random_.below(k)]);
        }
        const size_t i = queue_[queuePos_++];
        bool colliding = !open(items_[i].plate);
        for (size_t j = 0; j < n && !colliding; ++j) colliding = overlap_[i * n + j] > 0.0;
        if (colliding) moveItem(i);
    }
    return false;
}

int64_t StripSearch::run(int64_t count, const std::atomic<bool>& halt, const std::atomic<bool>& stop)
{
    int64_t done = 0;
    const LayoutSearch::HaltCheck halted = [&] { return halt.load() || stop.load(); };
    while (done < count && !halted()) {
        step(halted);
        ++done;
    }
    return done;
}

bool StripSearch::separateAt(double length, int64_t steps)
{
    if (plates_.empty()) return false;
    const LayoutScore before = bestScore_;
    startAttempt(length);
    for (int64_t s = 0; s < steps && attempting_; ++s) step();
    return !attempting_ && betterScore(bestScore_, before);
}

void StripSearch::writeLayout(NestSystem& ns) const
{
    ns.releasePackingPoints();
    ns.plates = ns_.plates;
    ns.activePlate = ns.plates.empty() ? nullptr : &ns.plates.back();
    size_t i = 0;
    for (Part& part : ns.nestParts) copyPlacement(part, bestParts_[i++]);
}

}  // namespace orvo
