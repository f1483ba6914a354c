#include "nesting/gravity.h"

namespace orvo {

bool gravityPlace(NestSystem&, const Plate&, Part&) { return false; }
bool placeFirstBig(NestSystem&, const Plate&, Part&) { return false; }
void preRotateOversize(NestSystem&, const Plate&) {}
bool isNewFailure(const Part&, const PartList&) { return true; }
bool gravityLayoutPlate(NestSystem&, const Plate&) { return false; }
void layoutAll(NestSystem&, LayoutMethod) {}
void hapeSelected(NestSystem&, const Plate&) {}

}  // namespace orvo
