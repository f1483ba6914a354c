#include "nesting/push.h"

namespace orvo {

void pushUntilContact(Part&, Direction, double, const std::function<bool(const Part&)>&) {}
void pushOnPlate(NestSystem&, Part&, const Plate&, Direction) {}
void pushAgainst(NestSystem&, Part&, const Part&, Direction) {}
void pushSelected(NestSystem&, Direction) {}

}  // namespace orvo
