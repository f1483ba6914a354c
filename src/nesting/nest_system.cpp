#include "nesting/nest_system.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/platform.h"
#include "geometry/overlap.h"

namespace orvo {

NestSystem::NestSystem(Platform& platform, std::string workFolder)
    : platform_(&platform), workFolder_(std::move(workFolder)), errorReport_(workFolder_, &platform)
{
    if (errorReport_.isOpen()) errorReport_.writeTimeStamp(platform);
}

std::string NestSystem::outputPath(const std::string& fileName) const
{
    if (workFolder_.empty() || workFolder_ == ".") return fileName;
    if (workFolder_.back() == '/') return workFolder_ + fileName;
    return workFolder_ + "/" + fileName;
}

int32_t NestSystem::unplacedCount() const
{
    int32_t count = 0;
    for (const Part& part : nestParts) {
        if (part.plateId == -1) ++count;
    }
    return count;
}

bool NestSystem::plateIsEmpty(const Plate& p) const
{
    for (const Part& part : nestParts) {
        if (part.plateId == p.id) return false;
    }
    return true;
}

double NestSystem::plateFreeArea(const Plate& p) const
{
    double free = boxArea(p.innerBox);
    for (const Part& part : nestParts) {
        if (part.plateId == p.id) free -= part.netArea;
    }
    return free;
}

double NestSystem::packedEdge(const Plate& p) const
{
    double edge = p.outerBox.min_X;
    for (const Part& part : nestParts) {
        if (part.plateId == p.id && part.box.max_X > edge) edge = part.box.max_X;
    }
    return edge;
}

double NestSystem::placedArea() const
{
    double sum = 0.0;
    for (const Part& part : nestParts) {
        if (part.plateId != -1) sum += part.netArea;
    }
    return sum;
}

double NestSystem::totalArea() const
{
    double sum = 0.0;
    for (const Part& part : nestParts) sum += part.netArea;
    return sum;
}

bool NestSystem::fitsOnPlate(const Plate& p, const Part& part) const
{
    if (!boxInsideRect(part, p.innerBox)) return false;
    for (const Part& q : nestParts) {
        if (q.plateId == p.id && !partsDisjoint(q, part)) return false;
    }
    return true;
}

bool NestSystem::fitsOnPlateExcept(const Plate& p, const Part& part) const
{
    if (!boxInsideRect(part, p.innerBox)) return false;
    for (const Part& q : nestParts) {
        if (&q == &part || q.plateId != p.id) continue;
        if (!partsDisjoint(q, part)) return false;
    }
    return true;
}

void NestSystem::selectAllParts()
{
    for (Part& part : nestParts) part.selected = true;
}

void NestSystem::clearSelection()
{
    for (Part& part : nestParts) part.selected = false;
    for (Plate& plate : plates) plate.selected = false;
}

void NestSystem::resetLayout()
{
    for (Part& part : nestParts) {
        part.plateId = -1;
        part.translatePart(-part.box.min_X, -part.box.max_Y);
    }
}

void NestSystem::relocateSelectedParts()
{
    for (Part& part : nestParts) {
        if (!part.selected) continue;
        part.plateId = -1;
        for (const Plate& plate : plates) {
            if (boxInsideRect(part, plate.outerBox)) {
                part.plateId = plate.id;
                break;
            }
        }
    }
}

bool NestSystem::setRotationNumber(int32_t rn)
{
    if (rn > kMaxRotationNumber) {
        // The message names the bound, so that the user knows what value is accepted.
        platform_->showMessage("旋转次数错误! RN 不能大于 " + std::to_string(kMaxRotationNumber),
                               kCaptionWarning);
        return false;
    }
    rotationNumber = rn;
    return true;
}

double NestSystem::gridPointCount(const BoundingBox& box, double ppd)
{
    if (!(ppd > 0.0) || !std::isfinite(ppd)) return HUGE_VAL;
    const double columns = std::trunc(boxWidth(box) / ppd) + 1.0;
    const double rows = std::trunc(boxHeight(box) / ppd) + 1.0;
    if (!std::isfinite(columns) || !std::isfinite(rows)) return HUGE_VAL;
    return std::max(columns, 0.0) * std::max(rows, 0.0);
}

bool NestSystem::setPackingPointDistance(double ppd)
{
    const BoundingBox standard{0.0, plateLength, 0.0, plateWidth};
    if (!(gridPointCount(standard, ppd) <= kMaxGridPoints)) {
        platform_->showMessage("排样点错误!", kCaptionWarning);
        return false;
    }
    packingPointDistance = ppd;
    return true;
}

}  // namespace orvo
