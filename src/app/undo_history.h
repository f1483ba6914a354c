#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "nesting/nest_system.h"

namespace orvo {

// The layout as the user sees it: the plates, which of them is active, every nesting part
// (shape and pose, so that a restored layout is the same bit for bit, not recomputed from
// the poses) and the packing-point grid. The outlines, true shapes and settings never
// change with a layout and are not held.
struct LayoutSnapshot {
    PlateList plates;
    // Position of the active plate in plates; -1 when none is active.
    int32_t activePlate = -1;
    PartList nestParts;
    // The grid is only a cache of the last per-plate method (each method makes its own),
    // so a very large one is dropped rather than copied into every undo step.
    PackingPointGrid packingPoints;
    bool gridDropped = false;
};

// Grids of more points are not kept in a snapshot; restoring one leaves the grid empty.
inline constexpr size_t kMaxSnapshotGridPoints = size_t(1) << 20;

LayoutSnapshot takeSnapshot(const NestSystem& ns);
// Puts the plates, the active plate, the parts and the grid of the snapshot back. A part
// copy reverses its holes, so a snapshot taken and restored by copy (one copy each way)
// gives back the very parts it was taken from.
void restoreSnapshot(NestSystem& ns, const LayoutSnapshot& snapshot);
// True when the system holds the snapshot's layout: the same plates (ids and boxes), the
// same active plate, every part with the same pose and plate. Selections do not count.
bool samePlacements(const LayoutSnapshot& snapshot, const NestSystem& ns);

// Whether a change edits the layout in place (by hand or a per-plate method) or replaces
// it as a whole (Layout All, an imported file).
enum class ChangeKind { Edit, Replace };

// Undo and redo of the layout, and whether the layout has been saved. A change is
// bracketed by begin (before anything moves) and commit (once the change, which may span
// many mouse moves, is complete); a bracket that changed nothing leaves no undo step.
class UndoHistory {
public:
    explicit UndoHistory(size_t limit = 100) : limit_(limit) {}

    // Remembers the layout before a change; a change already begun keeps its start.
    void begin(const NestSystem& ns);
    bool changeBegun() const { return pending_.has_value(); }
    // Ends the change begun; true when the layout changed, which then becomes one undo
    // step and clears the redo steps.
    bool commit(const NestSystem& ns, ChangeKind kind);
    // Ends the change begun by putting the layout back as it was before it.
    void abandon(NestSystem& ns);

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // Each returns false, changing nothing, when there is no step.
    bool undo(NestSystem& ns);
    bool redo(NestSystem& ns);
    // Forgets every step; the layout now in the system counts as saved (a library just
    // opened holds no work yet).
    void clear();

    // The layout differs from the one last saved (or opened).
    bool modified() const { return current_.id != savedId_; }
    // The layout has been edited in place since it was last saved or replaced as a whole:
    // replacing it again would lose that work.
    bool editedByHand() const { return current_.edited; }
    void markSaved();
    size_t undoSteps() const { return undo_.size(); }

private:
    // Which layout a snapshot holds: a number per layout state, and whether that state
    // holds edits made since the last save or replacement.
    struct State {
        uint64_t id = 0;
        bool edited = false;
    };
    struct Step {
        LayoutSnapshot layout;
        State state;
    };
    void swapWith(std::vector<Step>& from, std::vector<Step>& to, NestSystem& ns);

    size_t limit_;
    std::vector<Step> undo_;
    std::vector<Step> redo_;
    std::optional<LayoutSnapshot> pending_;
    State current_;
    uint64_t savedId_ = 0;
    uint64_t lastId_ = 0;
};

}  // namespace orvo
