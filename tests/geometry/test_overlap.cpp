#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "support/shapes.h"
#include "geometry/overlap.h"

using namespace orvo;
using namespace orvo::test;

namespace {

Part moved(Part part, double dx, double dy)
{
    part.translatePart(dx, dy);
    return part;
}

}  // namespace

struct PointCase {
    const char* name;
    Point p;
    bool inside;
};

TEST(PointInContourTest, BottomAndRightSidesAreInsideTopAndLeftOutside)
{
    const PointCase cases[] = {
        {"centre", {0.5, 0.5}, true},         {"bottom side", {0.5, 0}, true},
        {"right side", {1, 0.5}, true},       {"top side", {0.5, 1}, false},
        {"left side", {0, 0.5}, false},       {"lower right corner", {1, 0}, true},
        {"lower left corner", {0, 0}, false}, {"upper right corner", {1, 1}, false},
        {"beyond the box", {1.5, 0.5}, false},
    };
    const Contour ccw = rectangle(0, 0, 1, 1);
    const Contour cw = contourOf({{0, 0}, {0, 1}, {1, 1}, {1, 0}});
    for (const PointCase& c : cases) {
        EXPECT_EQ(pointInContour(ccw, c.p), c.inside) << c.name;
        EXPECT_EQ(pointInContour(cw, c.p), c.inside) << c.name << " (clockwise)";
    }
}

TEST(PointInContourTest, AVertexAtThePointsHeightCountsOnce)
{
    const Contour diamond = contourOf({{1, 0}, {2, 1}, {1, 2}, {0, 1}});
    const PointCase cases[] = {
        {"on the left vertex", {0, 1}, false},
        {"right of the left vertex", {0.5, 1}, true},
        {"on the right vertex", {2, 1}, true},
        {"below the bottom vertex", {1, -0.5}, false},
        {"on the top vertex", {1, 2}, false},
    };
    for (const PointCase& c : cases) EXPECT_EQ(pointInContour(diamond, c.p), c.inside) << c.name;
    EXPECT_FALSE(pointInContour(Contour(), Point(0, 0)));
}

TEST(PointInContourTest, PointInPartExcludesHoles)
{
    const Part part = partOf(rectangle(0, 0, 10, 10), {rectangle(4, 4, 2, 2)});
    EXPECT_TRUE(pointInPart(part, Point(2, 2)));
    EXPECT_FALSE(pointInPart(part, Point(5, 5)));
    EXPECT_FALSE(pointInPart(part, Point(11, 5)));
}

TEST(PartsDisjointTest, BoxContactWithinTheToleranceIsDisjoint)
{
    const Part square = partOf(rectangle(0, 0, 1, 1));
    struct Shift {
        double overlap;
        bool disjoint;
    };
    const Shift shifts[] = {{0.0, true}, {1e-5, true}, {1e-3, false}};
    const double directions[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const Shift& s : shifts) {
        for (const auto& d : directions) {
            const double reach = 1.0 - s.overlap;
            const Part other = moved(square, d[0] * reach, d[1] * reach);
            EXPECT_EQ(outersDisjoint(square, other), s.disjoint) << s.overlap << " " << d[0] << "," << d[1];
            EXPECT_EQ(partsDisjoint(other, square), s.disjoint) << s.overlap << " " << d[0] << "," << d[1];
        }
    }
}

TEST(PartsDisjointTest, ShapesDecideWhenTheBoxesOverlap)
{
    const Part l1 = partOf(contourOf({{0, 0}, {3, 0}, {3, 1}, {1, 1}, {1, 3}, {0, 3}}));
    const Part l2 = partOf(contourOf({{4.5, 4.5}, {1.5, 4.5}, {1.5, 3.5}, {3.5, 3.5}, {3.5, 1.5}, {4.5, 1.5}}));
    EXPECT_TRUE(partsDisjoint(l1, l2));
    EXPECT_TRUE(partsDisjoint(l2, l1));
    const Part touching = moved(l2, -0.5, -0.5);  // a shared vertex at (3, 1) and (1, 3)
    EXPECT_FALSE(partsDisjoint(l1, touching));

    // Edges crossing with no vertex inside the other: a plus sign of two bars.
    const Part bar = partOf(rectangle(0, 1, 3, 1));
    const Part upright = partOf(rectangle(1, 0, 1, 3));
    EXPECT_FALSE(partsDisjoint(bar, upright));
    EXPECT_TRUE(contourEdgesCross(bar.outer, upright.outer));

    // An enclosed part without a hole between them collides, whichever is asked first.
    const Part big = partOf(rectangle(0, 0, 10, 10));
    const Part small = partOf(rectangle(2, 2, 2, 2));
    EXPECT_FALSE(partsDisjoint(big, small));
    EXPECT_FALSE(partsDisjoint(small, big));
}

