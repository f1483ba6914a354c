#pragma once

#include <functional>

#include "geometry/contour.h"
#include "nesting/nest_system.h"

namespace orvo {

enum class Direction { Left, Right, Down, Up };

// Moves the part in the direction with halving steps while the test holds; it ends
// within 0.01 mm of contact, or where it started when it collides there.
void pushUntilContact(Part& part, Direction direction, double ppd,
                      const std::function<bool(const Part&)>& test);
// Bounded by the plate's inner box and the other parts on the plate.
void pushOnPlate(NestSystem& ns, Part& part, const Plate& p, Direction direction);
// Bounded by the neighbour q only.
void pushAgainst(NestSystem& ns, Part& part, const Part& q, Direction direction);
// Every selected part that lies on an existing plate.
void pushSelected(NestSystem& ns, Direction direction);

}  // namespace orvo
