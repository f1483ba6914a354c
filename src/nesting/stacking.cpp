#include "nesting/stacking.h"

namespace orvo {

StackCandidate stackCandidates(NestSystem&, const Plate&, const Part&, const Part&) { return {}; }
bool stackPlace(NestSystem&, const Plate&, Part&) { return false; }
void applyPose(Part&, const Pose&) {}
bool boxStackSelected(NestSystem&, const Plate&) { return false; }

}  // namespace orvo
