#pragma once

#include "nesting/nest_system.h"

namespace orvo {

bool multiStepLayoutPlate(NestSystem& ns, const Plate& p);
bool multiStepSelected(NestSystem& ns, const Plate& p);

}  // namespace orvo
