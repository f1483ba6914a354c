#include "nesting/nest_system.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/number_text.h"
#include "base/platform.h"
#include "geometry/overlap.h"

namespace orvo {

NestSystem::NestSystem(Platform& platform, std::string workFolder)
    : platform_(&platform), workFolder_(std::move(workFolder)), errorReport_(workFolder_, &platform)
{
    if (errorReport_.isOpen()) errorReport_.writeTimeStamp(platform);
}

NestSystem::NestSystem(Platform& platform, NoErrorReport) : platform_(&platform) {}

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

double NestSystem::placedAreaOn(const Plate& p) const
{
    double sum = 0.0;
    for (const Part& part : nestParts) {
        if (part.plateId == p.id) sum += part.netArea;
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

namespace {

// The smallest PPD whose grid on the box holds at most maxPoints, rounded up so that the
// value as written ("%g") is accepted. The count falls as PPD grows.
double smallestPackingPointDistance(const BoundingBox& box, double maxPoints)
{
    double accepted = std::max({box.max_X - box.min_X, box.max_Y - box.min_Y, 1.0});
    double refused = 0.0;
    for (int step = 0; step < 200 && accepted - refused > accepted * 1e-9; ++step) {
        const double mid = refused + (accepted - refused) / 2.0;
        (NestSystem::gridPointCount(box, mid) <= maxPoints ? accepted : refused) = mid;
    }
    return accepted * (1.0 + 1e-5);
}

}  // namespace

bool NestSystem::setPackingPointDistance(double ppd)
{
    const BoundingBox standard{0.0, plateLength, 0.0, plateWidth};
    if (!(gridPointCount(standard, ppd) <= kMaxGridPoints)) {
        // The message names the value and the bound, so that the user knows what to type.
        std::string text = "排样点错误! PPD " + formatShortest(ppd);
        if (ppd > 0.0 && std::isfinite(ppd)) {
            text += " 过小: 标准板材 " + formatShortest(plateLength) + " x " + formatShortest(plateWidth) +
                    " 上 PPD 不能小于 " +
                    formatG(smallestPackingPointDistance(standard, kMaxGridPoints));
        } else {
            text += " 须为大于 0 的有限数值";
        }
        platform_->showMessage(text, kCaptionWarning);
        return false;
    }
    packingPointDistance = ppd;
    return true;
}

}  // namespace orvo
