#include "nesting/nest_system.h"

#include "app/platform.h"

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

int32_t NestSystem::unplacedCount() const { return 0; }
bool NestSystem::plateIsEmpty(const Plate&) const { return true; }
double NestSystem::plateFreeArea(const Plate&) const { return 0.0; }
double NestSystem::packedEdge(const Plate& p) const { return p.outerBox.min_X; }
double NestSystem::placedArea() const { return 0.0; }
double NestSystem::totalArea() const { return 0.0; }
bool NestSystem::fitsOnPlate(const Plate&, const Part&) const { return false; }
bool NestSystem::fitsOnPlateExcept(const Plate&, const Part&) const { return false; }
void NestSystem::selectAllParts() {}
void NestSystem::clearSelection() {}
void NestSystem::resetLayout() {}
void NestSystem::relocateSelectedParts() {}
bool NestSystem::setRotationNumber(int32_t rn)
{
    rotationNumber = rn;
    return true;
}
bool NestSystem::setPackingPointDistance(double ppd)
{
    packingPointDistance = ppd;
    return true;
}

}  // namespace orvo
