#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/platform.h"
#include "nesting/nest_system.h"
#include "nesting/optimise.h"
#include "nesting/search_grids.h"

namespace orvo {

class PlateParts;

// Copies where a part lies (contours, box, centroid, label, pose, plate) from a part of the
// same library shape. Unlike a Part copy it keeps the holes in the order of `from`, so
// that copies back and forth hold the very same vertices in the same order.
void copyPlacement(Part& to, const Part& from);

// Whether two copies of a part of the same library shape lie alike: the same plate and the
// very same vertices.
bool samePlacement(const Part& a, const Part& b);

// Fills a search's private system `to` (made empty) with the settings, plates and parts of
// `from`, the parts copied with copyPlacement, and lists them by position in `parts`.
void copyForSearch(NestSystem& to, const NestSystem& from, std::vector<Part*>& parts);

// The platform of a search thread's private copy: it shows and reads nothing, so that a
// search thread never calls the caller's platform.
class QuietPlatform : public Platform {
public:
    void showMessage(const std::string&, const std::string&) override {}
    void setWorldBoxAndFit(const BoundingBox&) override {}
    void repaintNow() override {}
    void setProgressPercent(int) override {}
    void setStatusText(const std::string&) override {}
    double monotonicSeconds() override { return 0.0; }
    std::tm localTime() override { return std::tm{}; }
    void openInViewer(const std::string&) override {}
};

// The stream of random numbers of one search thread: splitmix64, fixed by the seed and the
// thread's index on every platform and library version.
class SearchRandom {
public:
    SearchRandom(uint64_t seed, uint64_t stream);
    uint64_t next();
    // Uniform in [0, 1).
    double uniform();
    // Uniform in [0, n); 0 when n is 0.
    size_t below(size_t n);

private:
    uint64_t state_;
};

// One search thread's private copy of a layout and its large-neighbourhood search: each
// step takes some parts off (those beyond a shortened plate and a random group of
// neighbours), puts them back one by one with the gravity placement (every plate in
// order, the cut one and the last one no longer than the step allows) and keeps the
// result only when every part found a place. The working layout may grow its last plate a
// little beyond the best one found, to leave a dead end; the best layout is kept apart and
// never gets worse, and the working layout returns to it after a long run without gain.
class LayoutSearch {
public:
    LayoutSearch(const NestSystem& source, uint64_t seed, uint64_t stream);
    LayoutSearch(const LayoutSearch&) = delete;
    LayoutSearch& operator=(const LayoutSearch&) = delete;

    // Takes the other copy's best layout as its working and best layout (copies of the
    // same source).
    void copyLayout(const LayoutSearch& other);
    // Puts the best layout into the system this copy was made from.
    void writeLayout(NestSystem& ns) const;
    // Of the best layout.
    const LayoutScore& score() const { return bestScore_; }

    // Asked between two placements of an attempt: true ends the attempt at once, undone
    // (a stop request or the end of the time budget during a long attempt).
    using HaltCheck = std::function<bool()>;

    // One attempt; true when the layout changed.
    bool step(const HaltCheck& halted = {});
    // An attempt that moves every part of one plate (the last or the least filled) onto the
    // others, a part without room taking a few not much larger ones off another plate to be
    // placed in turn (an ejection chain); kept only when every part finds a place, else the
    // working layout stays as it was. True when the layout changed (a plate less).
    bool emptyPlate(const HaltCheck& halted = {});
    // The working layout (plates and parts), which a step changes.
    const NestSystem& working() const { return ns_; }

    // Up to `count` attempts, fewer once `halt` or `stop` is true; returns how many were made.
    int64_t run(int64_t count, const std::atomic<bool>& halt, const std::atomic<bool>& stop);

private:
    // The parts on the plate with that id within a window of part's size (either way round,
    // with the gap) inside `inner`, when all of them are movable and no more than `most`:
    // of the windows on a coarse grid, the one that holds the least area (shaken a little).
    // Empty when no window qualifies.
    std::vector<Part*> windowParts(const BoundingBox& inner, int32_t plateId, const Part& part, size_t most,
                                   const std::function<bool(const Part*)>& movable);
    // For a part of a step that found no place: tries a few times to take the parts in a
    // window of its size off an open plate (a window within the plate as the step limits
    // it, of parts not much larger that the step has not moved) and place it there; the
    // parts taken off join removed, saved and order, to be placed in turn. Parts taken off
    // for a try that fails go back. At most as many parts are taken off in a step as it
    // removed at first, and a few.
    bool makeRoomInStep(Part& part, const std::vector<Plate>& limited, const std::vector<bool>& open,
                        std::vector<double>& freeArea, std::vector<std::unique_ptr<PlateParts>>& gathered,
                        std::vector<Part*>& removed, std::vector<Part>& saved,
                        std::vector<std::pair<double, size_t>>& order, size_t firstRemoved,
                        const std::function<bool(size_t, Part&)>& placeOn);
    void removeEmptyPlates();
    // The area-weighted right ends of the parts on p, from its left edge.
    double spread(const Plate& p) const;
    void keepAsBest();
    void returnToBest();

    QuietPlatform quiet_;
    NestSystem ns_;
    std::vector<Part*> parts_;  // nestParts by position
    SearchGrids grids_;
    SearchRandom random_;
    double shrinkShare_ = 0.02;  // of the last plate's length, tried off it per shrinking step
    PlateList bestPlates_;
    std::vector<Part> bestParts_;  // by position, as parts_
    LayoutScore bestScore_;
    int64_t sinceBest_ = 0;  // steps since the best layout last improved
    // Placements tried, in all and by emptying moves: those get a bounded share of the work.
    struct Work {
        int64_t all = 0;
        int64_t emptying = 0;
    };
    Work work_;
};

}  // namespace orvo
