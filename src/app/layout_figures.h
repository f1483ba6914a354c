#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geometry/point.h"
#include "geometry/pose.h"
#include "nesting/nest_system.h"

namespace orvo {

// What the window shows of a plate beside its drawing: its id, how many parts lie on it
// and how much of it they cover. The area is the net area of the parts' true shapes;
// utilisation is that area over the area of the plate's outer box, in percent (0 for a
// plate of no area).
struct PlateFigures {
    int32_t plateId = 0;
    int partCount = 0;
    double partArea = 0.0;
    double utilisation = 0.0;
};

// One entry per plate, in plates order.
std::vector<PlateFigures> plateFigures(const NestSystem& ns);
// The figures of the active plate; nullopt-like: partCount -1 when there is none.
PlateFigures activePlateFigures(const NestSystem& ns);

// The selection as the status line tells it: how many parts and plates are selected,
// the names of the selected parts (label texts as the library holds them, UTF-8 or GBK,
// in UTF-8; in nestParts order, at most maxNames of them), and the box of the part when exactly one is selected.
struct SelectionFigures {
    int partCount = 0;
    int plateCount = 0;
    std::vector<std::string> names;
    bool singleBoxKnown = false;
    double singleLength = 0.0;  // box extent along x of the single selected part
    double singleWidth = 0.0;   // along y
};
SelectionFigures selectionFigures(const NestSystem& ns, size_t maxNames = 5);

// Keeps, while the user edits, which parts of nestParts stand where no layout method
// would put them: outside their plate's inner box (or on a plate that does not exist),
// or colliding with another part of their plate. The tests are those of the layout
// methods (boxInsideRect, partsDisjoint on the offset parts). update() compares every
// part and plate with the state of the last call and tests only the parts that moved,
// each against the parts of its plate (boxes first): one dragged part on a plate of 800
// costs 800 box comparisons, not 800 squared collision tests.
class ConflictTracker {
public:
    // Brings the marks up to date; true when any mark changed.
    bool update(const NestSystem& ns);
    // Forgets everything; the next update tests every part.
    void reset();

    // Marks by position in nestParts, as of the last update.
    bool conflicted(size_t index) const { return index < flags_.size() && flags_[index] != 0; }
    const std::vector<char>& flags() const { return flags_; }
    int conflictCount() const;

private:
    struct PartState {
        int32_t partId = 0;
        int32_t plateId = -1;
        Pose pose;
        BoundingBox box;
    };
    struct PlateState {
        int32_t id = 0;
        BoundingBox innerBox;
    };

    void rebuild(const NestSystem& ns);

    std::vector<PartState> parts_;
    std::vector<PlateState> plates_;
    std::vector<char> offPlate_;
    // For each part, the positions of the parts it collides with.
    std::vector<std::vector<uint32_t>> partners_;
    std::vector<char> flags_;
};

}  // namespace orvo
