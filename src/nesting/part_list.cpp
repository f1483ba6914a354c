#include <iterator>

#include "geometry/offset.h"
#include "library/assembly.h"
#include "nesting/nest_system.h"

namespace orvo {

// A selection sort from the back: the smallest part in front of cur moves directly
// behind cur. Its exact moves fix the order of equal areas, which the layouts inherit.
void sortByArea(PartList& parts)
{
    if (parts.size() < 2) return;
    auto cur = std::prev(parts.end());
    while (true) {
        auto candidate = cur;
        for (auto it = parts.begin(); it != cur; ++it) {
            if (it->netArea < candidate->netArea) candidate = it;
        }
        if (candidate != cur) {
            parts.splice(std::next(cur), parts, candidate);
            continue;
        }
        if (cur == parts.begin()) return;
        --cur;
    }
}

const Part* NestSystem::findTrueShape(int32_t partId) const
{
    for (const Part& shape : trueShapes) {
        if (shape.partId == partId) return &shape;
    }
    return nullptr;
}

void NestSystem::prepareNestParts()
{
    const double w = plateWidth;
    matchTolerance = 0.1;
    hugeArea = (w / 3.0) * (w / 3.0);
    hugeFill = 0.95;
    bigArea = (w * 0.25) * (w * 0.25);
    squareFill = 0.9;
    mediumArea = (w / 6.0) * (w / 6.0);
    smallArea = (w / 12.0) * (w / 12.0);
    platesPerColumn = 5;
    plateSpacing = plateLength / 20.0;

    dropBadOutlines(outlines, errorReport_);
    nestParts.clear();
    for (const PartOutline& outline : outlines) nestParts.push_back(outline.toPart());
    trueShapes = nestParts;

    for (Part& part : nestParts) part.orientMinBox();
    sortByArea(nestParts);
    if (partGap != 0.0) {
        for (Part& part : nestParts) offsetPart(part, partGap / 2.0);
    }
    for (Part& part : nestParts) part.translatePart(-part.box.min_X, -part.box.max_Y);
    // Through the setter, so that a plate width of 0 (or one giving an absurd grid) is
    // refused with its message and PPD keeps its value.
    setPackingPointDistance(w / 100.0);
}

}  // namespace orvo
