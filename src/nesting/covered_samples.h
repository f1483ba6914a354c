#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/part.h"
#include "nesting/nest_system.h"

namespace orvo {

// A few grid points that a part, with a given vertex on a packing point, would cover deep
// inside its material (at least kSampleDepth from every edge, outside every hole). When
// one of them is an occupied point, that is, a point inside a part already on the plate,
// the two parts overlap by far more than the tolerances of the box and shape tests, so
// the fit test would fail: the search can pass over that position without running it.
// Only sound while every occupied point lies inside a part on the plate that the fit
// test sees, as in the layout of a plate, where placed parts never move again.
class CoveredSamples {
public:
    // The part in the pose it would take with `anchor` on a packing point, the distance
    // of the grid's points (the grid must have been generated with it).
    // triesPerSide grid steps are tried along each side of the part's box, and at most
    // maxSamples of the points found are kept, each the farthest from those before it.
    CoveredSamples(const Part& part, const Point& anchor, double ppd, int64_t triesPerSide = 8,
                   size_t maxSamples = 16);
    CoveredSamples() = default;

    // The samples of the part turned by quarterTurns quarter turns about the anchor, then
    // turned over about the horizontal line through it: grid steps map onto grid steps.
    CoveredSamples turned(int32_t quarterTurns, bool turnedOver) const;

    // Grid steps from the anchor's packing point to a sample.
    struct Offset {
        int64_t columns;
        int64_t rows;
    };
    const std::vector<Offset>& offsets() const { return offsets_; }
    // One offset as turned() turns it.
    static Offset turnedOffset(Offset o, int32_t quarterTurns, bool turnedOver);

private:
    std::vector<Offset> offsets_;
};

// Far above the 1e-4 of the box tests and the rounding between a packing point and the
// anchor shifted by whole grid steps.
inline constexpr double kSampleDepth = 0.01;

}  // namespace orvo
