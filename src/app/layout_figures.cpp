#include "app/layout_figures.h"

#include <algorithm>
#include <unordered_map>

#include "base/text_encoding.h"
#include "geometry/overlap.h"

namespace orvo {

namespace {

// Net areas of the true shapes by part id; a part without a true shape counts with
// its own (offset) area, which only an inconsistent document has.
double trueArea(const std::unordered_map<int32_t, double>& areas, const Part& part)
{
    const auto it = areas.find(part.partId);
    return it == areas.end() ? part.netArea : it->second;
}

std::unordered_map<int32_t, double> trueAreas(const NestSystem& ns)
{
    std::unordered_map<int32_t, double> areas;
    for (const Part& shape : ns.trueShapes) areas.emplace(shape.partId, shape.netArea);
    return areas;
}

double utilisationOf(double area, const BoundingBox& outer)
{
    const double plateArea = boxWidth(outer) * boxHeight(outer);
    return plateArea > 0.0 ? area / plateArea * 100.0 : 0.0;
}

}  // namespace

std::vector<PlateFigures> plateFigures(const NestSystem& ns)
{
    std::vector<PlateFigures> figures;
    std::unordered_map<int32_t, size_t> byId;
    for (const Plate& plate : ns.plates) {
        byId.emplace(plate.id, figures.size());
        figures.push_back(PlateFigures{plate.id, 0, 0.0, 0.0});
    }
    const auto areas = trueAreas(ns);
    for (const Part& part : ns.nestParts) {
        const auto it = byId.find(part.plateId);
        if (it == byId.end()) continue;
        ++figures[it->second].partCount;
        figures[it->second].partArea += trueArea(areas, part);
    }
    size_t i = 0;
    for (const Plate& plate : ns.plates) {
        PlateFigures& f = figures[i++];
        f.utilisation = utilisationOf(f.partArea, plate.outerBox);
    }
    return figures;
}

PlateFigures activePlateFigures(const NestSystem& ns)
{
    PlateFigures f;
    f.partCount = -1;
    if (ns.activePlate == nullptr) return f;
    f.plateId = ns.activePlate->id;
    f.partCount = 0;
    const auto areas = trueAreas(ns);
    for (const Part& part : ns.nestParts) {
        if (part.plateId != f.plateId) continue;
        ++f.partCount;
        f.partArea += trueArea(areas, part);
    }
    f.utilisation = utilisationOf(f.partArea, ns.activePlate->outerBox);
    return f;
}

SelectionFigures selectionFigures(const NestSystem& ns, size_t maxNames)
{
    SelectionFigures s;
    const Part* single = nullptr;
    for (const Part& part : ns.nestParts) {
        if (!part.selected) continue;
        ++s.partCount;
        single = &part;
        if (s.names.size() < maxNames) s.names.push_back(gbkToUtf8(part.label.text));
    }
    for (const Plate& plate : ns.plates) s.plateCount += plate.selected;
    if (s.partCount == 1) {
        // The true shape's box in the part's pose: what the user cuts, not the offset.
        Part shown = *single;
        if (const Part* shape = ns.findTrueShape(single->partId)) {
            shown = *shape;
            applyPose(shown, single->pose);
        }
        const BoundingBox b = shown.updateBox();
        s.singleBoxKnown = true;
        s.singleLength = boxWidth(b);
        s.singleWidth = boxHeight(b);
    }
    return s;
}

void ConflictTracker::reset()
{
    parts_.clear();
    plates_.clear();
    offPlate_.clear();
    partners_.clear();
    flags_.clear();
}

int ConflictTracker::conflictCount() const
{
    return static_cast<int>(std::count(flags_.begin(), flags_.end(), char(1)));
}

bool ConflictTracker::update(const NestSystem& ns)
{
    const size_t n = ns.nestParts.size();
    std::vector<const Part*> parts;
    parts.reserve(n);
    for (const Part& part : ns.nestParts) parts.push_back(&part);

    // A changed list of parts or plates (a new library, an imported layout, an added
    // plate) is taken as a move of everything.
    bool everything = parts_.size() != n || plates_.size() != ns.plates.size();
    std::vector<int32_t> changedPlates;
    if (!everything) {
        size_t k = 0;
        for (const Plate& plate : ns.plates) {
            const PlateState& old = plates_[k++];
            if (old.id != plate.id) {
                everything = true;
                break;
            }
            if (!sameBox(old.innerBox, plate.innerBox)) changedPlates.push_back(plate.id);
        }
    }
    if (everything) {
        parts_.assign(n, PartState{});
        offPlate_.assign(n, 0);
        partners_.assign(n, {});
        flags_.assign(n, 0);
    }

    std::vector<char> moved(n, 0);
    bool anyMoved = false;
    for (size_t i = 0; i < n; ++i) {
        const Part& p = *parts[i];
        const PartState& old = parts_[i];
        if (everything || old.partId != p.partId || old.plateId != p.plateId ||
            !samePose(old.pose, p.pose) || !sameBox(old.box, p.box)) {
            moved[i] = 1;
            anyMoved = true;
        }
    }
    if (!anyMoved && changedPlates.empty()) return false;

    std::unordered_map<int32_t, const Plate*> plateById;
    for (const Plate& plate : ns.plates) plateById.emplace(plate.id, &plate);
    std::unordered_map<int32_t, std::vector<uint32_t>> onPlate;
    for (size_t i = 0; i < n; ++i) {
        if (parts[i]->plateId >= 0) onPlate[parts[i]->plateId].push_back(static_cast<uint32_t>(i));
    }

    // The moved parts leave their old pairs.
    for (size_t i = 0; i < n; ++i) {
        if (!moved[i]) continue;
        for (uint32_t j : partners_[i]) {
            auto& back = partners_[j];
            back.erase(std::remove(back.begin(), back.end(), static_cast<uint32_t>(i)), back.end());
        }
        partners_[i].clear();
    }

    const auto testOffPlate = [&](size_t i) {
        const Part& p = *parts[i];
        if (p.plateId < 0) {
            offPlate_[i] = 0;  // waiting beside the plates, as every part starts
            return;
        }
        const auto it = plateById.find(p.plateId);
        offPlate_[i] = it == plateById.end() || !boxInsideRect(p, it->second->innerBox);
    };

    for (size_t i = 0; i < n; ++i) {
        if (!moved[i]) continue;
        testOffPlate(i);
        const Part& p = *parts[i];
        if (p.plateId < 0) continue;
        for (uint32_t j : onPlate[p.plateId]) {
            // A pair of two moved parts is tested once, from the lower position.
            if (j == i || (moved[j] && j < i)) continue;
            const Part& q = *parts[j];
            if (outerBoxesApart(p.box, q.box) || partsDisjoint(p, q)) continue;
            partners_[i].push_back(j);
            partners_[j].push_back(static_cast<uint32_t>(i));
        }
    }
    for (int32_t id : changedPlates) {
        for (uint32_t j : onPlate[id]) testOffPlate(j);
    }

    bool changed = false;
    for (size_t i = 0; i < n; ++i) {
        const Part& p = *parts[i];
        parts_[i] = PartState{p.partId, p.plateId, p.pose, p.box};
        const char flag = offPlate_[i] || !partners_[i].empty();
        changed = changed || flag != flags_[i];
        flags_[i] = flag;
    }
    plates_.clear();
    for (const Plate& plate : ns.plates) plates_.push_back(PlateState{plate.id, plate.innerBox});
    return changed || everything;
}

}  // namespace orvo
