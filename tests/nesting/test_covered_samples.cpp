#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "geometry/overlap.h"
#include "nesting/covered_samples.h"
#include "nesting/gravity.h"
#include "nesting/nest_system.h"
#include "support/layout_checks.h"
#include "support/recording_platform.h"
#include "support/shapes.h"
#include "support/temp_folder.h"

namespace orvo {
namespace {

using test::partOf;
using test::contourOf;
using test::rectangle;

double distanceToEdges(const Contour& k, const Point& p)
{
    double best = INFINITY;
    const size_t n = k.points.size();
    for (size_t i = 0; i < n; ++i) {
        const Point& a = k.points[i];
        const Point& b = k.points[(i + 1) % n];
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        best = std::min(best, std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y));
    }
    return best;
}

// Every sample of every variant, computed for the variant or turned from the first one,
// lies in the variant's material, at least kSampleDepth from each of its edges.
TEST(CoveredSamples, LieDeepInsideEveryVariantWhetherComputedOrTurned)
{
    // An L with a square hole in its foot; the pivot is a vertex, as in gravityPlace.
    const Part part = partOf(contourOf({{0, 0}, {90, 0}, {90, 30}, {30, 30}, {30, 75}, {0, 75}}),
                               {rectangle(50, 8, 14, 14)});
    const Point pivot(30, 30);
    const double ppd = 4.0;
    const auto variants = gravityVariants(part, pivot, contourCentroid(part.outer), 4, true);
    const CoveredSamples first(variants.front().shape, pivot, ppd);
    const CoveredSamples dense(variants.front().shape, pivot, ppd, 16, 32);
    ASSERT_GE(first.offsets().size(), 4u);
    ASSERT_GT(dense.offsets().size(), first.offsets().size());
    for (const GravityVariant& v : variants) {
        for (const CoveredSamples& samples :
             {CoveredSamples(v.shape, pivot, ppd), first.turned(v.turn, v.turnedOver),
              CoveredSamples(v.shape, pivot, ppd, 16, 32), dense.turned(v.turn, v.turnedOver)}) {
            for (const CoveredSamples::Offset& o : samples.offsets()) {
                const Point p(pivot.x + static_cast<double>(o.columns) * ppd,
                              pivot.y + static_cast<double>(o.rows) * ppd);
                EXPECT_TRUE(pointInPart(v.shape, p)) << "turn " << v.turn << " at " << p.x << ", " << p.y;
                EXPECT_GE(distanceToEdges(v.shape.outer, p), kSampleDepth);
                for (const Contour& h : v.shape.holes) EXPECT_GE(distanceToEdges(h, p), kSampleDepth);
            }
        }
    }
}

// The memo keeps a part's search data while the part stands as it did, and works it out
// anew once the part has turned (as preRotateOversize turns it), a hole has changed or the
// settings changed.
TEST(GravityLayoutMemo, FollowsThePoseOfThePartAndTheSettings)
{
    test::RecordingPlatform platform;
    test::TempFolder folder;
    NestSystem ns(platform, folder.path());
    ns.packingPointDistance = 5.0;
    Part part = partOf(contourOf({{0, 0}, {90, 0}, {90, 30}, {30, 30}, {30, 75}, {0, 75}}));
    const auto sameAsFresh = [&ns](GravityLayoutMemo& memo, const Part& p) {
        const GravityPrep& kept = memo.prep(ns, p);
        GravityLayoutMemo fresh;
        const GravityPrep& made = fresh.prep(ns, p);
        ASSERT_EQ(kept.boxes.size(), made.boxes.size());
        EXPECT_EQ(kept.pivot.x, made.pivot.x);
        EXPECT_EQ(kept.pivot.y, made.pivot.y);
        EXPECT_EQ(kept.stride, made.stride);
        for (size_t k = 0; k < made.boxes.size(); ++k) {
            EXPECT_EQ(kept.boxes[k].min_X, made.boxes[k].min_X) << k;
            EXPECT_EQ(kept.boxes[k].max_Y, made.boxes[k].max_Y) << k;
        }
        // The variant table lent to the search: the very shapes and gravity points, bit for bit.
        ASSERT_EQ(kept.variants.size(), made.variants.size());
        const auto same = [](const Contour& u, const Contour& v) {
            if (u.points.size() != v.points.size()) return false;
            for (size_t n = 0; n < u.points.size(); ++n) {
                if (u.points[n].x != v.points[n].x || u.points[n].y != v.points[n].y) return false;
            }
            return true;
        };
        for (size_t k = 0; k < made.variants.size(); ++k) {
            const GravityVariant& u = kept.variants[k];
            const GravityVariant& v = made.variants[k];
            EXPECT_EQ(u.turn, v.turn) << k;
            EXPECT_EQ(u.turnedOver, v.turnedOver) << k;
            EXPECT_EQ(u.gravity.x, v.gravity.x) << k;
            EXPECT_EQ(u.gravity.y, v.gravity.y) << k;
            EXPECT_TRUE(same(u.shape.outer, v.shape.outer)) << k;
            auto hole = u.shape.holes.begin();
            for (const Contour& h : v.shape.holes) {
                ASSERT_TRUE(hole != u.shape.holes.end()) << k;
                EXPECT_TRUE(same(*hole, h)) << k;
                ++hole;
            }
            EXPECT_TRUE(hole == u.shape.holes.end()) << k;
        }
        ASSERT_EQ(kept.samples.size(), made.samples.size());
        for (size_t k = 0; k < made.samples.size(); ++k) {
            const auto& a = kept.samples[k].offsets();
            const auto& b = made.samples[k].offsets();
            ASSERT_EQ(a.size(), b.size());
            for (size_t n = 0; n < a.size(); ++n) {
                EXPECT_EQ(a[n].columns, b[n].columns);
                EXPECT_EQ(a[n].rows, b[n].rows);
            }
        }
    };
    GravityLayoutMemo memo;
    EXPECT_EQ(memo.prep(ns, part).boxes.size(), 8u);  // RN 4, turned over
    EXPECT_EQ(memo.prep(ns, part).samples.size(), 1u);  // the others are its quarter turns
    part.rotatePart(part.centroid, 0.3);
    sameAsFresh(memo, part);
    // The same outline with a hole where the samples were: none may lie in it.
    const Contour outline = part.outer;
    part = partOf(outline, {rectangle(5, 5, 20, 20)});
    sameAsFresh(memo, part);
    // A hole that grows but keeps its first vertex and its vertex count.
    part = partOf(outline, {rectangle(5, 5, 20, 40)});
    sameAsFresh(memo, part);
    ns.rotationNumber = 3;
    EXPECT_EQ(memo.prep(ns, part).samples.size(), 6u);  // one per variant
    sameAsFresh(memo, part);
    ns.turnOver = false;
    EXPECT_EQ(memo.prep(ns, part).boxes.size(), 3u);
    ns.rotationNumber = 0;
    EXPECT_TRUE(memo.prep(ns, part).boxes.empty());
}

// The layout of a plate as gravityPlace alone gives it, one call per part: the reference
// for the shortcuts that gravityLayoutPlate takes (one gathering, covered samples).
bool plainLayoutPlate(NestSystem& ns, const Plate& p)
{
    PartList failed;
    preRotateOversize(ns, p);
    ns.generatePackingPoints(p);
    double free = ns.plateFreeArea(p);
    if (ns.plateIsEmpty(p)) {
        for (Part& part : ns.nestParts) {
            if (part.plateId != -1 || !(part.netArea > 0.25 * boxArea(p.outerBox))) continue;
            if (placeFirstBig(ns, p, part)) {
                free -= part.netArea;
                break;
            }
        }
    }
    for (Part& part : ns.nestParts) {
        if (part.plateId != -1 || !(free >= part.netArea) || !isNewFailure(part, failed)) continue;
        if (gravityPlace(ns, p, part))
            free -= part.netArea;
        else
            failed.push_back(part);
    }
    ns.releasePackingPoints();
    return !ns.plateIsEmpty(p);
}

// Rectangles, L shapes, triangles and frames of random sizes, parked below the origin.
std::vector<Part> randomParts(uint32_t seed, int count)
{
    std::mt19937 random(seed);
    const auto size = [&random](int lo, int hi) { return static_cast<double>(lo + static_cast<int>(random() % static_cast<uint32_t>(hi - lo + 1))); };
    std::vector<Part> parts;
    for (int n = 0; n < count; ++n) {
        const double w = size(20, 260), h = size(15, 200);
        Part part;
        switch (random() % 4) {
        case 0: part = partOf(rectangle(0, 0, w, h)); break;
        case 1: part = partOf(contourOf({{0, 0}, {w, 0}, {w, h / 3}, {w / 3, h / 3}, {w / 3, h}, {0, h}})); break;
        case 2: part = partOf(contourOf({{0, 0}, {w, 0}, {0, h}})); break;
        default: part = partOf(rectangle(0, 0, w + 40, h + 40), {rectangle(15, 15, w + 10, h + 10)}); break;
        }
        part.partId = n;
        part.translatePart(-part.box.min_X, -part.box.max_Y);
        parts.push_back(part);
    }
    std::stable_sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) { return a.netArea > b.netArea; });
    return parts;
}

