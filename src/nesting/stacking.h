#pragma once

#include "geometry/pose.h"
#include "nesting/nest_system.h"

namespace orvo {

class PlateParts;

// The best pose found for a part, with the copy of the part that passed the fit test there.
struct StackCandidate {
    bool found = false;
    Pose pose;
    Point gravity;
    Part tested;
};

StackCandidate stackCandidates(NestSystem& ns, const Plate& p, const Part& q, const Part& part);
bool stackPlace(NestSystem& ns, const Plate& p, Part& part);
// Puts the part on plate p at the pose a search found (others: the plate's parts, which
// stayed put). The pose is applied afresh, as every placement carries a part; when the
// rounding of that transform, which differs from the tested copy's, makes the part fail
// the fit test (it can land on a neighbour it was set into contact with), the tested copy
// takes its place instead.
void placeAsTested(NestSystem& ns, const Plate& p, PlateParts& others, Part& part,
                   const Pose& pose, Part&& tested);
bool boxStackSelected(NestSystem& ns, const Plate& p);

}  // namespace orvo
