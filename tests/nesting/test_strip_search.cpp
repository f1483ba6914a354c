#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "geometry/overlap.h"
#include "nesting/nest_system.h"
#include "nesting/optimise.h"
#include "nesting/optimise_search.h"
#include "nesting/strip_search.h"
#include "support/hand_layout.h"
#include "support/layout_checks.h"
#include "support/nest_fixture.h"
#include "support/nest_session.h"
#include "support/shapes.h"

namespace orvo {
namespace {

using test::polygonPart;
using test::rectPart;

double edgeDistance(const Contour& k, const Point& p)
{
    double best = 1e300;
    const size_t n = k.points.size();
    for (size_t i = 0; i < n; ++i) {
        const Point a = k.points[i];
        const Point b = k.points[(i + 1) % n];
        const double ex = b.x - a.x, ey = b.y - a.y;
        double t = ((p.x - a.x) * ex + (p.y - a.y) * ey) / (ex * ex + ey * ey);
        t = std::fmax(0.0, std::fmin(1.0, t));
        best = std::fmin(best, std::hypot(p.x - a.x - t * ex, p.y - a.y - t * ey));
    }
    return best;
}

// Every circle lies in the material and the first is about the largest that fits.
TEST(StripPoles, CirclesLieInsideTheMaterialAndAvoidHoles)
{
    const Part bar = rectPart(0, 0, 200, 40);
    const std::vector<Pole> poles = partPoles(bar, 8);
    ASSERT_GE(poles.size(), 2u);  // one circle covers little of a long bar
    EXPECT_NEAR(poles.front().radius, 20.0, 1.0);
    for (const Pole& p : poles) {
        EXPECT_TRUE(pointInPart(bar, p.centre));
        EXPECT_LE(p.radius, edgeDistance(bar.outer, p.centre) + 1e-9);
    }
    for (size_t a = 0; a < poles.size(); ++a) {
        for (size_t b = a + 1; b < poles.size(); ++b)
            EXPECT_GE(distance(poles[a].centre, poles[b].centre), poles[a].radius + poles[b].radius - 1e-9);
    }

    // A square frame of side 20: no circle in the opening, none reaching into it; the
    // largest sit in the corners, between two outer sides and the opening's corner.
    const Part frame = polygonPart({{0, 0}, {100, 0}, {100, 100}, {0, 100}},
                                   {{{20, 20}, {80, 20}, {80, 80}, {20, 80}}});
    for (const Pole& p : partPoles(frame, 8)) {
        EXPECT_TRUE(pointInPart(frame, p.centre));
        EXPECT_LE(p.radius, edgeDistance(frame.holes.front(), p.centre) + 1e-9);
        EXPECT_LE(p.radius, 20.0 * std::sqrt(2.0) / (1.0 + std::sqrt(2.0)) + 1e-9);
    }
}

TEST(StripPoles, PenetrationIsZeroApartAndGrowsWithDepth)
{
    const Part square = rectPart(0, 0, 100, 100);
    const std::vector<Pole> poles = partPoles(square, 6);
    EXPECT_EQ(polePenetration(poles, 0, 0, poles, 150, 0), 0.0);
    EXPECT_EQ(polePenetration(poles, 0, 0, poles, 100, 0), 0.0);  // touching
    double before = 0.0;
    for (double shift : {90.0, 70.0, 50.0, 30.0, 10.0}) {
        const double depth = polePenetration(poles, 0, 0, poles, shift, 0);
        EXPECT_GT(depth, before) << shift;
        // The same depth seen from either part, and with both moved alike.
        EXPECT_NEAR(depth, polePenetration(poles, shift, 0, poles, 0, 0), 1e-9);
        EXPECT_NEAR(depth, polePenetration(poles, 7, -3, poles, shift + 7, -3), 1e-9);
        before = depth;
    }
}

TEST(StripPoles, OverlapIsZeroApartAndGrowsWithDepth)
{
    const Part square = rectPart(0, 0, 100, 100);
    const std::vector<Pole> poles = partPoles(square, 6);
    const double eps = 1.0;
    EXPECT_EQ(poleOverlap(poles, 0, 0, poles, 150, 0, eps), 0.0);
    // Touching counts a little (so that near contact still ranks), less than any overlap.
    const double touching = poleOverlap(poles, 0, 0, poles, 100, 0, eps);
    EXPECT_GT(touching, 0.0);
    EXPECT_LT(touching, poleOverlap(poles, 0, 0, poles, 99, 0, eps));
    double before = touching;
    for (double shift : {90.0, 70.0, 50.0, 30.0, 10.0}) {
        double deepest = 0.0;
        const double overlap = poleOverlap(poles, 0, 0, poles, shift, 0, eps, &deepest);
        EXPECT_GT(overlap, before) << shift;
        EXPECT_GE(deepest, 100.0 - shift - 0.5);  // the largest circles (radius about 50) meet so deep
        // The same overlap seen from either part, and with both moved alike.
        EXPECT_NEAR(overlap, poleOverlap(poles, shift, 0, poles, 0, 0, eps), 1e-9 * overlap);
        EXPECT_NEAR(overlap, poleOverlap(poles, 7, -3, poles, shift + 7, -3, eps), 1e-9 * overlap);
        before = overlap;
    }
}

// The search skips the exact test when circles of two parts reach into each other: that
// must never call a legal pair colliding, also for concave parts, holes and touching edges.
TEST(StripPoles, CirclesThatReachIntoEachOtherProveACollision)
{
    const Part frame = polygonPart({{0, 0}, {100, 0}, {100, 100}, {0, 100}},
                                   {{{20, 20}, {80, 20}, {80, 80}, {20, 80}}});
    const Part ell = polygonPart({{0, 0}, {60, 0}, {60, 15}, {15, 15}, {15, 50}, {0, 50}});
    const Part block = rectPart(0, 0, 30, 30);
    const std::vector<const Part*> shapes{&frame, &ell, &block};
    int proven = 0;
    int colliding = 0;
    for (const Part* a : shapes) {
        for (const Part* b : shapes) {
            const std::vector<Pole> pa = partPoles(*a, 16);
            const std::vector<Pole> pb = partPoles(*b, 16);
            for (double dx = -110.0; dx <= 110.0; dx += 2.5) {
                for (double dy = -110.0; dy <= 110.0; dy += 2.5) {
                    Part moved = *b;
                    moved.translatePart(dx, dy);
                    double deepest = 0.0;
                    poleOverlap(pa, 0, 0, pb, dx, dy, 1.0, &deepest);
                    const bool disjoint = partsDisjoint(*a, moved);
                    colliding += disjoint ? 0 : 1;
                    if (deepest > 1e-6) {
                        ++proven;
                        EXPECT_FALSE(disjoint) << dx << " " << dy;
                    }
                }
            }
        }
    }
    // The circles prove most collisions (the exact test then runs for the few others).
    EXPECT_GT(proven, colliding / 2);
}

struct StripFixture : test::NestFixture {
    void SetUp() override
    {
        ns.rotationNumber = 4;
        ns.turnOver = true;
        test::addPlateAt(ns, 1, 0, 0, 1000, 200);
    }
    // Six squares of 90 in a row along the strip: two rows of three fit in 300.
    void addRow()
    {
        for (int i = 0; i < 6; ++i) add(rectPart(i * 95.0, 5.0, 90, 90, i), 1);
    }
    double packedLength() const { return ns.packedEdge(ns.plates.front()) - ns.plates.front().outerBox.min_X; }
};

TEST_F(StripFixture, TheSeparatorResolvesOverlapsIntoALegalShorterLayout)
{
    addRow();
    ASSERT_TRUE(StripSearch::applies(ns));
    StripSearch search(ns, 1, 0);
    EXPECT_NEAR(search.score().lastPlateLength, 565.0, 1e-9);
    // Cut to 300: four squares must go back inside, on top of the others at first.
    ASSERT_TRUE(search.separateAt(300.0, 2000));
    search.writeLayout(ns);
    EXPECT_EQ(test::expectLegalLayout(ns, "separated"), 6);
    EXPECT_LE(packedLength(), 300.0);
    EXPECT_EQ(search.score().lastPlateLength, packedLength());
    // Turns in quarter steps only.
    for (const Part& part : ns.nestParts) {
        const double quarters = part.pose.rotationAngle / (std::numbers::pi / 2.0);
        EXPECT_NEAR(quarters, std::round(quarters), 1e-9);
    }
}

TEST_F(StripFixture, AnImpossibleCutGivesUpAndKeepsTheLegalLayout)
{
    addRow();
    const std::vector<test::Placement> start = test::placements(ns);
    StripSearch search(ns, 3, 0);
    // Six squares of 90 need more than 250 on a strip of width 200.
    EXPECT_FALSE(search.separateAt(250.0, 400));
    EXPECT_NEAR(search.score().lastPlateLength, 565.0, 1e-9);
    search.writeLayout(ns);
    EXPECT_EQ(test::placements(ns), start);
}

// Steps of the search: the best layout only ever gets shorter and stays legal; a seed and a
// step count fix the layout bit for bit.
TEST_F(StripFixture, StepsNeverWorsenAndRepeatWithTheSeed)
{
    add(polygonPart({{0, 0}, {160, 0}, {0, 120}}, 0), 1);
    add(polygonPart({{170, 0}, {330, 0}, {170, 120}}, 1), 1);
    add(polygonPart({{340, 0}, {440, 0}, {440, 40}, {380, 40}, {380, 150}, {340, 150}}, 2), 1);
    // A frame with a square that may go into its opening.
    add(polygonPart({{450, 0}, {600, 0}, {600, 150}, {450, 150}}, {{{480, 30}, {570, 30}, {570, 120}, {480, 120}}}), 1);
    add(rectPart(610, 0, 60, 60, 4), 1);
    add(rectPart(680, 0, 80, 50, 5), 1);
    std::vector<Part> saved;
    for (const Part& part : ns.nestParts) saved.emplace_back(), copyPlacement(saved.back(), part);
    auto runSteps = [&](uint64_t seed, int steps, std::vector<test::Placement>& result) {
        StripSearch search(ns, seed, 0);
        double length = search.score().lastPlateLength;
        for (int s = 0; s < steps; ++s) {
            search.step();
            EXPECT_LE(search.score().lastPlateLength, length);
            length = search.score().lastPlateLength;
        }
        search.writeLayout(ns);
        EXPECT_EQ(test::expectLegalLayout(ns, "stepped"), 6);
        EXPECT_EQ(scoreLayout(ns).lastPlateLength, length);
        result = test::placements(ns);
        size_t i = 0;
        for (Part& part : ns.nestParts) copyPlacement(part, saved[i++]);
        return length;
    };
    std::vector<test::Placement> first, second, other;
    const double start = scoreLayout(ns).lastPlateLength;
    const double reached = runSteps(7, 300, first);
    EXPECT_LT(reached, start);
    runSteps(7, 300, second);
    EXPECT_EQ(first, second);
    runSteps(8, 300, other);
    EXPECT_NE(first, other);
}

TEST_F(StripFixture, OnlyAStripWithPartsOnOnePlateApplies)
{
    add(rectPart(0, 0, 50, 50, 0), 1);
    EXPECT_FALSE(StripSearch::applies(ns));  // one part: nothing to arrange
    add(rectPart(60, 0, 50, 50, 1), -1);
    EXPECT_FALSE(StripSearch::applies(ns));
    add(rectPart(120, 0, 50, 50, 2), 1);
    EXPECT_TRUE(StripSearch::applies(ns));
    test::addPlateAt(ns, 2, 0, 300, 1000, 200);
    add(rectPart(0, 300, 50, 50, 3), 2);
    EXPECT_FALSE(StripSearch::applies(ns));
}

// Two plates of 400 x 200, one above the other, each with a row of four squares of 90:
// the eight fit on one plate in two rows.
struct TwoPlateFixture : test::NestFixture {
    void SetUp() override
    {
        ns.rotationNumber = 4;
        ns.turnOver = true;
        test::addPlateAt(ns, 1, 0, 0, 400, 200);
        test::addPlateAt(ns, 2, 0, 300, 400, 200);
    }
    void addRows(int perPlate, double side = 90.0)
    {
        int id = 0;
        for (const Plate& plate : ns.plates) {
            for (int i = 0; i < perPlate; ++i, ++id)
                add(rectPart(plate.innerBox.min_X + i * (side + 5.0), plate.innerBox.min_Y, side, side, id), plate.id);
        }
    }
};

TEST_F(TwoPlateFixture, TheLastPlateGoesWhenItsPartsFitOnTheOthers)
{
    addRows(4);
    EXPECT_FALSE(StripSearch::applies(ns));
    std::vector<Part> saved;
    for (const Part& part : ns.nestParts) saved.emplace_back(), copyPlacement(saved.back(), part);
    const PlateList plates = ns.plates;
    std::vector<test::Placement> runs[2];
    for (std::vector<test::Placement>& result : runs) {
        StripSearch search(ns, 5, 1);
        EXPECT_EQ(search.score().plates, 2);
        // No room left on the last plate: its four squares must join the first plate's.
        ASSERT_TRUE(search.separateAt(0.0, 4000));
        EXPECT_EQ(search.score().plates, 1);
        EXPECT_EQ(search.score().placed, 8);
        search.writeLayout(ns);
        ASSERT_EQ(ns.plates.size(), 1u);
        EXPECT_EQ(ns.plates.front().id, 1);
        EXPECT_EQ(test::expectLegalLayout(ns, "one plate"), 8);
        for (const Part& part : ns.nestParts) EXPECT_EQ(part.plateId, 1);
        EXPECT_EQ(scoreLayout(ns).lastPlateLength, search.score().lastPlateLength);
        result = test::placements(ns);
        size_t i = 0;
        for (Part& part : ns.nestParts) copyPlacement(part, saved[i++]);
        ns.plates = plates;
    }
    EXPECT_EQ(runs[0], runs[1]);  // the same seed and steps: the same layout
}

TEST_F(TwoPlateFixture, AFailedAttemptLosesNoPartAndKeepsTheLayout)
{
    // Squares of 130: three per plate, and no plate holds four in one row or two rows.
    addRows(3, 125.0);
    const std::vector<test::Placement> start = test::placements(ns);
    StripSearch search(ns, 2, 0);
    EXPECT_FALSE(search.separateAt(0.0, 600));
    EXPECT_EQ(search.score().plates, 2);
    EXPECT_EQ(search.score().placed, 6);
    search.writeLayout(ns);
    EXPECT_EQ(ns.plates.size(), 2u);
    EXPECT_EQ(test::placements(ns), start);
}

// Steps over several plates: parts change plates, the layout stays legal and complete,
// never gets worse, and repeats with the seed.
TEST_F(TwoPlateFixture, StepsOverSeveralPlatesNeverWorsenAndRepeatWithTheSeed)
{
    test::addPlateAt(ns, 3, 0, 600, 400, 200);
    int id = 0;
    for (const Plate& plate : ns.plates) {
        const BoundingBox& in = plate.innerBox;
        add(polygonPart({{in.min_X, in.min_Y}, {in.min_X + 160, in.min_Y}, {in.min_X, in.min_Y + 120}}, id++), plate.id);
        add(rectPart(in.min_X + 170, in.min_Y, 70, 50, id++), plate.id);
        add(polygonPart({{in.min_X + 250, in.min_Y}, {in.min_X + 350, in.min_Y}, {in.min_X + 350, in.min_Y + 40},
                         {in.min_X + 290, in.min_Y + 40}, {in.min_X + 290, in.min_Y + 150}, {in.min_X + 250, in.min_Y + 150}},
                        id++),
            plate.id);
    }
    std::vector<Part> saved;
    for (const Part& part : ns.nestParts) saved.emplace_back(), copyPlacement(saved.back(), part);
    const PlateList plates = ns.plates;
    const LayoutScore start = scoreLayout(ns);
    auto runSteps = [&](uint64_t seed, std::vector<test::Placement>& result) {
        StripSearch search(ns, seed, 0);
        LayoutScore score = search.score();
        for (int s = 0; s < 400; ++s) {
            search.step();
            EXPECT_FALSE(betterScore(score, search.score()));
            score = search.score();
        }
        search.writeLayout(ns);
        EXPECT_EQ(test::expectLegalLayout(ns, "stepped"), 9);
        EXPECT_EQ(scoreLayout(ns).plates, score.plates);
        EXPECT_EQ(scoreLayout(ns).lastPlateLength, score.lastPlateLength);
        result = test::placements(ns);
        size_t i = 0;
        for (Part& part : ns.nestParts) copyPlacement(part, saved[i++]);
        ns.plates = plates;
        return score;
    };
    std::vector<test::Placement> first, second;
    const LayoutScore reached = runSteps(4, first);
    EXPECT_TRUE(betterScore(reached, start));
    EXPECT_LT(reached.plates, 3);  // nine small parts need no three plates
    runSteps(4, second);
    EXPECT_EQ(first, second);
}

// The optimised Layout All of a library that fits one plate: the strip search (and with four
// threads also the large-neighbourhood search, the two taking over each other's layouts)
// ends legal, no longer than the start, and the same for a seed, thread count and budget.
TEST(StripOptimise, AOnePlateLibraryEndsLegalShorterAndRepeatable)
{
    auto run = [](int32_t threads, std::vector<test::Placement>& result) {
        test::NestSession session;
        NestSystem& ns = session.ns;
        ns.plateLength = 2000.0;
        ns.plateWidth = 300.0;
        ns.packingPointDistance = 10.0;
        ns.rotationNumber = 4;
        ns.turnOver = true;
        for (int i = 0; i < 14; ++i) {
            Part part = i % 2 == 0 ? rectPart(0, 0, 60.0 + 7 * i, 50.0 + 3 * i, i)
                                   : polygonPart({{0, 0}, {110.0 + 5 * i, 0}, {0, 70.0 + 4 * i}}, i);
            part.translatePart(-part.box.min_X, -part.box.max_Y);
            ns.nestParts.push_back(part);
        }
        OptimiseSettings settings;
        settings.seconds = 0.0;
        settings.iterations = 160;
        settings.threads = threads;
        settings.seed = 3;
        const std::atomic<bool> stop{false};
        const OptimiseOutcome outcome = optimiseLayoutAll(ns, settings, stop);
        EXPECT_EQ(outcome.startScore.plates, 1);
        EXPECT_EQ(test::expectLegalLayout(ns, "optimised"), 14);
        EXPECT_EQ(scoreLayout(ns).plates, 1);
        EXPECT_LT(outcome.score.lastPlateLength, outcome.startScore.lastPlateLength);
        EXPECT_EQ(outcome.score.lastPlateLength, scoreLayout(ns).lastPlateLength);
        result = test::placements(ns);
    };
    for (int32_t threads : {2, 4}) {
        std::vector<test::Placement> first, second;
        run(threads, first);
        run(threads, second);
        EXPECT_EQ(first, second) << threads << " threads";
    }
}

}  // namespace
}  // namespace orvo
