#include <algorithm>
#include <cmath>
#include <new>

#include "base/platform.h"
#include "geometry/overlap.h"
#include "nesting/nest_system.h"

namespace orvo {

void NestSystem::generatePackingPoints(const Plate& p)
{
    releasePackingPoints();
    const double ppd = packingPointDistance;
    const BoundingBox& box = p.outerBox;
    const double xSteps = std::trunc(boxWidth(box) / ppd);
    const double ySteps = std::trunc(boxHeight(box) / ppd);
    // Also catches NaN quotients: every comparison with NaN is false.
    const bool countable = ppd > 0.0 && std::isfinite(ppd) && xSteps >= 0.0 && ySteps >= 0.0 &&
                           (xSteps + 1.0) * (ySteps + 1.0) <= kMaxGridPoints;
    if (!countable) {
        platform_->showMessage("排样点错误!", kCaptionWarning);
        return;
    }
    const int32_t columns = static_cast<int32_t>(xSteps) + 1;
    const int32_t rows = static_cast<int32_t>(ySteps) + 1;
    try {
        packingPoints.points.resize(static_cast<size_t>(columns) * static_cast<size_t>(rows));
    } catch (const std::bad_alloc&) {
        // The machine has no room for the grid: the same refusal as a count that overflows.
        packingPoints.points = {};
        platform_->showMessage("排样点错误!", kCaptionWarning);
        return;
    }
    packingPoints.columns = columns;
    packingPoints.rows = rows;
    for (int32_t i = 0; i < columns; ++i) {
        for (int32_t j = 0; j < rows; ++j) {
            packingPoints.at(i, j) = {Point(box.min_X + i * ppd, box.min_Y + j * ppd), false};
        }
    }
    for (const Part& part : nestParts) {
        if (part.plateId == p.id) markCoveredPoints(part);
    }
}

void NestSystem::markCoveredPoints(const Part& part)
{
    PackingPointGrid& grid = packingPoints;
    if (grid.columns <= 0 || grid.rows <= 0) return;
    // pointInPart rejects every point outside the outer contour's box, so only the
    // columns and rows within that box can change.
    const BoundingBox& box = part.outer.box;
    const int32_t firstColumn = grid.firstColumnFrom(box.min_X);
    const int32_t firstRow = grid.firstRowFrom(box.min_Y);
    for (int32_t i = firstColumn; i < grid.columns && grid.at(i, 0).pos.x <= box.max_X; ++i) {
        for (int32_t j = firstRow; j < grid.rows; ++j) {
            PackingPoint& point = grid.at(i, j);
            if (point.pos.y > box.max_Y) break;
            if (!point.occupied && pointInPart(part, point.pos)) point.occupied = true;
        }
    }
}

void NestSystem::releasePackingPoints()
{
    packingPoints.columns = 0;
    packingPoints.rows = 0;
    packingPoints.points = {};
}

}  // namespace orvo
