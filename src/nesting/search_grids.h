#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "nesting/nest_system.h"

namespace orvo {

// The packing-point grids of a search's plates, kept up to date across its steps instead of
// made afresh after every change. Each grid covers its plate's whole outer box; a plate cut
// shorter uses the first columns of it, which are the points a grid made for the cut box
// would hold (the same left edge and spacing). After parts leave a plate or join it other
// than by a placement that marks its points, the caller names the boxes they covered
// (markLeft, markJoined) and repair() looks at the points in them again against the parts
// that are on the plate now: the grid then equals the one generatePackingPoints makes,
// point for point.
class SearchGrids {
public:
    // Forgets every grid.
    void clear() { grids_.clear(); }
    // Keeps the grids of the plates in ns.plates (by id) and forgets the others.
    void keepPlatesOf(const NestSystem& ns);
    // A part with that outer box has left the plate with that id (its occupied points there
    // may be free now), or has joined it without marking its points. Ignored for a plate
    // without a grid yet (it will be made afresh).
    void markLeft(int32_t plateId, const BoundingBox& box);
    void markJoined(int32_t plateId, const BoundingBox& box);
    // Marks the dirty boxes of every plate again from the parts now on it.
    void repair(const NestSystem& ns);

    // Puts the grid of p (made on first use) into ns.packingPoints, limited to the columns
    // of a grid made for `box` (p's outer box or a shorter one with the same left edge);
    // give it back with giveBack before another lend. False when ns cannot make a grid for p.
    bool lend(NestSystem& ns, const Plate& p, const BoundingBox& box);
    void giveBack(NestSystem& ns);

    // The grid of the plate with that id; nullptr when none has been made.
    const PackingPointGrid* grid(int32_t plateId) const;

private:
    struct Entry {
        int32_t plateId = -1;
        PackingPointGrid points;
        int32_t fullColumns = 0;
        std::vector<BoundingBox> left;
        std::vector<BoundingBox> joined;
    };
    Entry* find(int32_t plateId);
    void repair(const NestSystem& ns, Entry& e);

    std::vector<Entry> grids_;
    Entry* lent_ = nullptr;
};

}  // namespace orvo
