#pragma once

#include "geometry/pose.h"
#include "nesting/nest_system.h"

namespace orvo {

struct StackCandidate {
    bool found = false;
    Pose pose;
    Point gravity;
};

StackCandidate stackCandidates(NestSystem& ns, const Plate& p, const Part& q, const Part& part);
bool stackPlace(NestSystem& ns, const Plate& p, Part& part);
bool boxStackSelected(NestSystem& ns, const Plate& p);

}  // namespace orvo
