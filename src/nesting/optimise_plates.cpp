// The plate-emptying move of the optimised Layout All: all parts of one plate go onto the
// others, and a part that finds no room makes some by taking a few smaller neighbours off
// another plate, which then look for a place in turn (an ejection chain).

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "nesting/gravity.h"
#include "nesting/optimise_search.h"
#include "nesting/plate_parts.h"

namespace orvo {

namespace {

// The share of emptying moves that empty the least filled plate; the others empty the last.
constexpr double kLeastFilledShare = 0.5;
// Parts taken off per move, at most, to make room, as a multiple of the parts to move (plus
// a few): a bound on the work of one move.
constexpr size_t kEjectionsPerPart = 3;
constexpr size_t kEjectionsExtra = 8;
// The most neighbours one part takes off for its room, and the area they free at most, as
// a multiple of its own (drawn per try between 1 and this).
constexpr size_t kMaxEjected = 12;
constexpr double kMaxRoom = 2.5;
// A part taken off for another is at most this much larger than it.
constexpr double kLargerEjected = 1.25;
// Tries to make room for one part; a try that does not let it in puts the parts it took
// off back.
constexpr int kRoomTries = 10;
// The share of tries that clear a window of the part's size; the others take off the
// nearest neighbours of a random part.
constexpr double kWindowShare = 0.8;
// The windows tried lie on a grid of this many steps per shorter side of the window.
constexpr double kWindowSteps = 3.0;
// The most window steps along the longer side of a plate: a bound on the windows a tiny
// part looks at (each one is tested against every part of the plate).
constexpr double kMostWindowSteps = 64.0;
// Tries to make room for one part of a step.
constexpr int kStepRoomTries = 3;

}  // namespace

bool LayoutSearch::makeRoomInStep(Part& part, const std::vector<Plate>& limited, const std::vector<bool>& open,
                                  std::vector<double>& freeArea, std::vector<std::unique_ptr<PlateParts>>& gathered,
                                  std::vector<Part*>& removed, std::vector<Part>& saved,
                                  std::vector<std::pair<double, size_t>>& order, size_t firstRemoved,
                                  const std::function<bool(size_t, Part&)>& placeOn)
{
    const size_t budget = firstRemoved + kEjectionsExtra;
    const auto movable = [&](const Part* q) {
        return q->netArea <= kLargerEjected * part.netArea && std::find(removed.begin(), removed.end(), q) == removed.end();
    };
    for (int tries = 0; tries < kStepRoomTries; ++tries) {
        const size_t taken = removed.size() - firstRemoved;
        if (taken >= budget) return false;
        // An open plate, the roomier ones more often.
        double roomTotal = 0.0;
        for (size_t u = 0; u < limited.size(); ++u) {
            if (open[u]) roomTotal += freeArea[u];
        }
        double pick = random_.uniform() * roomTotal;
        size_t t = limited.size();
        for (size_t u = 0; u < limited.size(); ++u) {
            if (!open[u]) continue;
            t = u;
            pick -= freeArea[u];
            if (pick < 0.0) break;
        }
        if (t == limited.size()) return false;
        const std::vector<Part*> chosen =
            windowParts(limited[t].innerBox, limited[t].id, part, std::min(kMaxEjected, budget - taken), movable);
        if (chosen.empty()) continue;
        for (Part* q : chosen) {
            saved.emplace_back();
            copyPlacement(saved.back(), *q);
            grids_.markLeft(q->plateId, q->outer.box);
            freeArea[t] += q->netArea;
            q->plateId = -1;
            removed.push_back(q);
            order.emplace_back(0.0, removed.size() - 1);
        }
        gathered[t].reset();
        if (placeOn(t, part)) return true;
        for (size_t c = 0; c < chosen.size(); ++c) {
            Part* q = removed.back();
            copyPlacement(*q, saved.back());
            grids_.markJoined(q->plateId, q->outer.box);
            freeArea[t] -= q->netArea;
            removed.pop_back();
            saved.pop_back();
            order.pop_back();
        }
        gathered[t].reset();
    }
    return false;
}

std::vector<Part*> LayoutSearch::windowParts(const BoundingBox& inner, int32_t plateId, const Part& part, size_t most,
                                             const std::function<bool(const Part*)>& movable)
{
    std::vector<Part*> on;
    for (Part* q : parts_) {
        if (q->plateId == plateId) on.push_back(q);
    }
    std::vector<Part*> chosen;
    if (on.empty() || most == 0) return chosen;
    const double w = boxWidth(part.box) + 2.0 * ns_.partGap;
    const double h = boxHeight(part.box) + 2.0 * ns_.partGap;
    const bool turned = random_.uniform() < 0.5;
    const double ww = turned ? h : w;
    const double wh = turned ? w : h;
    // Windows on a coarse grid over the box, from a random offset; at most about
    // kMostWindowSteps steps along the box's longer side, however small the part.
    const double step = std::max({std::min(ww, wh) / kWindowSteps, std::max(ns_.partGap, 1.0),
                                  std::max(boxWidth(inner), boxHeight(inner)) / kMostWindowSteps});
    const double x0 = inner.min_X + step * random_.uniform();
    const double y0 = inner.min_Y + step * random_.uniform();
    double bestCost = HUGE_VAL;
    std::vector<Part*> inside;
    for (double x = x0; x + ww <= inner.max_X; x += step) {
        for (double y = y0; y + wh <= inner.max_Y; y += step) {
            inside.clear();
            double cost = 0.0;
            bool usable = true;
            for (Part* q : on) {
                if (q->box.max_X < x || q->box.min_X > x + ww || q->box.max_Y < y || q->box.min_Y > y + wh) continue;
                cost += q->netArea;
                if (!movable(q) || inside.size() == most || cost > bestCost * 1.25) {
                    usable = false;
                    break;
                }
                inside.push_back(q);
            }
            if (!usable || inside.empty()) continue;
            cost *= 0.8 + 0.4 * random_.uniform();
            if (cost < bestCost) {
                bestCost = cost;
                chosen = inside;
            }
        }
    }
    return chosen;
}

bool LayoutSearch::emptyPlate(const HaltCheck& halted)
{
    const size_t plateCount = ns_.plates.size();
    if (plateCount < 2) return false;
    std::vector<Plate*> plates;
    for (Plate& p : ns_.plates) plates.push_back(&p);

    size_t target = plateCount - 1;
    if (random_.uniform() < kLeastFilledShare) {
        double least = 2.0;
        for (size_t t = 0; t < plateCount; ++t) {
            const double filled = ns_.placedAreaOn(*plates[t]) / boxArea(plates[t]->outerBox);
            if (filled < least) {
                least = filled;
                target = t;
            }
        }
    }
    const int32_t targetId = plates[target]->id;
    std::vector<double> freeArea(plateCount, 0.0);
    double freeTotal = 0.0;
    for (size_t t = 0; t < plateCount; ++t) {
        if (t == target) continue;
        freeArea[t] = ns_.plateFreeArea(*plates[t]);
        freeTotal += freeArea[t];
    }
    if (!(freeTotal > ns_.placedAreaOn(*plates[target]))) return false;

    // Every part this move takes off, with where it was.
    std::vector<Part*> taken;
    std::vector<Part> saved;
    auto takeOff = [&](Part* part) {
        saved.emplace_back();
        copyPlacement(saved.back(), *part);
        taken.push_back(part);
        grids_.markLeft(part->plateId, part->outer.box);
        part->plateId = -1;
    };
    // The target's parts, larger first, the order shaken a little.
    std::vector<std::pair<double, Part*>> order;
    for (Part* part : parts_) {
        if (part->plateId == targetId) order.emplace_back(-part->netArea * (0.8 + 0.4 * random_.uniform()), part);
    }
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::deque<Part*> pending;
    for (const auto& entry : order) {
        takeOff(entry.second);
        pending.push_back(entry.second);
    }
    const size_t ejectionBudget = kEjectionsPerPart * pending.size() + kEjectionsExtra;
    size_t ejected = 0;

    std::vector<std::unique_ptr<PlateParts>> gathered(plateCount);
    std::vector<const Part*> placedNow;  // placed by this move: never taken off again
    auto placeOn = [&](size_t t, Part& part) {
        if (freeArea[t] < part.netArea) return false;
        const Plate& p = *plates[t];
        if (!grids_.lend(ns_, p, p.outerBox)) return false;
        if (!gathered[t]) gathered[t] = std::make_unique<PlateParts>(ns_, p);
        const bool done = gravityPlaceAmongParts(ns_, p, part, *gathered[t]);
        grids_.giveBack(ns_);
        ++work_.emptying;
        ++work_.all;
        if (done) {
            gathered[t]->add(part);
            freeArea[t] -= part.netArea;
        }
        return done;
    };
    auto candidateOn = [&](const Part* q, size_t t, const Part& part) {
        return q->plateId == plates[t]->id && q->netArea <= kLargerEjected * part.netArea &&
               std::find(placedNow.begin(), placedNow.end(), q) == placedNow.end();
    };
    auto takeAll = [&](size_t t, const std::vector<Part*>& chosen) {
        for (Part* q : chosen) {
            freeArea[t] += q->netArea;
            takeOff(q);
            pending.push_back(q);
            ++ejected;
        }
        // The gathering holds the parts taken off: gather the plate afresh.
        gathered[t].reset();
        return chosen.size();
    };
    // Takes off plate t the parts in a window of part's size; returns how many.
    auto clearWindow = [&](size_t t, const Part& part) {
        const size_t most = std::min(kMaxEjected, ejectionBudget - ejected);
        return takeAll(t, windowParts(plates[t]->innerBox, plates[t]->id, part, most, [&](const Part* q) {
                           return candidateOn(q, t, part);
                       }));
    };
    // Takes off a few parts smaller than `part` around a random one on plate t, freeing
    // about as much area as part needs; returns how many.
    auto clearNeighbours = [&](size_t t, const Part& part) {
        std::vector<Part*> candidates;
        for (Part* q : parts_) {
            if (candidateOn(q, t, part)) candidates.push_back(q);
        }
        if (candidates.empty()) return size_t{0};
        const Point centre = boxCentre(candidates[random_.below(candidates.size())]->box);
        std::vector<std::pair<double, size_t>> near;
        for (size_t i = 0; i < candidates.size(); ++i) near.emplace_back(distance(centre, boxCentre(candidates[i]->box)), i);
        std::sort(near.begin(), near.end());
        const double room = part.netArea * (1.0 + (kMaxRoom - 1.0) * random_.uniform());
        double freed = 0.0;
        std::vector<Part*> chosen;
        for (size_t g = 0; g < near.size() && g < kMaxEjected && freed < room && ejected + chosen.size() < ejectionBudget; ++g) {
            chosen.push_back(candidates[near[g].second]);
            freed += chosen.back()->netArea;
        }
        return takeAll(t, chosen);
    };
    // Puts the last `count` parts taken off plate t back where they were.
    auto putBack = [&](size_t t, size_t count) {
        for (size_t k = 0; k < count; ++k) {
            Part* q = taken.back();
            copyPlacement(*q, saved.back());
            grids_.markJoined(q->plateId, q->outer.box);
            freeArea[t] -= q->netArea;
            taken.pop_back();
            saved.pop_back();
            pending.pop_back();
            --ejected;
        }
        gathered[t].reset();
    };

    bool allPlaced = true;
    while (!pending.empty()) {
        if (halted && halted()) {
            allPlaced = false;
            break;
        }
        Part& part = *pending.front();
        pending.pop_front();
        bool done = false;
        for (size_t t = 0; t < plateCount && !done; ++t) {
            if (t != target) done = placeOn(t, part);
        }
        for (int tries = 0; !done && tries < kRoomTries && ejected < ejectionBudget; ++tries) {
            // Another plate, the roomier ones more often.
            double roomTotal = 0.0;
            for (size_t u = 0; u < plateCount; ++u) {
                if (u != target) roomTotal += freeArea[u];
            }
            double pick = random_.uniform() * roomTotal;
            size_t t = plateCount;
            for (size_t u = 0; u < plateCount; ++u) {
                if (u == target) continue;
                t = u;
                pick -= freeArea[u];
                if (pick < 0.0) break;
            }
            if (t == plateCount) break;
            const size_t count = random_.uniform() < kWindowShare ? clearWindow(t, part) : clearNeighbours(t, part);
            if (count == 0) continue;
            done = placeOn(t, part);
            if (!done) putBack(t, count);
        }
        if (!done) {
            allPlaced = false;
            break;
        }
        placedNow.push_back(&part);
    }

    if (!allPlaced) {
        for (size_t i = 0; i < taken.size(); ++i) {
            if (taken[i]->plateId != -1) grids_.markLeft(taken[i]->plateId, taken[i]->outer.box);
            copyPlacement(*taken[i], saved[i]);
            grids_.markJoined(saved[i].plateId, saved[i].outer.box);
        }
        return false;
    }
    removeEmptyPlates();
    if (betterScore(scoreLayout(ns_), bestScore_)) {
        keepAsBest();
    } else {
        ++sinceBest_;
    }
    return true;
}

}  // namespace orvo
