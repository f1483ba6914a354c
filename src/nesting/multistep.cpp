#include "nesting/multistep.h"

namespace orvo {

bool multiStepLayoutPlate(NestSystem&, const Plate&) { return false; }
bool multiStepSelected(NestSystem&, const Plate&) { return false; }

}  // namespace orvo
