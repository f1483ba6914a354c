#pragma once

#include <cstdint>

#include "nesting/nest_system.h"

namespace orvo {

bool multiStepLayoutPlate(NestSystem& ns, const Plate& p);
bool multiStepSelected(NestSystem& ns, const Plate& p);

// The size and shape condition of pass 1 to 5 of the multi-step layout, on the area of
// the outer contour; the free area and earlier failures are checked by the pass itself.
bool multiStepPassTakes(const NestSystem& ns, const Part& part, int32_t pass);
// The last pass gives small, nearly square parts to the gravity placement.
bool isSmallSquarePart(const NestSystem& ns, const Part& part);

}  // namespace orvo