struct Setting {
    int32_t rn;
    bool turnOver;
    double ppd;
};

class PlateLayoutShortcuts : public ::testing::TestWithParam<Setting> {};

enum class Mode { SharedMemo, MemoPerPlate, Plain };

// Plates of length x widthOf(i), each further left by `step`, laid out one after another
// in the given mode until every part is placed or `most` plates are made (or, with
// untilNoneTaken, a plate takes none).
template <typename WidthOf>
void layOutPlates(NestSystem& ns, Mode mode, GravityLayoutMemo& memo, int32_t most, double length, double step,
                  WidthOf widthOf, bool untilNoneTaken = true)
{
    for (int32_t i = 0; i < most && ns.unplacedCount() > 0; ++i) {
        const int32_t before = ns.unplacedCount();
        Plate plate = ns.createPlate(i, length, widthOf(i));
        translatePlate(plate, -step * (i + 1), 0.0);
        ns.plates.push_back(plate);
        if (mode == Mode::Plain)
            plainLayoutPlate(ns, ns.plates.back());
        else if (mode == Mode::SharedMemo)
            gravityLayoutPlate(ns, ns.plates.back(), memo);
        else
            gravityLayoutPlate(ns, ns.plates.back());
        if (untilNoneTaken && ns.unplacedCount() == before) break;
    }
}

