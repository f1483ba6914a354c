#include "nesting/nest_system.h"

namespace orvo {

void sortByArea(PartList&) {}
void NestSystem::prepareNestParts() {}

}  // namespace orvo
