#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "geometry/overlap.h"
#include "nesting/nest_system.h"
#include "nesting/optimise.h"
#include "nesting/optimise_search.h"

namespace orvo {

// A circle inside a shape: the shapes' overlap proxy measures how deep such circles of
// two parts reach into each other.
struct Pole {
    Point centre;
    double radius = 0.0;
};

// Up to `most` circles inside the part's material (inside its outer contour, outside its
// holes), each as large as it can be without reaching into the part's edges or the
// circles found before it; the search ends at a circle smaller than a share of the first.
// A part without room for any gets one small circle at its box centre.
std::vector<Pole> partPoles(const Part& part, size_t most);

// The depth of two sets of circles, a read shifted by (adx, ady) and b by (bdx, bdy): the
// sum of the depths by which circles of one reach into circles of the other; 0 when no
// circles meet. `deepest`, when given, receives the largest depth (at least its value on
// entry).
double polePenetration(const std::vector<Pole>& a, double adx, double ady, const std::vector<Pole>& b,
                       double bdx, double bdy, double* deepest = nullptr);

// The overlap proxy of two sets of circles, shifted alike: for every pair of circles, pi
// times the smaller radius times the depth by which they reach into each other; a depth
// below eps (shallow, touching or a little apart) counts as eps^2 / (2 eps - depth), which
// fades towards 0 with the distance, so that positions close to contact still rank. `deepest`, when given, receives the largest true depth
// (at least its value on entry).
double poleOverlap(const std::vector<Pole>& a, double adx, double ady, const std::vector<Pole>& b, double bdx,
                   double bdy, double eps, double* deepest = nullptr);

// The strip search: it shortens the last plate, puts the parts beyond the new end back
// anywhere (on any plate, overlapping the others), and moves the colliding parts one by
// one to the place of least weighted overlap (sampled over the plates and near the part,
// over every allowed turn and turn-over, then refined by short moves; a move may change a
// part's plate), the weights of pairs that keep colliding growing, until no pair collides
// (the shorter layout is kept) or the attempt gives up (the last legal layout returns).
// Every plate but the last is a fixed container; once the cut leaves no room on the last
// plate, its parts must all find room on the others and the plate goes. Only parts on one
// plate collide. The collisions are the exact tests of the geometry core; the circles only
// rank positions.
class StripSearch {
public:
    StripSearch(const NestSystem& source, uint64_t seed, uint64_t stream);
    StripSearch(const StripSearch&) = delete;
    StripSearch& operator=(const StripSearch&) = delete;

    // True when the source's placed parts all lie on one plate (a strip; the search also
    // runs on several plates).
    static bool applies(const NestSystem& ns);

    // Starts over from a legal layout of the same library (the attempt in progress ends).
    void loadLayout(const NestSystem& ns);
    void writeLayout(NestSystem& ns) const;
    const LayoutScore& score() const { return bestScore_; }
    // True while an attempt is in progress (between the steps of a cut).
    bool attempting() const { return attempting_; }

    // One step of the search: a few moves of colliding parts (an attempt spans many steps).
    // `halted` is asked between the moves; true ends the step. True when a shorter legal
    // layout was found.
    bool step(const LayoutSearch::HaltCheck& halted = {});
    int64_t run(int64_t count, const std::atomic<bool>& halt, const std::atomic<bool>& stop);

    // For tests: starts an attempt at the given packed length of the last plate (from its
    // left edge; too short for any of its parts: the plate goes), then steps until it ends
    // or `steps` run out; true when it ended with a better legal layout.
    bool separateAt(double length, int64_t steps);

private:
    struct Variant {
        Part shape;
        PreparedPart prepared;
        std::vector<Pole> poles;
    };
    struct Item {
        Part* part = nullptr;
        // The circles of the part as first seen, in the frame of its outer vertex 0 and
        // vertex `far` (along, across), and the sense of its outer contour then: every
        // other pose of the part carries them along through the same two vertices.
        std::vector<Pole> localPoles;
        size_t far = 0;
        bool counterClockwise = true;
        std::vector<Variant> variants;
        size_t variant = 0;
        double dx = 0.0;
        double dy = 0.0;
        size_t plate = 0;  // index into plates_
        BoundingBox box;   // of the placed variant, shifted
        double diameter = 0.0;  // of the part's box
        double rootArea = 0.0;  // square root of the area inside its outer contour
    };
    struct Pose2 {
        size_t variant = 0;
        double dx = 0.0;
        double dy = 0.0;
        size_t plate = 0;
    };

    void buildItems();
    void setItemsFromParts();
    // The weighted overlap of item i at pose p with every other item, up to `bound`.
    double cost(size_t i, const Pose2& p, double bound);
    // The unweighted overlap of items i (at pose p) and j, 0 when they are disjoint.
    double pairOverlap(size_t i, const Pose2& p, size_t j);
    // pairOverlap once the boxes meet and the variant's prepared form is shifted to p.
    double collidingOverlap(size_t i, Variant& v, const BoundingBox& box, const Pose2& p, size_t j);
    void place(size_t i, const Pose2& p);
    // Sets item i's pose without touching the overlaps (then refreshOverlaps).
    void setPose(size_t i, const Pose2& p);
    Pose2 poseOf(size_t i) const;
    // The right end parts on plate k keep to in this attempt, and whether it may hold any.
    double limitOf(size_t k) const;
    bool open(size_t k) const { return k < openPlates_; }
    bool fitsLength(size_t i, size_t variant, size_t plate) const;
    size_t randomPlate();
    Pose2 randomPose(size_t i);
    void moveItem(size_t i);
    void startAttempt(double length);
    void refreshOverlaps();
    void keepBest();
    void restoreBest();
    void materialise();
    bool legal() const;
    void setPlates();
    void setMembers();
    // Erases the plates left without parts (one plate at least stays).
    void dropEmptyPlates();

    QuietPlatform quiet_;
    NestSystem ns_;
    std::vector<Part*> parts_;
    std::vector<Plate*> plates_;  // ns_.plates in order; the last one is the strip
    std::vector<Item> items_;
    // Per plate: its items in index order (parts of one plate collide only with each
    // other), and their net area.
    std::vector<std::vector<size_t>> members_;
    std::vector<double> used_;
    size_t openPlates_ = 0;  // plates that may hold parts in this attempt
    SearchRandom random_;
    // Per pair (i * n + j): the guided-local-search weight and the current overlap.
    std::vector<double> weight_;
    std::vector<double> overlap_;
    double limitX_ = 0.0;  // the right end the parts on the last plate keep to in this attempt
    bool attempting_ = false;
    std::vector<size_t> queue_;  // the colliding items still to move in this sweep
    size_t queuePos_ = 0;
    double attemptBest_ = 0.0;  // the least total overlap of this attempt
    std::vector<Pose2> attemptBestPoses_;
    int64_t sweepsWithoutGain_ = 0;
    int32_t strikes_ = 0;
    double shrink_ = 0.01;

    std::vector<Part> bestParts_;
    std::vector<Pose2> bestPoses_;
    LayoutScore bestScore_;
};

}  // namespace orvo