TEST(PartsDisjointTest, APartInsideAHoleIsDisjointUntilItTouchesTheHole)
{
    const Part frame = partOf(rectangle(0, 0, 12, 12), {rectangle(8, 8, 3, 3), rectangle(4, 4, 4, 4)});
    const Part inner = partOf(rectangle(5, 5, 2, 2));
    EXPECT_TRUE(partsDisjoint(frame, inner));
    EXPECT_TRUE(partsDisjoint(inner, frame));
    EXPECT_FALSE(outersDisjoint(frame, inner));

    const Part onBoundary = moved(inner, -1, 0);  // left edge on the hole's left side
    EXPECT_FALSE(partsDisjoint(frame, onBoundary));
    EXPECT_FALSE(partsDisjoint(onBoundary, frame));
    const Part acrossBoth = partOf(rectangle(5, 5, 5, 5));  // spans the two holes
    EXPECT_FALSE(partsDisjoint(frame, acrossBoth));
}

TEST(PartsDisjointTest, EmptyContoursNeitherContainNorCross)
{
    const Contour square = rectangle(0, 0, 1, 1);
    EXPECT_TRUE(allVerticesInside(square, Contour()));
    EXPECT_FALSE(contourEdgesCross(square, Contour()));
    EXPECT_FALSE(contourEdgesCross(Contour(), square));
}

TEST(BoxInsideRectTest, APartMayOverhangByLessThanTheTolerance)
{
    const Part part = partOf(rectangle(0, 0, 10, 5));
    EXPECT_TRUE(boxInsideRect(part, 0, 10, 0, 5));
    EXPECT_TRUE(boxInsideRect(part, BoundingBox{-1, 11, -1, 6}));
    for (int side = 0; side < 4; ++side) {
        for (const double overhang : {5e-5, 2e-4}) {
            double rect[4] = {0, 10, 0, 5};
            rect[side] += (side % 2 == 0 ? overhang : -overhang);
            EXPECT_EQ(boxInsideRect(part, rect[0], rect[1], rect[2], rect[3]), overhang < 1e-4)
                << "side " << side << " overhang " << overhang;
        }
    }
}

TEST(PartOverlapsRectTest, CrossingSelectionRules)
{
    const Part part = partOf(rectangle(0, 0, 10, 10), {rectangle(3, 3, 4, 4)});
    EXPECT_TRUE(partOverlapsRect(part, -1, 11, -1, 11));   // encloses the part
    EXPECT_FALSE(partOverlapsRect(part, 4, 6, 4, 6));      // inside the hole
    EXPECT_TRUE(partOverlapsRect(part, 5, 15, 5, 6));      // crosses the material
    EXPECT_TRUE(partOverlapsRect(part, 15, 5, 6, 5));      // the same, corners swapped
    EXPECT_FALSE(partOverlapsRect(part, 20, 30, 0, 10));   // beside it
    EXPECT_FALSE(partOverlapsRect(part, 10, 20, 0, 10));   // box contact only
}

