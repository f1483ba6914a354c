#pragma once

#include <functional>

#include "geometry/contour.h"
#include "geometry/part.h"
#include "nesting/nest_system.h"

namespace orvo {

class PlateParts;

enum class Direction { Left, Right, Down, Up };

// Steps below this length end a push; a first step shorter than this (a tiny PPD, a
// part with a zero-width box, PPD <= 0) is raised to it, so that every push advances
// and ends.
inline constexpr double kPushMinStep = 0.01;

// Moves the part in the direction with halving steps while the test holds; it ends
// within 0.01 mm of contact, or where it started when it collides there. The first step
// is min(PPD, a quarter of the shorter box side), at least kPushMinStep; the test must
// fail somewhere along the way (both callers below guarantee it).
void pushUntilContact(Part& part, Direction direction, double ppd,
                      const std::function<bool(const Part&)>& test);
// Bounded by the plate's inner box (the part must stay inside it) and the other parts
// on the plate.
void pushOnPlate(NestSystem& ns, Part& part, const Plate& p, Direction direction);
// The same with the other parts on the plate gathered by the caller (without the part).
void pushOnPlate(NestSystem& ns, Part& part, Direction direction, PlateParts& others);
// Bounded by the neighbour q only. When the part cannot meet q (q does not lie across
// its path, or the part slips past q without touching it), it is left where it started:
// the travel ends once the part's box has passed q's box in the direction of travel.
void pushAgainst(NestSystem& ns, Part& part, const Part& q, Direction direction);
// Every selected part that lies on an existing plate.
void pushSelected(NestSystem& ns, Direction direction);

}  // namespace orvo
