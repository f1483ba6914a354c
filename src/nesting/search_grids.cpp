#include "nesting/search_grids.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "geometry/overlap.h"

namespace orvo {

namespace {

bool boxesMeet(const BoundingBox& a, const BoundingBox& b)
{
    return a.min_X <= b.max_X && b.min_X <= a.max_X && a.min_Y <= b.max_Y && b.min_Y <= a.max_Y;
}

}  // namespace

SearchGrids::Entry* SearchGrids::find(int32_t plateId)
{
    for (Entry& e : grids_) {
        if (e.plateId == plateId) return &e;
    }
    return nullptr;
}

const PackingPointGrid* SearchGrids::grid(int32_t plateId) const
{
    for (const Entry& e : grids_) {
        if (e.plateId == plateId) return &e.points;
    }
    return nullptr;
}

void SearchGrids::keepPlatesOf(const NestSystem& ns)
{
    std::erase_if(grids_, [&ns](const Entry& e) {
        return std::none_of(ns.plates.begin(), ns.plates.end(), [&e](const Plate& p) { return p.id == e.plateId; });
    });
}

void SearchGrids::markLeft(int32_t plateId, const BoundingBox& box)
{
    if (Entry* e = find(plateId)) e->left.push_back(box);
}

void SearchGrids::markJoined(int32_t plateId, const BoundingBox& box)
{
    if (Entry* e = find(plateId)) e->joined.push_back(box);
}

void SearchGrids::repair(const NestSystem& ns)
{
    for (Entry& e : grids_) repair(ns, e);
}

void SearchGrids::repair(const NestSystem& ns, Entry& e)
{
    if (e.left.empty() && e.joined.empty()) return;
    PackingPointGrid& grid = e.points;
    // The points of a box: columns and rows [first, end).
    struct Range {
        int32_t firstColumn, endColumn, firstRow, endRow;
    };
    const auto range = [&](const BoundingBox& box) {
        return Range{grid.firstColumnFrom(box.min_X), grid.firstColumnFrom(std::nextafter(box.max_X, HUGE_VAL)),
                     grid.firstRowFrom(box.min_Y), grid.firstRowFrom(std::nextafter(box.max_Y, HUGE_VAL))};
    };
    std::vector<const Part*> near;
    const auto gatherNear = [&](const BoundingBox& box) {
        near.clear();
        for (const Part& part : ns.nestParts) {
            if (part.plateId == e.plateId && boxesMeet(part.outer.box, box)) near.push_back(&part);
        }
    };
    // A point is occupied when some part on the plate holds it (as markCoveredPoints marks
    // it, within the part's outer box). A part that left frees only occupied points.
    for (const BoundingBox& box : e.left) {
        const Range r = range(box);
        if (r.firstColumn >= r.endColumn || r.firstRow >= r.endRow) continue;
        gatherNear(box);
        for (int32_t i = r.firstColumn; i < r.endColumn; ++i) {
            for (int32_t j = r.firstRow; j < r.endRow; ++j) {
                PackingPoint& point = grid.at(i, j);
                if (!point.occupied) continue;
                point.occupied = std::any_of(near.begin(), near.end(), [&point](const Part* part) {
                    const BoundingBox& b = part->outer.box;
                    return point.pos.x >= b.min_X && point.pos.x <= b.max_X && point.pos.y >= b.min_Y &&
                           point.pos.y <= b.max_Y && pointInPart(*part, point.pos);
                });
            }
        }
    }
    // A part that joined occupies only free points.
    for (const BoundingBox& box : e.joined) {
        const Range r = range(box);
        if (r.firstColumn >= r.endColumn || r.firstRow >= r.endRow) continue;
        gatherNear(box);
        for (const Part* part : near) {
            const BoundingBox& b = part->outer.box;
            const int32_t i0 = std::max(r.firstColumn, grid.firstColumnFrom(b.min_X));
            const int32_t j0 = std::max(r.firstRow, grid.firstRowFrom(b.min_Y));
            for (int32_t i = i0; i < r.endColumn && grid.at(i, 0).pos.x <= b.max_X; ++i) {
                for (int32_t j = j0; j < r.endRow; ++j) {
                    PackingPoint& point = grid.at(i, j);
                    if (point.pos.y > b.max_Y) break;
                    if (!point.occupied && pointInPart(*part, point.pos)) point.occupied = true;
                }
            }
        }
    }
    e.left.clear();
    e.joined.clear();
}

bool SearchGrids::lend(NestSystem& ns, const Plate& p, const BoundingBox& box)
{
    Entry* e = find(p.id);
    if (e == nullptr) {
        ns.generatePackingPoints(p);
        if (ns.packingPoints.columns <= 0 || ns.packingPoints.rows <= 0) {
            ns.releasePackingPoints();
            return false;
        }
        grids_.emplace_back();
        e = &grids_.back();
        e->plateId = p.id;
        e->points = std::move(ns.packingPoints);
        e->fullColumns = e->points.columns;
        ns.releasePackingPoints();
    }
    repair(ns, *e);
    // The columns of a grid made for box, as generatePackingPoints counts them.
    const double steps = std::trunc(boxWidth(box) / ns.packingPointDistance);
    const int32_t columns = steps + 1.0 >= e->fullColumns ? e->fullColumns : static_cast<int32_t>(steps) + 1;
    if (columns <= 0) return false;
    std::swap(ns.packingPoints, e->points);
    ns.packingPoints.columns = columns;
    lent_ = e;
    return true;
}

void SearchGrids::giveBack(NestSystem& ns)
{
    if (lent_ == nullptr) return;
    ns.packingPoints.columns = lent_->fullColumns;
    std::swap(ns.packingPoints, lent_->points);
    lent_ = nullptr;
}

}  // namespace orvo
