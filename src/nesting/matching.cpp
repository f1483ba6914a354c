#include "nesting/matching.h"

namespace orvo {

bool sharesDimension(const Part&, const Part&) { return false; }
bool matchesPlacedPart(const NestSystem&, const Plate&, const Part&) { return false; }
bool matchesUnplacedPart(const NestSystem&, const Part&) { return false; }
double unionBoxArea(const Part&, const Part&) { return 0.0; }
MatchCandidate matchPlace(NestSystem&, double, const Plate&, const Part&, const Part&)
{
    return {};
}
bool shapeMatchPlace(NestSystem&, const Plate&, Part&, double) { return false; }
bool matchOrStack(NestSystem&, const Plate&, Part&, double) { return false; }
bool matchOrStackStrict(NestSystem&, const Plate&, Part&, double) { return false; }
bool shapeMatchSelected(NestSystem&, const Plate&) { return false; }

}  // namespace orvo
