#include "nesting/nest_system.h"

namespace orvo {

Plate NestSystem::createPlate(int32_t id, double, double)
{
    Plate plate;
    plate.id = id;
    return plate;
}
Plate& NestSystem::addPlate(double length, double width)
{
    plates.push_back(createPlate(0, length, width));
    activePlate = &plates.back();
    return plates.back();
}
void NestSystem::resizeSelectedPlates(double, double) {}
void NestSystem::activateFirstSelectedPlate() {}
BoundingBox NestSystem::platesBox() const { return {}; }
Plate* NestSystem::findPlate(int32_t) { return nullptr; }
const Plate* NestSystem::findPlate(int32_t) const { return nullptr; }
Plate* NestSystem::firstSelectedPlate() { return nullptr; }
void NestSystem::removePlate(const Plate*) {}

}  // namespace orvo
