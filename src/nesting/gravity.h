#pragma once

#include <cstdint>
#include <vector>

#include "nesting/nest_system.h"

namespace orvo {

class PlateParts;

// One pose that gravityPlace tries: the part turned by turn * 2pi / RN about the pivot,
// then turned over about the horizontal line through the pivot when turnedOver, with
// the image of the gravity point.
struct GravityVariant {
    Part shape;
    Point gravity;
    int32_t turn = 0;
    bool turnedOver = false;
};

// The variant table in the order of trial: V(0), V'(0), V(1), V'(1), ... (no twins
// without turnOver); empty when rn < 1.
std::vector<GravityVariant> gravityVariants(const Part& part, const Point& pivot,
                                            const Point& gravityPt, int32_t rn,
                                            bool turnOver);
// How many grid columns and rows a part of that shorter box side skips per step.
int32_t gravityStride(double shorterSide, double ppd);
// The ranking of gravity points (also of box stacking): further left by more than 0.1,
// or about as far left (within 0.1) and lower.
bool betterGravity(const Point& best, const Point& candidate);

// A part in nestParts or a copy; false leaves it unchanged. Uses the current grid,
// which must have been generated for p.
bool gravityPlace(NestSystem& ns, const Plate& p, Part& part);
// gravityPlace for a caller that keeps the plate's parts gathered (without the part) and a
// grid generated for p on which every occupied point lies inside a gathered part (then
// positions whose covered samples meet an occupied point are passed over). The pushes are
// bounded by the gathered parts and go on, left and down in turn, while the part still
// moves; on success the caller adds the part to them.
bool gravityPlaceAmongParts(NestSystem& ns, const Plate& p, Part& part, PlateParts& others);
bool placeFirstBig(NestSystem& ns, const Plate& p, Part& part);
void preRotateOversize(NestSystem& ns, const Plate& p);
bool isNewFailure(const Part& part, const PartList& failed);
bool gravityLayoutPlate(NestSystem& ns, const Plate& p);
void hapeSelected(NestSystem& ns, const Plate& p);

}  // namespace orvo
