#pragma once

#include "nesting/nest_system.h"

namespace orvo {

// A part in nestParts or a copy; false leaves it unchanged. Uses the current grid,
// which must have been generated for p.
bool gravityPlace(NestSystem& ns, const Plate& p, Part& part);
bool placeFirstBig(NestSystem& ns, const Plate& p, Part& part);
void preRotateOversize(NestSystem& ns, const Plate& p);
bool isNewFailure(const Part& part, const PartList& failed);
bool gravityLayoutPlate(NestSystem& ns, const Plate& p);
// Both Layout All buttons: clears the plates and lays out every part on new plates.
void layoutAll(NestSystem& ns, LayoutMethod method);
void hapeSelected(NestSystem& ns, const Plate& p);

}  // namespace orvo
