#include "nesting/gravity.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>

#include "geometry/overlap.h"
#include "nesting/covered_samples.h"
#include "nesting/plate_parts.h"
#include "nesting/push.h"

namespace orvo {

namespace {

// Rounds of left and down pushes after the first pair, for a settling placement.
constexpr int kSettleRounds = 4;

// Candidates whose gravity points lie closer than this in x are ranked by y.
constexpr double kTieBand = 0.1;

double turnAngle(int32_t turn, int32_t rn)
{
    const double theta = 2.0 * kPi / rn;
    return turn * theta;
}

struct Candidate {
    size_t variant = 0;
    Point pos;
    Point gravity;
};

// How far a box may seem to stand out of the inner box when it passes boxInsideRect: ten
// times the tolerance of that test, which covers any rounding of a shift.
constexpr double kBoxSlack = 1e-3;

// The first index in [0, count) at which the predicate holds, when it holds from some
// index on (count if nowhere).
template <typename Predicate>
int64_t firstIndex(int64_t count, Predicate holds)
{
    int64_t lo = 0, hi = count;
    while (lo < hi) {
        const int64_t mid = lo + (hi - lo) / 2;
        if (holds(mid)) {
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
    return lo;
}

// What the layout of one plate keeps between its gravityPlace calls: the grid's occupied
// flags packed as bits (the lookups of the covered samples stay in cache), brought up to
// date, column by column, where a part has been placed since.
struct PlateLayoutAids {
    // Per column, the free points as bits over the rows; the bits past the last row are
    // set, as a point off the grid tells nothing. Each column has pad() words of set bits
    // below and above, so that a column read shifted by up to pad() words needs no checks,
    // and there are sides() columns of set bits to the left and to the right, so that a
    // sample is read without a check either: a variant is read only at the columns where
    // its box lies inside the inner box (a group from up to kGroup - 1 columns before
    // them), and its samples lie inside its box, within a column of the grid's ends.
    std::vector<uint64_t> padded;
    int64_t words = 0;  // per column, without the padding
    int64_t columns = 0;
    bool stale = true;  // all columns
    // The x range in which points have been occupied since the last refresh.
    double touchedMin = HUGE_VAL;
    double touchedMax = -HUGE_VAL;

    int64_t pad() const { return words + 1; }
    int64_t pitch() const { return words + 2 * pad(); }
    static constexpr int64_t sides() { return kGroup + 4; }
    // Word w (from -pad() to words + pad() - 1) of column i (from -sides() to columns +
    // sides() - 1) is column(i)[w].
    const uint64_t* column(int64_t i) const
    {
        return &padded[static_cast<size_t>((i + sides()) * pitch() + pad())];
    }

    // A part was placed there: its covered points are occupied now.
    void touch(const BoundingBox& box)
    {
        touchedMin = std::min(touchedMin, box.min_X);
        touchedMax = std::max(touchedMax, box.max_X);
    }

    // For a group of kGroup neighbouring columns: window(c) is, row by row, the union of
    // the free points of columns c to c + kGroup - 1; all rows are set when one of those
    // columns lies off the grid. Padded as the columns are.
    static constexpr int64_t kGroup = 4;
    std::vector<uint64_t> windows;
    const uint64_t* window(int64_t c) const
    {
        return &windows[static_cast<size_t>((c + sides()) * pitch() + pad())];
    }

    void refresh(const PackingPointGrid& grid)
    {
        const bool all = stale;
        if (stale) {
            words = (static_cast<int64_t>(grid.rows) + 63) / 64;
            columns = grid.columns;
            padded.assign(static_cast<size_t>(pitch() * (columns + 2 * sides())), ~uint64_t{0});
        } else if (!(touchedMin <= touchedMax)) {
            return;
        }
        // The columns brought up to date, one run as x rises with the index.
        int64_t firstFresh = columns;
        int64_t lastFresh = -1;
        for (int64_t i = 0; i < columns; ++i) {
            const double x = grid.points[static_cast<size_t>(i * grid.rows)].pos.x;
            if (!all && !(x >= touchedMin && x <= touchedMax)) continue;
            firstFresh = std::min(firstFresh, i);
            lastFresh = i;
            uint64_t* bits = &padded[static_cast<size_t>((i + sides()) * pitch() + pad())];
            std::fill(bits, bits + words, ~uint64_t{0});
            for (int64_t j = 0; j < grid.rows; ++j) {
                if (grid.points[static_cast<size_t>(j + i * grid.rows)].occupied)
                    bits[j / 64] &= ~(uint64_t{1} << (j % 64));
            }
        }
        // Only the windows that hold a column brought up to date change.
        if (all) windows.assign(static_cast<size_t>(pitch() * (columns + 2 * sides())), ~uint64_t{0});
        for (int64_t c = std::max<int64_t>(firstFresh - kGroup + 1, 0); c <= lastFresh && c + kGroup <= columns; ++c) {
            uint64_t* out = &windows[static_cast<size_t>((c + sides()) * pitch() + pad())];
            for (int64_t w = 0; w < words; ++w) {
                uint64_t bits = 0;
                for (int64_t t = 0; t < kGroup; ++t) bits |= column(c + t)[w];
                out[w] = bits;
            }
        }
        stale = false;
        touchedMin = HUGE_VAL;
        touchedMax = -HUGE_VAL;
    }
};

// For each variant of a part with its pivot on the packing points of one column, the free
// rows at which all of the variant's covered samples fall on free points and its box may
// lie inside the inner box. A position that this rules out cannot pass the fit test: a
// sample on an occupied point lies deep inside the part and inside a part on the plate.
// Sound only while each occupied point lies inside a part that the fit test sees.
class OpenRows {
public:
    using SampleRead = GravityPrep::SampleRead;

    // The part's variants as prep describes them, walked with prep's stride: rows off the
    // stride are never open.
    void init(const PlateLayoutAids& aids, const PackingPointGrid& grid, const BoundingBox& inner,
              const GravityPrep& prep)
    {
        aids_ = &aids;
        grid_ = &grid;
        variants_ = prep.boxes.size();
        words_ = aids.words;
        stride_ = prep.stride;
        const Point& pivot = prep.pivot;
        if (prep.readPad == aids.pad()) {
            reads_ = &prep.reads;
            readStart_ = &prep.readStart;
        } else {
            sampleReads(prep, aids.pad(), ownReads_, ownReadStart_);
            reads_ = &ownReads_;
            readStart_ = &ownReadStart_;
        }
        // Each read as a distance in words from the word of the anchor's column that it
        // pairs with: the columns and windows share one pitch.
        readOffsets_.clear();
        for (const SampleRead& read : *reads_) readOffsets_.push_back(read.columns * aids.pitch() + read.word);
        const std::vector<BoundingBox>& boxes = prep.boxes;
        insideRows_.assign(static_cast<size_t>(words_) * variants_, 0);
        insideColumns_.clear();
        for (size_t k = 0; k < variants_; ++k) {
            const BoundingBox& b = boxes[k];
            // The grid coordinates rise with the index, so the rows (columns) at which the
            // box may fit are one run: from the first at which its low side is far enough
            // up (right) to the last at which its high side is not too far.
            const auto run = [](int64_t count, auto coordinate, double low, double high, double min, double max) {
                const int64_t first = firstIndex(count, [&](int64_t n) { return low + coordinate(n) >= min - kBoxSlack; });
                const int64_t end = firstIndex(count, [&](int64_t n) { return !(high + coordinate(n) <= max + kBoxSlack); });
                return std::pair<int64_t, int64_t>{first, end};
            };
            const auto [rowFirst, rowEnd] = run(
                grid.rows, [&](int64_t j) { return grid.at(0, static_cast<int32_t>(j)).pos.y - pivot.y; }, b.min_Y,
                b.max_Y, inner.min_Y, inner.max_Y);
            uint64_t* inside = &insideRows_[k * static_cast<size_t>(words_)];
            if (stride_ == 1) {
                // Rows rowFirst to rowEnd - 1, a word at a time.
                for (int64_t w = rowFirst / 64; w * 64 < rowEnd; ++w) {
                    const int64_t low = std::max<int64_t>(rowFirst - w * 64, 0);
                    const int64_t high = std::min<int64_t>(rowEnd - w * 64, 64);  // one past
                    const uint64_t fromLow = ~uint64_t{0} << low;
                    const uint64_t belowHigh = high == 64 ? ~uint64_t{0} : (uint64_t{1} << high) - 1;
                    inside[w] |= fromLow & belowHigh;
                }
            } else {
                for (int64_t j = (rowFirst + stride_ - 1) / stride_ * stride_; j < rowEnd; j += stride_)
                    inside[j / 64] |= uint64_t{1} << (j % 64);
            }
            const auto [columnFirst, columnEnd] = run(
                grid.columns, [&](int64_t i) { return grid.at(static_cast<int32_t>(i), 0).pos.x - pivot.x; }, b.min_X,
                b.max_X, inner.min_X, inner.max_X);
            insideColumns_.push_back({columnFirst, columnEnd - 1});
        }
        rows_.assign(insideRows_.size(), 0);
    }

    // The samples of prep's variants as reads of columns padded by pad words.
    static void sampleReads(const GravityPrep& prep, int64_t pad, std::vector<SampleRead>& reads,
                            std::vector<size_t>& readStart)
    {
        reads.clear();
        readStart.assign(1, 0);
        // Each sample as a read of its column: from word w + word, shifted right by shift.
        for (size_t k = 0; k < prep.boxes.size(); ++k) {
            // With quarter turns, the samples of every variant are the first one's, turned.
            const bool turned = prep.quarterTurns > 0;
            const auto& [turn, turnedOver] = prep.poses[k];
            for (CoveredSamples::Offset o : prep.samples[turned ? 0 : k].offsets()) {
                if (turned) o = CoveredSamples::turnedOffset(o, turn * prep.quarterTurns, turnedOver);
                const int64_t word = o.rows >= 0 ? o.rows / 64 : -((63 - o.rows) / 64);
                // A sample further off than the padding covers lies off the grid wherever
                // the part's box fits inside: it would tell nothing.
                if (word < -pad || word + 1 > pad) continue;
                reads.push_back({o.columns, word, static_cast<int>(o.rows - word * 64)});
            }
            readStart.push_back(reads.size());
        }
    }

    // Whether some row of the columns from i to i + kGroup - 1 may be open to some variant.
    bool openGroup(int64_t i)
    {
        switch (words_) {
        case 1: return openColumnOf<1, true>(i);
        case 2: return openColumnOf<2, true>(i);
        case 3: return openColumnOf<3, true>(i);
        case 4: return openColumnOf<4, true>(i);
        default: return openColumnOf<0, true>(i);
        }
    }

    // Works out the open rows of column i; false when no variant has one.
    bool openColumn(int64_t i)
    {
        switch (words_) {
        case 1: return openColumnOf<1>(i);
        case 2: return openColumnOf<2>(i);
        case 3: return openColumnOf<3>(i);
        case 4: return openColumnOf<4>(i);
        default: return openColumnOf<0>(i);
        }
    }

    // openColumn for a column of the group whose open rows groupRows_ holds: a row open in
    // the column is open in the group, so the search starts from those.
    bool openColumnInGroup(int64_t i)
    {
        switch (words_) {
        case 1: return openColumnOf<1, false, true>(i);
        case 2: return openColumnOf<2, false, true>(i);
        case 3: return openColumnOf<3, false, true>(i);
        case 4: return openColumnOf<4, false, true>(i);
        default: return openColumnOf<0, false, true>(i);
        }
    }

    // After openColumn: whether row j is open to variant k, and word w of the rows open
    // to any variant.
    bool open(size_t k, int64_t j) const
    {
        return (rows_[k * static_cast<size_t>(words_) + static_cast<size_t>(j / 64)] >> (j % 64)) & 1u;
    }
    uint64_t openToAny(int64_t w) const
    {
        uint64_t rows = 0;
        for (size_t k = 0; k < variants_; ++k) rows |= rows_[k * static_cast<size_t>(words_) + static_cast<size_t>(w)];
        return rows;
    }
    int64_t words() const { return words_; }

    // The first column of the walk with a position open to some variant, or -1.
    int64_t firstOpenColumn() { return nextOpenColumn(0); }

    // The first column of the walk from `from` on (a column of the walk) with a position
    // open to some variant, its open rows worked out; -1 when there is none.
    int64_t nextOpenColumn(int64_t from)
    {
        if (stride_ == 1) {
            // A group of columns in which no row is open to any variant is passed at once.
            for (int64_t group = from; group < grid_->columns; group += PlateLayoutAids::kGroup) {
                if (!openGroup(group)) continue;
                groupRows_.assign(rows_.begin(), rows_.end());
                for (int64_t i = group; i < std::min<int64_t>(group + PlateLayoutAids::kGroup, grid_->columns); ++i) {
                    if (openColumnInGroup(i)) return i;
                }
            }
            return -1;
        }
        for (int64_t i = from; i < grid_->columns; i += stride_) {
            if (openColumn(i)) return i;
        }
        return -1;
    }

private:
    // openColumn with Words words per column (0: any number), the rows kept in registers.
    // With Group, the same for the kGroup columns from i on at once: every row open in one
    // of them is open in the answer, as each read is the union over the columns read. With
    // InGroup, only the rows open in groupRows_ are looked at.
    template <int Words, bool Group = false, bool InGroup = false>
    bool openColumnOf(int64_t i)
    {
        constexpr int64_t kGroup = PlateLayoutAids::kGroup;
        const int64_t words = Words > 0 ? Words : words_;
        const uint64_t* here = Group ? aids_->window(i) : aids_->column(i);
        bool any = false;
        const SampleRead* reads = reads_->data();
        const int64_t* readOffsets = readOffsets_.data();
        const size_t* readStart = readStart_->data();
        for (size_t k = 0; k < variants_; ++k) {
            uint64_t* rows = &rows_[k * static_cast<size_t>(words)];
            uint64_t local[Words > 0 ? Words : 1];
            uint64_t* open = Words > 0 ? local : rows;
            const uint64_t* inside = &insideRows_[k * static_cast<size_t>(words)];
            uint64_t left = 0;  // free rows of column i still open
            // A variant that no column holds (first > second) is never read: its samples may
            // reach beyond the side columns, as its box does not fit the grid.
            const auto [first, last] = insideColumns_[k];
            const bool insideColumn = first <= last && i + (Group ? kGroup - 1 : 0) >= first && i <= last;
            const uint64_t* group = InGroup ? &groupRows_[k * static_cast<size_t>(words)] : nullptr;
            for (int64_t w = 0; w < words; ++w) {
                open[w] = insideColumn ? inside[w] & here[w] : 0;
                if (InGroup) open[w] &= group[w];
                left |= open[w];
            }
            for (size_t s = readStart[k]; left != 0 && s < readStart[k + 1]; ++s) {
                const SampleRead& read = reads[s];
                // Bit j of the read is bit j + rows of the sample's offset in column c; the
                // high part is shifted in two steps, so that a shift of 0 brings in nothing.
                // Reads happen only at columns where the variant's box may lie inside the
                // grid, and the samples lie inside the box: the column read lies within the
                // sides, where a column off the grid is all set, as it tells nothing.
                const uint64_t* from = here + readOffsets[s];
                left = 0;
                for (int64_t w = 0; w < words; ++w) {
                    open[w] &= (from[w] >> read.shift) | ((from[w + 1] << (63 - read.shift)) << 1);
                    left |= open[w];
                }
                // left == 0: closed, the other samples change nothing.
            }
            if (Words > 0) std::copy(open, open + words, rows);
            any = any || left != 0;
        }
        return any;
    }

    const PlateLayoutAids* aids_ = nullptr;
    const PackingPointGrid* grid_ = nullptr;
    size_t variants_ = 0;
    int64_t words_ = 0;
    int64_t stride_ = 1;
    // The samples of every variant, in order, and per variant where its samples start in
    // them (one more at the end): the prep's, or worked out here.
    const std::vector<SampleRead>* reads_ = nullptr;
    const std::vector<size_t>* readStart_ = nullptr;
    std::vector<int64_t> readOffsets_;  // per read, as init works it out
    std::vector<SampleRead> ownReads_;
    std::vector<size_t> ownReadStart_;
    std::vector<uint64_t> rows_;  // per variant, the open rows of the current column
    std::vector<uint64_t> groupRows_;  // per variant, the open rows of the group being searched
    std::vector<uint64_t> insideRows_;  // per variant, the rows at which its box may lie inside
    std::vector<std::pair<int64_t, int64_t>> insideColumns_;  // per variant, likewise the columns
};

// One gravityPlace search over the current packing-point grid.
class GravitySearch {
public:
    GravitySearch(NestSystem& ns, PlateParts& plateParts, const std::vector<GravityVariant>& variants,
                  const Point& pivot, int32_t stride)
        : ns_(ns), variants_(variants), prepared_(variants.size()), plateParts_(plateParts),
          pivot_(pivot), stride_(stride)
    {
        for (size_t k = 0; k < variants.size(); ++k) prepared_[k].prepare(variants[k].shape);
    }

    // Lets the walk pass over the positions that rows rules out (the layout of a plate).
    void useOpenRows(OpenRows& rows, const PlateLayoutAids& aids)
    {
        rows_ = &rows;
        aids_ = &aids;
    }

    // The first fitting (point, variant) in walk order, from which the improvement starts.
    // Columns before `from` (a column of the walk) must have no open position.
    bool firstFit(Candidate& best, int64_t& column, int64_t from = 0)
    {
        const PackingPointGrid& grid = ns_.packingPoints;
        for (int64_t i = from; i < grid.columns; i += stride_) {
            if (rows_ != nullptr) {
                // The columns without an open position are passed over, a group at a time.
                i = rows_->nextOpenColumn(i);
                if (i < 0) return false;
                if (firstFitInColumn(i, best)) {
                    column = i;
                    return true;
                }
                continue;
            }
            for (int64_t j = 0; j < grid.rows; j += stride_) {
                const PackingPoint& q = point(i, j);
                if (q.occupied) continue;
                for (size_t k = 0; k < variants_.size(); ++k) {
                    if (!open(k, j) || !fitsAt(k, q.pos)) continue;
                    best = candidate(k, q.pos);
                    column = i;
                    return true;
                }
            }
        }
        return false;
    }

    // Walks on to the right until no point can bring a gravity point further left.
    void improve(Candidate& best, int64_t firstColumn, double reach)
    {
        const PackingPointGrid& grid = ns_.packingPoints;
        for (int64_t i = firstColumn; i < grid.columns; i += stride_) {
            if (rows_ != nullptr) {
                if (!improveInColumn(i, best, reach)) return;
                continue;
            }
            for (int64_t j = 0; j < grid.rows; j += stride_) {
                const PackingPoint& q = point(i, j);
                if (q.occupied) continue;
                if (best.gravity.x < q.pos.x - reach) return;
                for (size_t k = 0; k < variants_.size(); ++k) {
                    const Candidate c = candidate(k, q.pos);
                    if (betterGravity(best.gravity, c.gravity) && open(k, j) && fitsAt(k, q.pos)) best = c;
                }
            }
        }
    }

private:
    bool openColumn(int64_t i) { return rows_ == nullptr || rows_->openColumn(i); }

    // improve within column i at the open rows only, with the same outcome: the walk stops at
    // the first free point too far right, and between two open rows best stays as it is, so
    // that the test at the free points between them answers as at the next open one (or, past
    // the last, at the first open row further right: no candidate is taken before it). False
    // when the walk ends.
    bool improveInColumn(int64_t i, Candidate& best, double reach)
    {
        if (best.gravity.x < point(i, 0).pos.x - reach) return false;
        if (!rows_->openColumn(i)) return true;
        return !anyOpenRow(i, [&](int64_t j) {
            const PackingPoint& q = point(i, j);
            if (best.gravity.x < q.pos.x - reach) return true;
            for (size_t k = 0; k < variants_.size(); ++k) {
                const Candidate c = candidate(k, q.pos);
                if (betterGravity(best.gravity, c.gravity) && open(k, j) && fitsAt(k, q.pos)) best = c;
            }
            return false;
        });
    }

    // firstFit within column i at the open free rows only, in the same order.
    bool firstFitInColumn(int64_t i, Candidate& best)
    {
        return anyOpenRow(i, [&](int64_t j) {
            const Point& pos = point(i, j).pos;
            for (size_t k = 0; k < variants_.size(); ++k) {
                if (!open(k, j) || !fitsAt(k, pos)) continue;
                best = candidate(k, pos);
                return true;
            }
            return false;
        });
    }

    // Calls visit(j) at the free rows j of column i open to some variant, on the stride,
    // upwards, until it returns true; then true.
    template <typename Visit>
    bool anyOpenRow(int64_t i, Visit&& visit)
    {
        const int64_t gridRows = ns_.packingPoints.rows;
        const size_t words = static_cast<size_t>(aids_->words);
        for (size_t w = 0; w < words; ++w) {
            uint64_t rows = rows_->openToAny(static_cast<int64_t>(w)) & aids_->column(i)[w];
            while (rows != 0) {
                const int64_t j = static_cast<int64_t>(w * 64) + std::countr_zero(rows);
                rows &= rows - 1;
                if (j >= gridRows) break;
                if (j % stride_ != 0) continue;
                if (visit(j)) return true;
            }
        }
        return false;
    }

    bool open(size_t k, int64_t j) const { return rows_ == nullptr || rows_->open(k, j); }

    const PackingPoint& point(int64_t i, int64_t j) const
    {
        const PackingPointGrid& grid = ns_.packingPoints;
        return grid.points[static_cast<size_t>(j + i * grid.rows)];
    }

    Candidate candidate(size_t k, const Point& pos) const
    {
        const Point& g = variants_[k].gravity;
        const double dx = pos.x - pivot_.x;
        const double dy = pos.y - pivot_.y;
        return Candidate{k, pos, Point(g.x + dx, g.y + dy)};
    }

    // fitsOnPlate of the variant with its pivot on pos, seen there through the shift of
    // its prepared form rather than copied there.
    bool fitsAt(size_t k, const Point& pos)
    {
        PreparedPart& trial = prepared_[k];
        trial.shiftX = pos.x - pivot_.x;
        trial.shiftY = pos.y - pivot_.y;
        return plateParts_.fits(trial);
    }

    NestSystem& ns_;
    const std::vector<GravityVariant>& variants_;
    std::vector<PreparedPart> prepared_;  // one per variant
    PlateParts& plateParts_;  // nothing moves during the search
    OpenRows* rows_ = nullptr;  // when in use
    const PlateLayoutAids* aids_ = nullptr;
    Point pivot_;
    int64_t stride_;
};

bool fitsEitherWay(const BoundingBox& part, const BoundingBox& inner)
{
    const double w = boxWidth(part);
    const double h = boxHeight(part);
    const double W = boxWidth(inner);
    const double H = boxHeight(inner);
    return (W > w && H > h) || (H > w && W > h);
}

void alignLowerLeft(Part& c, const BoundingBox& inner)
{
    c.translatePart(inner.min_X - c.box.min_X, inner.min_Y - c.box.min_Y);
}

}  // namespace

std::vector<GravityVariant> gravityVariants(const Part& part, const Point& pivot,
                                            const Point& gravityPt, int32_t rn, bool turnOver)
{
    std::vector<GravityVariant> table;
    if (rn < 1) return table;
    table.reserve(static_cast<size_t>(rn) * (turnOver ? 2 : 1));
    for (int32_t k = 0; k < rn; ++k) {
        // Every entry is a direct copy of the part, so that all share one hole order.
        GravityVariant v{part, gravityPt, k, false};
        if (k > 0) {
            v.shape.rotatePart(pivot, turnAngle(k, rn));
            rotatePoint(v.gravity, pivot, turnAngle(k, rn));
        }
        if (turnOver) {
            GravityVariant twin{part, v.gravity, k, true};
            if (k > 0) twin.shape.rotatePart(pivot, turnAngle(k, rn));
            twin.shape.mirrorPart(pivot);
            twin.gravity.y = 2.0 * pivot.y - twin.gravity.y;
            table.push_back(std::move(v));
            table.push_back(std::move(twin));
        } else {
            table.push_back(std::move(v));
        }
    }
    return table;
}

int32_t gravityStride(double shorterSide, double ppd)
{
    const double g = shorterSide / 10.0;
    if (!(g > 2.0 * ppd) || !(ppd > 0.0)) return 1;
    const double steps = std::floor(g / ppd);
    if (!(steps < std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(steps);
}

bool betterGravity(const Point& best, const Point& candidate)
{
    return best.x - kTieBand > candidate.x
        || (std::fabs(candidate.x - best.x) < kTieBand && best.y > candidate.y);
}

namespace {

// Quarter turns per step of the variant table, when every variant is a whole quarter turn
// (only those map the grid onto itself); 0 otherwise.
int32_t quarterTurnsPerStep(int32_t rn)
{
    return rn == 1 ? 4 : rn == 2 ? 2 : rn == 4 ? 1 : 0;
}

// gravityPlace against the parts gathered in others. Without rows, others may hold the
// part itself (a selected part already on p), so the pushes gather the plate afresh
// without it. With rows (the layout of a plate, set up for this part by the caller),
// others lacks the part and serves the pushes as well, and every occupied point lies
// inside one of its parts, so that the part is not tried at a position that rows rules
// out: it would not fit there. A prep of the part in its present pose (rows's) lends its
// pivot and variant table, which are the ones worked out here.
bool gravityPlaceAmong(NestSystem& ns, const Plate& p, Part& part, PlateParts& others, const PlateLayoutAids* aids,
                       OpenRows* rows, int64_t firstOpen = 0, bool settle = false, const GravityPrep* prep = nullptr)
{
    const bool ownGathering = rows == nullptr;
    if (ns.rotationNumber < 1 || part.outer.empty()) return false;
    const Point gravityPt = contourCentroid(part.outer);
    std::vector<GravityVariant> own;
    Point pivot;
    if (prep != nullptr && !prep->variants.empty()) {
        pivot = prep->pivot;
    } else {
        // The pivot search refreshes the centroid; a copy keeps a failed call from touching the part.
        Part base = part;
        pivot = base.nearestVertexToCentroid();
        own = gravityVariants(base, pivot, gravityPt, ns.rotationNumber, ns.turnOver);
    }
    const std::vector<GravityVariant>& variants = own.empty() && prep != nullptr ? prep->variants : own;
    const double reach = distance(pivot, gravityPt);
    const BoundingBox& b = part.box;
    const int32_t stride =
        gravityStride(std::min(boxWidth(b), boxHeight(b)), ns.packingPointDistance);

    GravitySearch search(ns, others, variants, pivot, stride);
    if (rows != nullptr && !variants.empty()) search.useOpenRows(*rows, *aids);
    Candidate best;
    int64_t firstColumn = 0;
    if (!search.firstFit(best, firstColumn, rows != nullptr ? firstOpen : 0)) return false;
    search.improve(best, firstColumn, reach);

    // The part goes through the very transforms that built the winning variant, then the
    // same shift, so it stands exactly where the fit test saw it.
    const GravityVariant& winner = variants[best.variant];
    if (winner.turn > 0) part.rotatePart(pivot, turnAngle(winner.turn, ns.rotationNumber));
    if (winner.turnedOver) part.mirrorPart(pivot);
    part.translatePart(best.pos.x - pivot.x, best.pos.y - pivot.y);

    if (ownGathering) {
        pushOnPlate(ns, part, p, Direction::Left);
        pushOnPlate(ns, part, p, Direction::Down);
    } else {
        pushOnPlate(ns, part, Direction::Left, others);
        pushOnPlate(ns, part, Direction::Down, others);
        // Settling: left and down again while the part still moves.
        for (int round = 0; settle && round < kSettleRounds; ++round) {
            const BoundingBox before = part.box;
            pushOnPlate(ns, part, Direction::Left, others);
            pushOnPlate(ns, part, Direction::Down, others);
            if (before.min_X - part.box.min_X < kPushMinStep && before.min_Y - part.box.min_Y < kPushMinStep) break;
        }
        // The search's callers keep a layout only when it is legal: the position found is
        // tested once more against the gathered parts, before any grid point is marked. A
        // position that meets one (seen on some grid spacings after the pushes) counts as no
        // place; the caller puts the part back.
        if (settle && !others.fits(part)) return false;
    }
    part.plateId = p.id;
    ns.markCoveredPoints(part);
    return true;
}

}  // namespace

bool gravityPlace(NestSystem& ns, const Plate& p, Part& part)
{
    PlateParts others(ns, p);
    return gravityPlaceAmong(ns, p, part, others, nullptr, nullptr);
}

bool placeFirstBig(NestSystem& ns, const Plate& p, Part& part)
{
    if (part.outer.empty()) return false;
    Part c = part;
    alignLowerLeft(c, p.innerBox);
    if (!boxInsideRect(c, p.innerBox)) {
        const Point centre = c.centroid;
        c.rotatePart(centre, kPi / 2.0);
        alignLowerLeft(c, p.innerBox);
    }
    if (!boxInsideRect(c, p.innerBox)) return false;

    const Point m = boxCentre(c.box);
    Point g = contourCentroid(c.outer);
    if (boxWidth(c.box) / 2.0 > c.box.max_X - g.x) c.rotatePart(m, kPi);
    g = contourCentroid(c.outer);
    if (ns.turnOver && boxHeight(c.box) / 2.0 > c.box.max_Y - g.y) c.mirrorPart(m);

    part = c;
    part.plateId = p.id;
    ns.markCoveredPoints(part);
    return true;
}

void preRotateOversize(NestSystem& ns, const Plate& p)
{
    for (Part& part : ns.nestParts) {
        if (part.plateId != -1 || fitsEitherWay(part.box, p.innerBox)) continue;
        Part c = part;
        c.orientMinBoxIfWorth();
        if (fitsEitherWay(c.box, p.innerBox)) part = c;
    }
}

bool isNewFailure(const Part& part, const PartList& failed)
{
    const double w = boxWidth(part.box);
    const double h = boxHeight(part.box);
    const double a = std::max(w, h);
    const double b = std::min(w, h);
    for (const Part& f : failed) {
        const double fw = boxWidth(f.box);
        const double fh = boxHeight(f.box);
        const double A = std::max(fw, fh);
        const double B = std::min(fw, fh);
        if (a >= A - 0.1 && b >= B - 0.1 && part.fillRatio >= f.fillRatio - 0.001) return false;
    }
    return true;
}

namespace {

// Grid steps tried along each side of a part's box for its covered samples, and samples
// kept: enough that most parts that find no room on a plate are ruled out at every
// position without a fit test.
constexpr int64_t kSampleTries = 16;
constexpr size_t kSamplesKept = 32;
// The most variants a memo entry keeps in its table (eight turns, or four and turned over).
constexpr size_t kVariantsKept = 8;

GravityPrep makePrep(const NestSystem& ns, const Part& part)
{
    GravityPrep prep;
    if (ns.rotationNumber < 1 || part.outer.empty()) return prep;
    // As gravityPlaceAmong works them out.
    const Point gravityPt = contourCentroid(part.outer);
    Part base = part;
    prep.pivot = base.nearestVertexToCentroid();
    prep.variants = gravityVariants(base, prep.pivot, gravityPt, ns.rotationNumber, ns.turnOver);
    const std::vector<GravityVariant>& variants = prep.variants;
    const BoundingBox& b = part.box;
    prep.stride = gravityStride(std::min(boxWidth(b), boxHeight(b)), ns.packingPointDistance);
    prep.quarterTurns = quarterTurnsPerStep(ns.rotationNumber);
    for (const GravityVariant& v : variants) {
        prep.boxes.push_back(v.shape.outer.box);
        prep.poses.emplace_back(v.turn, v.turnedOver);
        // With quarter turns, the samples of the others are the first one's, turned.
        if (prep.quarterTurns == 0 || prep.samples.empty())
            prep.samples.emplace_back(v.shape, prep.pivot, ns.packingPointDistance, kSampleTries, kSamplesKept);
    }
    // The pad of the current grid's columns (PlateLayoutAids), as the layout of a plate
    // generates the grid before it asks for the prep.
    if (ns.packingPoints.rows > 0) {
        prep.readPad = (static_cast<int64_t>(ns.packingPoints.rows) + 63) / 64 + 1;
        OpenRows::sampleReads(prep, prep.readPad, prep.reads, prep.readStart);
    }
    return prep;
}

// The test of isNewFailure against one failed part, its sides and fill ratio less the
// margins worked out once.
struct FailedPart {
    double longer;
    double shorter;
    double fill;
};

FailedPart failedPart(const Part& f)
{
    const double fw = boxWidth(f.box);
    const double fh = boxHeight(f.box);
    const double A = std::max(fw, fh);
    const double B = std::min(fw, fh);
    return {A - 0.1, B - 0.1, f.fillRatio - 0.001};
}

// hint: the failed part that answered last, tried first (parts of one kind tend to come
// together); the answer is the same whichever answers.
bool isNewFailure(const Part& part, const std::vector<FailedPart>& failed, size_t& hint)
{
    const double w = boxWidth(part.box);
    const double h = boxHeight(part.box);
    const double a = std::max(w, h);
    const double b = std::min(w, h);
    const auto covers = [&](const FailedPart& f) { return a >= f.longer && b >= f.shorter && part.fillRatio >= f.fill; };
    if (hint < failed.size() && covers(failed[hint])) return false;
    for (size_t k = 0; k < failed.size(); ++k) {
        if (covers(failed[k])) {
            hint = k;
            return false;
        }
    }
    return true;
}

}  // namespace

const GravityPrep& GravityLayoutMemo::prep(const NestSystem& ns, const Part& part)
{
    Entry& e = entries_[&part];
    const auto same = [](const Point& u, const Point& v) { return u.x == v.x && u.y == v.y; };
    const auto sameVertices = [&same](const std::vector<Point>& u, const std::vector<Point>& v) {
        return u.size() == v.size() && std::equal(u.begin(), u.end(), v.begin(), same);
    };
    const auto sameHoles = [&] {
        auto kept = e.holes.begin();
        for (const Contour& h : part.holes) {
            if (kept == e.holes.end() || !sameVertices(h.points, *kept)) return false;
            ++kept;
        }
        return kept == e.holes.end();
    };
    const bool known = e.ppd == ns.packingPointDistance && e.rn == ns.rotationNumber && e.turnOver == ns.turnOver &&
                       sameVertices(part.outer.points, e.outer) && sameHoles();
    if (!known) {
        e.outer = part.outer.points;
        e.holes.clear();
        for (const Contour& h : part.holes) e.holes.push_back(h.points);
        e.ppd = ns.packingPointDistance;
        e.rn = ns.rotationNumber;
        e.turnOver = ns.turnOver;
        e.prep = makePrep(ns, part);
        // Every part tried and not yet placed keeps its entry: with many turns the variant
        // table would hold hundreds of copies of each part, so it is built again per try.
        if (e.prep.variants.size() > kVariantsKept) std::vector<GravityVariant>().swap(e.prep.variants);
    }
    return e.prep;
}

bool gravityLayoutPlate(NestSystem& ns, const Plate& p)
{
    GravityLayoutMemo memo;
    return gravityLayoutPlate(ns, p, memo);
}

bool gravityPlaceAmongParts(NestSystem& ns, const Plate& p, Part& part, PlateParts& others)
{
    const GravityPrep prep = makePrep(ns, part);
    if (prep.boxes.empty()) return false;
    PlateLayoutAids aids;
    OpenRows rows;
    aids.refresh(ns.packingPoints);
    rows.init(aids, ns.packingPoints, p.innerBox, prep);
    const int64_t firstOpen = rows.firstOpenColumn();
    if (firstOpen < 0) return false;
    const Part before = part;
    if (gravityPlaceAmong(ns, p, part, others, &aids, &rows, firstOpen, true, &prep)) return true;
    part = before;  // a second copy: the holes are back in their order
    return false;
}

bool gravityLayoutPlate(NestSystem& ns, const Plate& p, GravityLayoutMemo& memo)
{
    // The failed parts only as far as isNewFailure reads them.
    std::vector<FailedPart> failed;
    size_t failedHint = 0;
    preRotateOversize(ns, p);
    ns.generatePackingPoints(p);
    double free = ns.plateFreeArea(p);
    const double plateArea = boxArea(p.outerBox);
    // The parts on p, gathered once: from here on only the part being placed moves, and
    // it joins them once placed.
    PlateParts onPlate(ns, p);
    PlateLayoutAids aids;
    OpenRows rows;

    if (ns.plateIsEmpty(p)) {
        for (Part& part : ns.nestParts) {
            if (part.plateId != -1 || !(part.netArea > 0.25 * plateArea)) continue;
            if (placeFirstBig(ns, p, part)) {
                free -= part.netArea;
                onPlate.add(part);
                memo.forget(part);
                break;
            }
        }
    }
    for (Part& part : ns.nestParts) {
        if (part.plateId != -1 || !(free >= part.netArea)) continue;
        if (!isNewFailure(part, failed, failedHint)) continue;
        // The grid holds only points covered by the gathered parts, which stay put: the
        // positions that the covered samples rule out need no search, and when they rule
        // out every position the part does not fit.
        const GravityPrep& prep = memo.prep(ns, part);
        bool placed = false;
        if (!prep.boxes.empty()) {
            aids.refresh(ns.packingPoints);
            rows.init(aids, ns.packingPoints, p.innerBox, prep);
            const int64_t firstOpen = rows.firstOpenColumn();
            placed = firstOpen >= 0 && gravityPlaceAmong(ns, p, part, onPlate, &aids, &rows, firstOpen, false, &prep);
        }
        if (placed) {
            free -= part.netArea;
            onPlate.add(part);
            aids.touch(part.outer.box);
            memo.forget(part);
        } else {
            failed.push_back(failedPart(part));
        }
    }
    ns.releasePackingPoints();
    return !ns.plateIsEmpty(p);
}

void hapeSelected(NestSystem& ns, const Plate& p)
{
    ns.generatePackingPoints(p);
    for (Part& part : ns.nestParts) {
        if (part.selected) gravityPlace(ns, p, part);
    }
}

}  // namespace orvo
