#pragma once

#include "nesting/nest_system.h"
#include "nesting/stacking.h"

namespace orvo {

// The best pose found for a part, with the copy of the part that passed the fit test there.
struct MatchCandidate {
    bool ok = false;
    Pose pose;
    double score = -1e20;
    Point gravity;
    Part tested;
};

bool sharesDimension(const Part& a, const Part& b);
bool matchesPlacedPart(const NestSystem& ns, const Plate& p, const Part& part);
bool matchesUnplacedPart(const NestSystem& ns, const Part& part);
double unionBoxArea(const Part& a, const Part& b);
MatchCandidate matchPlace(NestSystem& ns, double tol, const Plate& p, const Part& q,
                          const Part& part);
bool shapeMatchPlace(NestSystem& ns, const Plate& p, Part& part, double tol);
bool matchOrStack(NestSystem& ns, const Plate& p, Part& part, double tol);
bool matchOrStackStrict(NestSystem& ns, const Plate& p, Part& part, double tol);
bool shapeMatchSelected(NestSystem& ns, const Plate& p);

}  // namespace orvo
