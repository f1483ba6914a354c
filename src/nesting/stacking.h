#pragma once

#include "nesting/nest_system.h"

namespace orvo {

// The final state of a part: basePt, rotationAngle and mirrored carry it completely.
struct Pose {
    bool mirrored = false;
    Point basePt;
    double rotationAngle = 0.0;
};

struct StackCandidate {
    bool found = false;
    Pose pose;
    Point gravity;
};

StackCandidate stackCandidates(NestSystem& ns, const Plate& p, const Part& q, const Part& part);
bool stackPlace(NestSystem& ns, const Plate& p, Part& part);
void applyPose(Part& part, const Pose& pose);
bool boxStackSelected(NestSystem& ns, const Plate& p);

}  // namespace orvo
