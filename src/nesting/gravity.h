#pragma once

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "nesting/covered_samples.h"
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

// What the gravity search of a part works out from the part's pose alone, whatever the
// plate: the pivot, the stride, the box of every variant and the covered samples (of the
// first variant only when the others are its quarter turns).
struct GravityPrep {
    Point pivot;
    int32_t stride = 1;
    std::vector<GravityVariant> variants;  // the variant table about the pivot
    std::vector<BoundingBox> boxes;  // per variant, in table order; empty without variants
    std::vector<std::pair<int32_t, bool>> poses;  // per variant, its turn and whether turned over
    int32_t quarterTurns = 0;  // per step of the table, when its variants are quarter turns
    std::vector<CoveredSamples> samples;  // the first variant's, or with quarterTurns 0 each one's

    // The samples of every variant as reads of a grid column packed as bits, as the layout
    // of a plate reads them, for columns padded by readPad words (the grid's rows decide):
    // worked out with the rest, as a part is tried on plate after plate.
    struct SampleRead {
        int64_t columns;  // from the anchor's column
        int64_t word;  // first word read, from the anchor's word
        int shift;  // bits
    };
    std::vector<SampleRead> reads;  // the samples of every variant, in order
    std::vector<size_t> readStart;  // per variant, where its samples start in reads; one more at the end
    int64_t readPad = -1;  // -1: not worked out
};

// What the gravity layout of one plate after another keeps about the parts between the
// plates: a part that does not fit is tried again on later plates in the same pose. Each
// part's entry (by address) holds a copy of the vertices of its outer contour and of its
// holes, and stands only while they are the same, bit for bit.
class GravityLayoutMemo {
public:
    const GravityPrep& prep(const NestSystem& ns, const Part& part);
    // The part will not be tried again (it has been placed).
    void forget(const Part& part) { entries_.erase(&part); }

private:
    struct Entry {
        std::vector<Point> outer;
        std::vector<std::vector<Point>> holes;
        double ppd = 0.0;
        int32_t rn = 0;
        bool turnOver = false;
        GravityPrep prep;
    };
    std::unordered_map<const Part*, Entry> entries_;
};

// The same layout, bit for bit; the memo (of the plates laid out before in the same
// run) lets it tell most parts that find no room without searching for a position.
bool gravityLayoutPlate(NestSystem& ns, const Plate& p, GravityLayoutMemo& memo);
void hapeSelected(NestSystem& ns, const Plate& p);

}  // namespace orvo