// The layout that `layOut` makes in each mode on a fresh system of its own.
template <typename LayOut>
std::vector<std::vector<test::Placement>> layoutsByMode(std::initializer_list<Mode> modes, LayOut layOut)
{
    std::vector<std::vector<test::Placement>> layouts;
    for (Mode mode : modes) {
        GravityLayoutMemo memo;
        test::RecordingPlatform platform;
        test::TempFolder folder;
        NestSystem ns(platform, folder.path());
        layOut(ns, mode, memo);
        layouts.push_back(test::placements(ns));
    }
    return layouts;
}

// Plate after plate until every part is placed (or a plate takes none): the same layout,
// bit for bit, with the layout of a plate (with the memo of the plates before, as Layout
// All runs it, or with none) and with plain gravityPlace calls.
TEST_P(PlateLayoutShortcuts, GiveTheLayoutOfPlainGravityPlaceCalls)
{
    const Setting s = GetParam();
    const auto layouts = layoutsByMode({Mode::SharedMemo, Mode::MemoPerPlate, Mode::Plain}, [&](NestSystem& ns, Mode mode, GravityLayoutMemo& memo) {
        ns.rotationNumber = s.rn;
        ns.turnOver = s.turnOver;
        ns.packingPointDistance = s.ppd;
        ns.partGap = 4.0;
        ns.plateGap = 8.0;
        for (const Part& part : randomParts(7, 120)) ns.nestParts.push_back(part);
        layOutPlates(ns, mode, memo, 20, 1000.0, 1100.0, [](int32_t) { return 600.0; });
        test::expectLegalLayout(ns);
    });
    EXPECT_TRUE(layouts[0] == layouts[2]);
    EXPECT_TRUE(layouts[1] == layouts[2]);
}