// The stack-built rectangle and the edge loops' box pruning must answer exactly as the
// plain construction does: a temporary part, and every edge pair tried.
TEST(PartOverlapsRectTest, AgreesWithTheTemporaryPartConstruction)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(-2.0, 14.0);
    const Part part = partOf(contourOf({{0, 0}, {12, 0}, {12, 12}, {6, 8}, {0, 12}}),
                             {rectangle(2, 2, 3, 3), rectangle(7, 2, 3, 3)});
    for (int i = 0; i < 3000; ++i) {
        const double x1 = coordinate(random), x2 = coordinate(random);
        const double y1 = coordinate(random), y2 = coordinate(random);
        const Part rect = partOf(contourOf({{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}}));
        ASSERT_EQ(partOverlapsRect(part, x1, x2, y1, y2), !partsDisjoint(part, rect)) << i;

        bool anyPair = false;
        const Contour& k = part.outer;
        for (int a = 0; a < k.count() && !anyPair; ++a) {
            const Segment s = segmentFromPoints(k.vertex(a), k.vertex((a + 1) % k.count()));
            for (int b = 0; b < 4 && !anyPair; ++b)
                anyPair = segmentsIntersect(s, segmentFromPoints(rect.outer.vertex(b), rect.outer.vertex((b + 1) % 4)));
        }
        ASSERT_EQ(contourEdgesCross(k, rect.outer), anyPair) << i;
    }
}

namespace {

// A lobed chain around (cx, cy) within `radius`, its coordinates on a grid of `step`:
// long stretches of rising or falling y (the runs), many vertices sharing heights, and
// chains of different parts that touch, share edges and cross, the cases where a missed
// or doubled edge would show.
Contour gridStar(std::mt19937& random, double cx, double cy, int n, double radius, double step)
{
    std::uniform_real_distribution<double> phase(0.0, 2.0 * kPi);
    std::uniform_int_distribution<int> lobes(1, 8);
    const double turn = phase(random);
    const int waves = lobes(random);
    std::vector<Point> points;
    for (int i = 0; i < n; ++i) {
        const double angle = 2.0 * kPi * i / n;
        const double r = radius * (0.75 + 0.25 * std::sin(waves * angle + turn));
        points.emplace_back(cx + std::round(r * std::cos(angle) / step) * step,
                            cy + std::round(r * std::sin(angle) / step) * step);
    }
    return contourOf(points);
}

// A part of about the given radius, with a hole in the middle when asked for.
Part randomPart(std::mt19937& random, double radius, bool withHole)
{
    std::uniform_int_distribution<int> vertices(5, 80);
    const Contour outer = gridStar(random, 0, 0, vertices(random), radius, 0.5);
    if (!withHole) return partOf(outer);
    return partOf(outer, {gridStar(random, 0, 0, vertices(random), 0.6 * radius, 0.5)});
}

Part translated(const PreparedPart& p)
{
    Part part = *p.part;
    part.translatePart(p.shiftX, p.shiftY);
    return part;
}

}  // namespace

TEST(EdgeRunsTest, RunsCoverEveryEdgeAndNeverTurn)
{
    std::mt19937 random(11);
    for (int i = 0; i < 200; ++i) {
        const Contour k = gridStar(random, 0, 0, 8 + i % 60, 20, i % 2 == 0 ? 0.5 : 1e-9);
        EdgeRuns runs;
        runs.build(k);
        if (runs.bounds.empty()) continue;  // not worth it for this chain: plain walks
        ASSERT_EQ(runs.bounds.front(), 0u);
        ASSERT_EQ(runs.bounds.back(), static_cast<uint32_t>(k.count()));
        for (size_t r = 0; r + 1 < runs.bounds.size(); ++r) {
            bool rises = false, falls = false;
            for (uint32_t e = runs.bounds[r]; e < runs.bounds[r + 1]; ++e) {
                const double a = k.points[e].y;
                const double b = k.points[(e + 1) % k.points.size()].y;
                rises = rises || b > a;
                falls = falls || b < a;
            }
            EXPECT_FALSE(rises && falls) << "chain " << i << " run " << r;
        }
    }

    Contour lobed = gridStar(random, 0, 0, 40, 20, 0.5);
    EdgeRuns runs;
    runs.build(lobed);
    EXPECT_FALSE(runs.bounds.empty());
    lobed.points[3].y = std::nan("");
    runs.build(lobed);
    EXPECT_TRUE(runs.bounds.empty()) << "a height that is not a number leaves the runs empty";
    runs.build(rectangle(0, 0, 1, 1));
    EXPECT_TRUE(runs.bounds.empty()) << "four vertices are walked";
}

