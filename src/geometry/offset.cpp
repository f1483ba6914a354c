#include "geometry/offset.h"

namespace orvo {

void offsetContour(Contour&, double) {}
void offsetPart(Part&, double) {}

}  // namespace orvo
