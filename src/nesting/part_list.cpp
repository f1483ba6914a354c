#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <utility>
#include <vector>

#include "geometry/offset.h"
#include "library/assembly.h"
#include "nesting/nest_system.h"

namespace orvo {

namespace {

// The order of the original procedure, a selection sort from the back: the smallest part in
// front of cur moves directly behind cur. Quadratic; kept for lists holding a NaN area,
// which compares with nothing and so has no order but the one these exact moves give.
void selectionSortByArea(PartList& parts)
{
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

}  // namespace

// Decreasing netArea, equal areas in the order the selection sort above leaves them, in
// O(n log n). The selection sort takes the parts of one area a once every larger part is
// settled, from the parts still in front of cur: first those that stand behind the last
// larger part (each becomes cur in turn, so they keep their order), then the others, each
// found first and put right behind cur, so they end up in reverse order in front of the
// first group.
void sortByArea(PartList& parts)
{
    if (parts.size() < 2) return;
    std::vector<std::pair<PartList::iterator, size_t>> items;  // a part and its position
    items.reserve(parts.size());
    size_t position = 0;
    for (auto it = parts.begin(); it != parts.end(); ++it) {
        if (std::isnan(it->netArea)) {
            selectionSortByArea(parts);
            return;
        }
        items.emplace_back(it, position++);
    }
    std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
        return a.first->netArea > b.first->netArea;
    });
    size_t lastLarger = 0;  // one past the position of the last part of a larger area
    for (size_t begin = 0; begin < items.size();) {
        size_t end = begin;
        size_t lastHere = 0;
        while (end < items.size() && !(items[end].first->netArea < items[begin].first->netArea)) {
            lastHere = std::max(lastHere, items[end].second + 1);
            ++end;
        }
        // Within the run the positions rise: the parts in front of the last larger part
        // come first, reversed.
        size_t inFront = begin;
        while (inFront < end && items[inFront].second < lastLarger) ++inFront;
        std::reverse(items.begin() + static_cast<std::ptrdiff_t>(begin),
                     items.begin() + static_cast<std::ptrdiff_t>(inFront));
        lastLarger = std::max(lastLarger, lastHere);
        begin = end;
    }
    for (const auto& item : items) parts.splice(parts.end(), parts, item.first);
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
