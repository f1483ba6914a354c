#include "nesting/nest_system.h"

namespace orvo {

void NestSystem::generatePackingPoints(const Plate&) {}
void NestSystem::markCoveredPoints(const Part&) {}
void NestSystem::releasePackingPoints()
{
    packingPoints = PackingPointGrid{};
}

}  // namespace orvo
