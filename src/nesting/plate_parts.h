#pragma once

#include <cstddef>
#include <vector>

#include "geometry/overlap.h"
#include "nesting/nest_system.h"

namespace orvo {

// The parts on one plate, gathered for a run of fit tests during which none of them
// moves or changes plate (one gravity search, one push), so that each test visits only
// them instead of all of nestParts. It lives no longer than that run: a plate change by
// hand, by an import or by a layout can never find a stale copy.
class PlateParts {
public:
    // The parts of nestParts with plateId p.id, in list order, except the one at
    // `except` (fitsOnPlateExcept's skipping of the tested part itself).
    PlateParts(const NestSystem& ns, const Plate& p, const Part* except = nullptr);

    // A part that has just been put on the plate and stays put while this gathering lives
    // (a layout of one plate keeps one gathering for all its searches and pushes, instead
    // of walking all of nestParts for each of them).
    void add(const Part& q);

    // fitsOnPlate(p, *part.part) (fitsOnPlateExcept with an exception) for the part as
    // the prepared form sees it (with its shift): the same answer.
    bool fits(PreparedPart& part);
    // The same for a part tested once (a candidate copy), prepared in a scratch.
    bool fits(const Part& part);
    // The second half of fits: disjoint from every gathered part (the plate's inner box
    // is the caller's to test).
    bool clearOfParts(PreparedPart& part);

private:
    struct Neighbour {
        const Part* part = nullptr;
        PreparedPart prepared;  // built the first time a tested part's box reaches it
        bool ready = false;
    };

    const Plate& plate_;
    std::vector<BoundingBox> boxes_;  // the outer boxes, side by side for the box rejection
    std::vector<Neighbour> neighbours_;
    size_t lastCollision_ = 0;
    PreparedPart scratch_;
};

}  // namespace orvo