// One memo over plates of different widths: the parts' search data (their sample reads
// among it) was made on one grid and serves grids of another number of row words.
TEST(PlateLayoutShortcuts, MemoServesPlatesWhoseGridsDiffer)
{
    const auto layouts = layoutsByMode({Mode::SharedMemo, Mode::Plain}, [&](NestSystem& ns, Mode mode, GravityLayoutMemo& memo) {
        ns.packingPointDistance = 5.0;
        ns.partGap = 4.0;
        for (const Part& part : randomParts(11, 120)) ns.nestParts.push_back(part);
        // 61, 121 and 361 rows of points: one, two and six words per column.
        layOutPlates(ns, mode, memo, 20, 900.0, 1000.0,
                     [](int32_t i) { return i % 3 == 0 ? 300.0 : i % 3 == 1 ? 600.0 : 1800.0; }, false);
        EXPECT_EQ(ns.unplacedCount(), 0);
        test::expectLegalLayout(ns);
    });
    EXPECT_TRUE(layouts[0] == layouts[1]);
}

// Parts about as large as the plate, some only when turned and some not at all: their
// samples lie as far from the anchor as the grid is wide or high, so that the scan would
// read columns far off the grid on either side (beyond the few set columns there) if it
// read a variant at a column where its box does not lie inside the plate.
TEST(PlateLayoutShortcuts, PartsAsLargeAsThePlate)
{
    const auto layouts = layoutsByMode({Mode::SharedMemo, Mode::Plain}, [&](NestSystem& ns, Mode mode, GravityLayoutMemo& memo) {
        ns.packingPointDistance = 10.0;
        ns.partGap = 4.0;
        ns.plateGap = 8.0;
        std::mt19937 random(5);
        const auto size = [&random](int lo, int hi) { return static_cast<double>(lo + static_cast<int>(random() % static_cast<uint32_t>(hi - lo + 1))); };
        for (int n = 0; n < 40; ++n) {
            const double w = size(100, 1100), h = size(30, 650);
            Part part = n % 2 == 0 ? partOf(contourOf({{0, 0}, {w, 0}, {w, h / 3}, {w / 3, h / 3}, {w / 3, h}, {0, h}}))
                                   : partOf(rectangle(0, 0, w, h), {rectangle(w / 4, h / 4, w / 2, h / 2)});
            part.partId = n;
            part.translatePart(-part.box.min_X, -part.box.max_Y);
            ns.nestParts.push_back(part);
        }
        sortByArea(ns.nestParts);
        layOutPlates(ns, mode, memo, 12, 1000.0, 1100.0, [](int32_t) { return 600.0; });
        EXPECT_GT(ns.plates.size(), 3u);
        test::expectLegalLayout(ns);
    });
    EXPECT_TRUE(layouts[0] == layouts[1]);
}

// A part longer than the plate in every turn, but low enough for the plate's rows: no
// column holds it, and a scan of columns four at a time must not read its samples (which
// reach far beyond the grid's side columns) for the groups near the plate's right side.
TEST(PlateLayoutShortcutsWide, APartLongerThanThePlateInEveryTurnIsNeverRead)
{
    for (double length : {1100.0, 2500.0, 12000.0}) {
        const auto layouts = layoutsByMode({Mode::SharedMemo, Mode::Plain}, [&](NestSystem& ns, Mode mode, GravityLayoutMemo& memo) {
            ns.packingPointDistance = 10.0;
            ns.partGap = 0.0;
            ns.plateGap = 0.0;
            ns.rotationNumber = 2;
            ns.turnOver = false;
            Part wedge = partOf(contourOf({{0, 0}, {length, 0}, {0, 100}}));
            wedge.partId = 0;
            Part square = partOf(rectangle(0, 0, 100, 100));
            square.partId = 1;
            ns.nestParts = {wedge, square};
            sortByArea(ns.nestParts);
            ns.plates.push_back(ns.createPlate(0, 1000.0, 500.0));
            if (mode == Mode::Plain)
                plainLayoutPlate(ns, ns.plates.back());
            else
                gravityLayoutPlate(ns, ns.plates.back(), memo);
            EXPECT_EQ(ns.unplacedCount(), 1) << length;
            test::expectLegalLayout(ns);
        });
        EXPECT_TRUE(layouts[0] == layouts[1]) << length;
    }
}

INSTANTIATE_TEST_SUITE_P(RotationsAndGrids, PlateLayoutShortcuts,
                         ::testing::Values(Setting{4, true, 10.0}, Setting{4, false, 7.0},
                                           Setting{2, true, 10.0}, Setting{1, false, 10.0},
                                           Setting{3, true, 12.0}, Setting{4, true, 3.0},
                                           // more than four words of rows per grid column
                                           Setting{2, false, 2.0}));

}  // namespace
}  // namespace orvo