// The prepared test must give the plain test's answer for every pair, whatever the
// shifts, the witnesses left by earlier tests, and the holes.
TEST(PreparedPartTest, AgreesWithPartsDisjointOnRandomNeighbours)
{
    std::mt19937 random(3);
    std::uniform_int_distribution<int> coin(0, 1);
    std::uniform_int_distribution<int> gridShift(-40, 40);
    std::uniform_real_distribution<double> offset(-1.0, 1.0);
    int collisions = 0, inHole = 0, apart = 0, indexed = 0;
    for (int pair = 0; pair < 300; ++pair) {
        const bool small = coin(random) == 1;  // small enough for the other's hole
        const Part fixed = randomPart(random, 10, coin(random) == 1);
        const Part mover = randomPart(random, small ? 2.5 : 10, coin(random) == 1);
        const double reach = small ? 2.0 : 18.0;
        PreparedPart p, q;
        p.prepare(fixed);
        q.prepare(mover);
        indexed += q.outer.bucketStart.empty() ? 0 : 1;
        for (int trial = 0; trial < 40; ++trial) {
            // Shifts on the grid give exact sums; the others round.
            const bool onGrid = trial % 2 == 0;
            q.shiftX = reach * (onGrid ? gridShift(random) / 40.0 : offset(random));
            q.shiftY = reach * (onGrid ? gridShift(random) / 40.0 : offset(random));
            p.shiftX = trial % 5 == 0 ? 0.25 * coin(random) : 0.0;
            p.shiftY = trial % 5 == 0 ? -0.1 * coin(random) : 0.0;
            const Part a = translated(p);
            const Part b = translated(q);
            const bool expected = partsDisjoint(a, b);
            ASSERT_EQ(partsDisjoint(p, q), expected) << "pair " << pair << " trial " << trial;
            ASSERT_EQ(partsDisjoint(q, p), partsDisjoint(b, a)) << "pair " << pair << " trial " << trial;
            if (!expected) ++collisions;
            else if (!outersDisjoint(a, b)) ++inHole;
            else ++apart;
        }
    }
    // The cases all occur often enough to matter.
    EXPECT_GT(collisions, 1000) << inHole << " " << apart;
    EXPECT_GT(inHole, 50);
    EXPECT_GT(apart, 1000);
    EXPECT_GT(indexed, 30) << "runs sorted by height";
}

// A part translated in small steps (a push) keeps its runs; refresh reads its boxes anew.
TEST(PreparedPartTest, ARefreshedPartAnswersAfterEveryStep)
{
    std::mt19937 random(9);
    std::uniform_int_distribution<int> coin(0, 1);
    for (int pair = 0; pair < 100; ++pair) {
        // The holed part moves, so that the other one passes through its hole.
        const bool small = coin(random) == 1;
        const Part fixed = randomPart(random, small ? 2.5 : 10, coin(random) == 1);
        Part mover = randomPart(random, 10, true);
        mover.translatePart(small ? 3.0 : 22.0, 0.37);
        PreparedPart p, q;
        p.prepare(fixed);
        q.prepare(mover);
        for (int step = 0; step < 60; ++step) {
            mover.translatePart(small ? -0.1 : -0.7, 0.0);
            q.refresh();
            ASSERT_EQ(partsDisjoint(p, q), partsDisjoint(fixed, mover)) << pair << " step " << step;
            ASSERT_EQ(partsDisjoint(q, p), partsDisjoint(mover, fixed)) << pair << " step " << step;
        }
    }
}

TEST(PreparedPartTest, AShiftBeyondTheNumbersFallsBackToThePlainTest)
{
    std::mt19937 random(5);
    const Part a = randomPart(random, 10, false);
    PreparedPart p, q;
    p.prepare(a);
    q.prepare(a);
    q.shiftX = HUGE_VAL;
    EXPECT_EQ(partsDisjoint(p, q), partsDisjoint(a, translated(q)));
    q.shiftX = 1e308;
    q.shiftY = 1e308;
    p.shiftY = -1e308;
    EXPECT_EQ(partsDisjoint(p, q), partsDisjoint(translated(p), translated(q)));
}
