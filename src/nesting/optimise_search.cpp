#include "nesting/optimise_search.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

#include "geometry/overlap.h"
#include "nesting/gravity.h"
#include "nesting/plate_parts.h"

namespace orvo {

namespace {

// The share of steps that try to shorten the last plate; the others only rearrange.
constexpr double kShrinkShare = 0.6;
// With more than one plate, the share of steps that squeeze another plate than the last.
constexpr double kOtherPlateShare = 0.4;
// Of the steps on another plate than the last, the share that lays it out afresh.
constexpr double kRepackShare = 0.25;
// Of the shortening steps with more than one plate, the share that tries to empty the
// last plate at once.
constexpr double kEmptyShare = 0.1;
// The share of steps that try to empty a plate (while those have had no more than their
// share of the placements tried).
constexpr double kEmptyPlateShare = 0.1;
constexpr double kEmptyPlateWork = 0.05;
// The share of steps in which a part that finds no place may take a few others off a plate
// for its room.
constexpr double kStepEjectionShare = 0.2;
// The most neighbours a step takes off around its centre (besides the parts it must move).
constexpr size_t kMaxGroup = 6;
// Now and then a larger group.
constexpr double kLargeGroupShare = 0.1;
constexpr size_t kMaxLargeGroup = 15;
// The share of steps whose last plate may grow beyond the best one's, and by how much at
// most (a share of its length).
constexpr double kSlackShare = 0.3;
constexpr double kSlack = 0.02;
// Steps without a new best after which the working layout returns to the best.
constexpr int64_t kPatience = 400;
// Bounds of the cut of another plate than the last, as a share of its packed length.
constexpr double kMinOtherCut = 0.02;
constexpr double kMaxOtherCut = 0.12;
// The share of shortening steps that also take off the parts of the plate's tail, and the
// bounds of the tail as a share of the plate's packed length.
constexpr double kTailShare = 0.3;
constexpr double kMinTail = 0.05;
constexpr double kMaxTail = 0.25;
// The share of rearranging steps that may spread the last plate's parts further right, and
// by how much at most.
constexpr double kSpreadSlackShare = 0.1;
constexpr double kSpreadSlack = 0.005;
// Bounds of the shortening step, as a share of the last plate's packed length.
constexpr double kMinShrink = 0.002;
constexpr double kMaxShrink = 0.05;

}  // namespace

bool samePlacement(const Part& a, const Part& b)
{
    if (a.plateId != b.plateId || a.outer.points.size() != b.outer.points.size()) return false;
    const auto same = [](const Point& u, const Point& v) { return u.x == v.x && u.y == v.y; };
    if (!std::equal(a.outer.points.begin(), a.outer.points.end(), b.outer.points.begin(), same)) return false;
    auto hb = b.holes.begin();
    for (auto ha = a.holes.begin(); ha != a.holes.end(); ++ha, ++hb) {
        if (hb == b.holes.end()) return false;
        if (ha->points.size() != hb->points.size()) return false;
        if (!ha->points.empty() && !same(ha->points.front(), hb->points.front())) return false;
    }
    return hb == b.holes.end();
}

void copyPlacement(Part& to, const Part& from)
{
    to = from;
    // The assignment reversed the holes; put them back in the order of `from`.
    auto source = from.holes.begin();
    for (auto hole = to.holes.begin(); hole != to.holes.end(); ++hole, ++source) *hole = *source;
}

SearchRandom::SearchRandom(uint64_t seed, uint64_t stream)
    : state_(seed * 0x9E3779B97F4A7C15ull + (stream + 1) * 0xD1B54A32D192ED03ull)
{
    next();
}

uint64_t SearchRandom::next()
{
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double SearchRandom::uniform()
{
    return static_cast<double>(next() >> 11) * 0x1.0p-53;
}

size_t SearchRandom::below(size_t n)
{
    return n == 0 ? 0 : static_cast<size_t>(next() % n);
}

void copyForSearch(NestSystem& to, const NestSystem& from, std::vector<Part*>& parts)
{
    to.matchTolerance = from.matchTolerance;
    to.hugeArea = from.hugeArea;
    to.hugeFill = from.hugeFill;
    to.bigArea = from.bigArea;
    to.squareFill = from.squareFill;
    to.mediumArea = from.mediumArea;
    to.smallArea = from.smallArea;
    to.platesPerColumn = from.platesPerColumn;
    to.plateSpacing = from.plateSpacing;
    to.partGap = from.partGap;
    to.plateGap = from.plateGap;
    to.rotationNumber = from.rotationNumber;
    to.packingPointDistance = from.packingPointDistance;
    to.plateLength = from.plateLength;
    to.plateWidth = from.plateWidth;
    to.turnOver = from.turnOver;
    to.plates = from.plates;
    for (const Part& part : from.nestParts) {
        to.nestParts.emplace_back();
        copyPlacement(to.nestParts.back(), part);
        parts.push_back(&to.nestParts.back());
    }
}

LayoutSearch::LayoutSearch(const NestSystem& source, uint64_t seed, uint64_t stream)
    : ns_(quiet_, NestSystem::NoErrorReport{}), random_(seed, stream)
{
    copyForSearch(ns_, source, parts_);
    bestParts_.resize(parts_.size());
    keepAsBest();
}

void LayoutSearch::keepAsBest()
{
    bestPlates_ = ns_.plates;
    for (size_t i = 0; i < parts_.size(); ++i) copyPlacement(bestParts_[i], *parts_[i]);
    bestScore_ = scoreLayout(ns_);
    sinceBest_ = 0;
}

void LayoutSearch::returnToBest()
{
    // Only the points of the parts that lie elsewhere in the best layout need marking again.
    for (size_t i = 0; i < parts_.size(); ++i) {
        const Part& now = *parts_[i];
        const Part& then = bestParts_[i];
        if (samePlacement(now, then)) continue;
        if (now.plateId != -1) grids_.markLeft(now.plateId, now.outer.box);
        if (then.plateId != -1) grids_.markJoined(then.plateId, then.outer.box);
    }
    ns_.plates = bestPlates_;
    for (size_t i = 0; i < parts_.size(); ++i) copyPlacement(*parts_[i], bestParts_[i]);
    grids_.keepPlatesOf(ns_);
    sinceBest_ = 0;
}

void LayoutSearch::copyLayout(const LayoutSearch& other)
{
    bestPlates_ = other.bestPlates_;
    for (size_t i = 0; i < parts_.size(); ++i) copyPlacement(bestParts_[i], other.bestParts_[i]);
    bestScore_ = other.bestScore_;
    returnToBest();
}

void LayoutSearch::writeLayout(NestSystem& ns) const
{
    ns.releasePackingPoints();
    ns.plates = bestPlates_;
    ns.activePlate = ns.plates.empty() ? nullptr : &ns.plates.back();
    size_t i = 0;
    for (Part& part : ns.nestParts) copyPlacement(part, bestParts_[i++]);
}

int64_t LayoutSearch::run(int64_t count, const std::atomic<bool>& halt, const std::atomic<bool>& stop)
{
    int64_t done = 0;
    const HaltCheck halted = [&] { return halt.load() || stop.load(); };
    while (done < count && !halted()) {
        step(halted);
        ++done;
    }
    return done;
}

void LayoutSearch::removeEmptyPlates()
{
    for (auto plate = ns_.plates.begin(); plate != ns_.plates.end();) {
        if (ns_.plateIsEmpty(*plate)) {
            plate = ns_.plates.erase(plate);
        } else {
            ++plate;
        }
    }
    grids_.keepPlatesOf(ns_);
}

double LayoutSearch::spread(const Plate& p) const
{
    double sum = 0.0;
    for (const Part* part : parts_) {
        if (part->plateId == p.id) sum += part->netArea * (part->box.max_X - p.outerBox.min_X);
    }
    return sum;
}

bool LayoutSearch::step(const HaltCheck& halted)
{
    const size_t plateCount = ns_.plates.size();
    if (plateCount == 0) return false;
    if (plateCount > 1 && static_cast<double>(work_.emptying) <= kEmptyPlateWork * static_cast<double>(work_.all) &&
        random_.uniform() < kEmptyPlateShare)
        return emptyPlate(halted);
    std::vector<Plate*> plates;
    for (Plate& p : ns_.plates) plates.push_back(&p);
    const size_t lastIndex = plateCount - 1;

    // Each plate as this step may use it: the last one no longer than it is packed, so
    // that the layout never gets worse, and one plate (the squeezed one, mostly the last)
    // cut shorter, so that its parts beyond the cut must find a place before it or on
    // another plate. Squeezing the other plates frees room at their ends for the parts of
    // later plates.
    std::vector<Plate> limited;
    for (const Plate* p : plates) limited.push_back(*p);
    auto cutTo = [&](size_t t, double length) {
        Plate& p = limited[t];
        p.innerBox.max_X = std::min(p.innerBox.max_X, p.outerBox.min_X + length);
        p.outerBox.max_X = p.innerBox.max_X;
    };
    const double lastLength = ns_.packedEdge(*plates[lastIndex]) - plates[lastIndex]->outerBox.min_X;
    // The last plate may grow up to a little beyond the best layout's (with as many plates).
    double lastLimit = lastLength;
    if (plateCount == static_cast<size_t>(bestScore_.plates) && random_.uniform() < kSlackShare)
        lastLimit = std::max(lastLength, bestScore_.lastPlateLength * (1.0 + kSlack * random_.uniform()));
    cutTo(lastIndex, lastLimit);
    const size_t squeezed = plateCount > 1 && random_.uniform() < kOtherPlateShare ? random_.below(lastIndex) : lastIndex;
    const double length = ns_.packedEdge(*plates[squeezed]) - plates[squeezed]->outerBox.min_X;
    // Or, with several plates, another plate is laid out afresh with a few parts of the last.
    const bool repack = squeezed != lastIndex && random_.uniform() < kRepackShare;
    const bool shrink = !repack && random_.uniform() < kShrinkShare;
    const bool empty = shrink && squeezed == lastIndex && plateCount > 1 && random_.uniform() < kEmptyShare;
    if (shrink) {
        // Another plate gives up a wider strip at its end, wide enough for a part of the last.
        const double share = squeezed == lastIndex ? shrinkShare_ * (0.5 + random_.uniform())
                                                    : kMinOtherCut + (kMaxOtherCut - kMinOtherCut) * random_.uniform();
        cutTo(squeezed, empty ? 0.0 : length * (1.0 - share));
    }
    const double lastAreaBefore = plateCount > 1 ? ns_.placedAreaOn(*plates[lastIndex]) : 0.0;
    const double spreadBefore = spread(*plates[lastIndex]);
    std::vector<bool> open(plateCount);
    for (size_t t = 0; t < plateCount; ++t) open[t] = limited[t].innerBox.max_X > limited[t].innerBox.min_X;

    auto plateIndex = [&](int32_t id) {
        for (size_t t = 0; t < plateCount; ++t) {
            if (plates[t]->id == id) return t;
        }
        return plateCount;
    };

    std::vector<Part*> removed;
    for (Part* part : parts_) {
        if (part->plateId == -1) continue;
        const size_t t = plateIndex(part->plateId);
        if (t < plateCount && !(open[t] && boxInsideRect(*part, limited[t].innerBox))) removed.push_back(part);
    }
    // Now and then the whole tail of the cut plate too, to be laid out again behind the rest.
    if (shrink && !empty && random_.uniform() < kTailShare) {
        const Plate& cut = limited[squeezed];
        const double from = cut.innerBox.max_X - length * (kMinTail + (kMaxTail - kMinTail) * random_.uniform());
        for (Part* part : parts_) {
            if (part->plateId == cut.id && part->box.min_X > from &&
                std::find(removed.begin(), removed.end(), part) == removed.end())
                removed.push_back(part);
        }
    }
    // A random group of neighbours: the parts nearest to a placed part, on its plate
    // (half the time on the squeezed plate).
    std::vector<Part*> placed;
    std::vector<Part*> onSqueezed;
    for (Part* part : parts_) {
        if (part->plateId == -1) continue;
        placed.push_back(part);
        if (part->plateId == plates[squeezed]->id) onSqueezed.push_back(part);
    }
    if (!placed.empty()) {
        const Part* centrePart = placed[random_.below(placed.size())];
        if (random_.uniform() < 0.5 && !onSqueezed.empty()) centrePart = onSqueezed[random_.below(onSqueezed.size())];
        if (repack) {
            for (Part* part : onSqueezed) removed.push_back(part);
            std::vector<Part*> onLast;
            for (Part* part : placed) {
                if (part->plateId == plates[lastIndex]->id) onLast.push_back(part);
            }
            if (!onLast.empty()) centrePart = onLast[random_.below(onLast.size())];
        }
        const Point centre = boxCentre(centrePart->box);
        const int32_t plateId = centrePart->plateId;
        std::vector<std::pair<double, size_t>> near;
        for (size_t i = 0; i < parts_.size(); ++i) {
            const Part* part = parts_[i];
            if (part->plateId != plateId) continue;
            near.emplace_back(distance(centre, boxCentre(part->box)), i);
        }
        std::sort(near.begin(), near.end());
        const size_t most = random_.uniform() < kLargeGroupShare ? kMaxLargeGroup : kMaxGroup;
        const size_t group = 1 + random_.below(std::min(most, near.size()));
        for (size_t g = 0; g < group; ++g) {
            Part* part = parts_[near[g].second];
            if (std::find(removed.begin(), removed.end(), part) == removed.end()) removed.push_back(part);
        }
    }
    if (removed.empty()) return false;

    // Take them off, keeping where they were.
    std::vector<Part> saved(removed.size());
    for (size_t i = 0; i < removed.size(); ++i) {
        copyPlacement(saved[i], *removed[i]);
        grids_.markLeft(removed[i]->plateId, removed[i]->outer.box);
        removed[i]->plateId = -1;
    }

    // Put them back: larger parts first, the order shaken a little (now and then wholly).
    std::vector<std::pair<double, size_t>> order;
    if (random_.uniform() < 0.15) {
        for (size_t i = 0; i < removed.size(); ++i) order.emplace_back(0.0, i);
        for (size_t i = order.size(); i > 1; --i) std::swap(order[i - 1], order[random_.below(i)]);
    } else {
        for (size_t i = 0; i < removed.size(); ++i)
            order.emplace_back(-removed[i]->netArea * (0.75 + 0.5 * random_.uniform()), i);
        std::sort(order.begin(), order.end());
    }

    std::vector<double> freeArea(plateCount, 0.0);
    for (size_t t = 0; t < plateCount; ++t) {
        if (open[t]) freeArea[t] = ns_.plateFreeArea(limited[t]);
    }
    std::vector<std::unique_ptr<PlateParts>> gathered(plateCount);
    bool allPlaced = true;
    auto placeOn = [&](size_t t, Part& part) {
        if (!open[t] || freeArea[t] < part.netArea) return false;
        const Plate& p = limited[t];
        // The plate's grid, cut to the columns of the plate as this step may use it.
        if (!grids_.lend(ns_, *plates[t], p.outerBox)) return false;
        if (!gathered[t]) gathered[t] = std::make_unique<PlateParts>(ns_, p);
        const bool done = gravityPlaceAmongParts(ns_, p, part, *gathered[t]);
        grids_.giveBack(ns_);
        ++work_.all;
        if (done) {
            gathered[t]->add(part);
            freeArea[t] -= part.netArea;
        }
        return done;
    };
    // Now and then a part without room makes some (see makeRoomInStep); the parts it
    // takes off join the end of the order.
    const bool ejecting = random_.uniform() < kStepEjectionShare;
    const size_t firstRemoved = removed.size();
    for (size_t k = 0; k < order.size(); ++k) {
        if (halted && halted()) {
            allPlaced = false;
            break;
        }
        Part& part = *removed[order[k].second];
        bool done = false;
        for (size_t t = 0; t < plateCount && !done; ++t) done = placeOn(t, part);
        if (!done && ejecting) done = makeRoomInStep(part, limited, open, freeArea, gathered, removed, saved, order, firstRemoved, placeOn);
        if (!done) {
            allPlaced = false;
            break;
        }
    }

    if (shrink && !empty) {
        shrinkShare_ = allPlaced ? std::min(kMaxShrink, shrinkShare_ * 1.1) : std::max(kMinShrink, shrinkShare_ * 0.97);
    }
    // With several plates, a step that leaves as many plates and a last plate no shorter
    // must not load the last plate with more: the way to a plate less.
    if (allPlaced && plateCount > 1 && !ns_.plateIsEmpty(*plates[lastIndex]) &&
        !(ns_.packedEdge(*plates[lastIndex]) - plates[lastIndex]->outerBox.min_X < lastLength) &&
        ns_.placedAreaOn(*plates[lastIndex]) > lastAreaBefore) {
        allPlaced = false;
    }
    // A step that leaves the last plate as long must not spread its parts further right,
    // but now and then may a little: the room the next cut needs gathers at the end.
    if (allPlaced && !shrink && !ns_.plateIsEmpty(*plates[lastIndex]) &&
        !(ns_.packedEdge(*plates[lastIndex]) - plates[lastIndex]->outerBox.min_X < lastLength) &&
        spread(*plates[lastIndex]) > spreadBefore * (1.0 + (random_.uniform() < kSpreadSlackShare ? kSpreadSlack : 0.0))) {
        allPlaced = false;
    }
    if (!allPlaced) {
        for (size_t i = 0; i < removed.size(); ++i) {
            if (removed[i]->plateId != -1) grids_.markLeft(removed[i]->plateId, removed[i]->outer.box);
            copyPlacement(*removed[i], saved[i]);
            grids_.markJoined(saved[i].plateId, saved[i].outer.box);
        }
        return false;
    }
    removeEmptyPlates();
    if (betterScore(scoreLayout(ns_), bestScore_)) {
        keepAsBest();
    } else if (++sinceBest_ > kPatience) {
        returnToBest();
    }
    return true;
}

}  // namespace orvo
