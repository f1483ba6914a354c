#include "app/undo_history.h"

#include <iterator>
#include <utility>

namespace orvo {

namespace {

int32_t activePlatePosition(const NestSystem& ns)
{
    int32_t i = 0;
    for (const Plate& plate : ns.plates) {
        if (&plate == ns.activePlate) return i;
        ++i;
    }
    return -1;
}

bool samePlacement(const Part& a, const Part& b)
{
    return a.partId == b.partId && a.plateId == b.plateId && samePose(a.pose, b.pose);
}

}  // namespace

LayoutSnapshot takeSnapshot(const NestSystem& ns)
{
    LayoutSnapshot s;
    s.plates = ns.plates;
    s.activePlate = activePlatePosition(ns);
    s.nestParts = ns.nestParts;
    if (ns.packingPoints.points.size() <= kMaxSnapshotGridPoints) {
        s.packingPoints = ns.packingPoints;
    } else {
        s.gridDropped = true;
    }
    return s;
}

void restoreSnapshot(NestSystem& ns, const LayoutSnapshot& snapshot)
{
    ns.plates = snapshot.plates;
    ns.activePlate = snapshot.activePlate < 0
                         ? nullptr
                         : &*std::next(ns.plates.begin(), snapshot.activePlate);
    ns.nestParts = snapshot.nestParts;
    if (snapshot.gridDropped) {
        ns.releasePackingPoints();
    } else {
        ns.packingPoints = snapshot.packingPoints;
    }
}

bool samePlacements(const LayoutSnapshot& snapshot, const NestSystem& ns)
{
    if (snapshot.plates.size() != ns.plates.size() ||
        snapshot.nestParts.size() != ns.nestParts.size() ||
        snapshot.activePlate != activePlatePosition(ns)) {
        return false;
    }
    for (auto a = snapshot.plates.begin(), b = ns.plates.begin(); a != snapshot.plates.end(); ++a, ++b) {
        if (a->id != b->id || !sameBox(a->outerBox, b->outerBox) || !sameBox(a->innerBox, b->innerBox)) {
            return false;
        }
    }
    for (auto a = snapshot.nestParts.begin(), b = ns.nestParts.begin(); a != snapshot.nestParts.end();
         ++a, ++b) {
        if (!samePlacement(*a, *b)) return false;
    }
    return true;
}

void UndoHistory::begin(const NestSystem& ns)
{
    if (!pending_) pending_ = takeSnapshot(ns);
}

bool UndoHistory::commit(const NestSystem& ns, ChangeKind kind)
{
    if (!pending_) return false;
    LayoutSnapshot before = std::move(*pending_);
    pending_.reset();
    if (samePlacements(before, ns)) return false;
    undo_.push_back({std::move(before), current_});
    // The oldest steps go first when the history is full; one copy of a large library
    // per step is what bounds it.
    if (undo_.size() > limit_) undo_.erase(undo_.begin());
    redo_.clear();
    current_ = {++lastId_, kind == ChangeKind::Edit};
    return true;
}

void UndoHistory::abandon(NestSystem& ns)
{
    if (!pending_) return;
    restoreSnapshot(ns, *pending_);
    pending_.reset();
}

void UndoHistory::swapWith(std::vector<Step>& from, std::vector<Step>& to, NestSystem& ns)
{
    Step step = std::move(from.back());
    from.pop_back();
    to.push_back({takeSnapshot(ns), current_});
    restoreSnapshot(ns, step.layout);
    current_ = step.state;
}

bool UndoHistory::undo(NestSystem& ns)
{
    if (undo_.empty() || pending_) return false;
    swapWith(undo_, redo_, ns);
    return true;
}

bool UndoHistory::redo(NestSystem& ns)
{
    if (redo_.empty() || pending_) return false;
    swapWith(redo_, undo_, ns);
    return true;
}

void UndoHistory::clear()
{
    undo_.clear();
    redo_.clear();
    pending_.reset();
    current_ = {++lastId_, false};
    savedId_ = current_.id;
}

void UndoHistory::markSaved()
{
    savedId_ = current_.id;
    current_.edited = false;
}

}  // namespace orvo
