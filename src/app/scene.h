#pragma once

#include <functional>

#include "geometry/contour.h"
#include "geometry/part.h"
#include "nesting/nest_system.h"

namespace orvo {

// The true shape of a part carried to the pose of its nesting part (applyPose); it takes
// the nesting part's selection and plate, so that it is drawn with that part's pen.
Part placedTrueShape(const Part& trueShape, const Part& nestPart);

// Calls draw for every nesting part with its true shape in its placement, in nestParts
// order. A nesting part whose partId has no true shape is given as it is.
void forEachPlacedShape(const NestSystem& ns,
                        const std::function<void(const Part& shape, const Part& nestPart)>& draw);

}  // namespace orvo
