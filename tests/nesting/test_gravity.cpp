#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geometry/contour.h"
#include "geometry/part.h"
#include "geometry/overlap.h"
#include "nesting/gravity.h"
#include "nesting/nest_system.h"
#include "support/nest_fixture.h"
#include "support/shapes.h"

namespace orvo {
namespace {

using test::polygonPart;
using test::rectPart;

// Exactly the same pose: every vertex, the derived points and the placement members.
void expectSamePart(const Part& a, const Part& b)
{
    ASSERT_EQ(a.outer.points.size(), b.outer.points.size());
    for (size_t i = 0; i < a.outer.points.size(); ++i) {
        EXPECT_EQ(a.outer.points[i].x, b.outer.points[i].x);
        EXPECT_EQ(a.outer.points[i].y, b.outer.points[i].y);
    }
    EXPECT_EQ(a.centroid.x, b.centroid.x);
    EXPECT_EQ(a.centroid.y, b.centroid.y);
    EXPECT_EQ(a.pose.basePt.x, b.pose.basePt.x);
    EXPECT_EQ(a.pose.basePt.y, b.pose.basePt.y);
    EXPECT_EQ(a.pose.rotationAngle, b.pose.rotationAngle);
    EXPECT_EQ(a.pose.mirrored, b.pose.mirrored);
    EXPECT_EQ(a.plateId, b.plateId);
}

TEST(GravityVariants, TableOrderWithTurnedOverTwins)
{
    // An L whose pivot is the origin and whose gravity point is (3, 1).
    const Part part = polygonPart({{0, 0}, {6, 0}, {6, 2}, {2, 2}, {2, 4}, {0, 4}});
    const Point pivot(0, 0);
    const Point gravity(3, 1);

    const auto table = gravityVariants(part, pivot, gravity, 4, true);
    ASSERT_EQ(table.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        const GravityVariant& v = table[static_cast<size_t>(i)];
        EXPECT_EQ(v.turn, i / 2);
        EXPECT_EQ(v.turnedOver, i % 2 == 1);
        EXPECT_EQ(v.shape.pose.mirrored, i % 2 == 1);
        EXPECT_NEAR(v.shape.pose.rotationAngle, (i % 2 ? -1 : 1) * (i / 2) * kPi / 2, 1e-12);
    }
    // V(0) is the part itself; V(1) is turned by 90 degrees about the pivot, V'(1) then
    // turned over about the horizontal line through the pivot.
    EXPECT_EQ(table[0].shape.outer.points[1].x, 6.0);
    EXPECT_NEAR(table[2].shape.outer.points[1].x, 0.0, 1e-12);
    EXPECT_NEAR(table[2].shape.outer.points[1].y, 6.0, 1e-12);
    EXPECT_NEAR(table[3].shape.outer.points[1].y, -6.0, 1e-12);
    EXPECT_NEAR(table[2].gravity.x, -1.0, 1e-12);
    EXPECT_NEAR(table[2].gravity.y, 3.0, 1e-12);
    EXPECT_NEAR(table[3].gravity.x, -1.0, 1e-12);
    EXPECT_NEAR(table[3].gravity.y, -3.0, 1e-12);
    EXPECT_NEAR(table[5].gravity.x, -3.0, 1e-12);  // V'(2): turned by 180, then over
    EXPECT_NEAR(table[5].gravity.y, 1.0, 1e-12);

    struct Count {
        int32_t rn;
        bool turnOver;
        size_t entries;
    };
    for (const Count& c : {Count{1, false, 1}, Count{1, true, 2}, Count{3, false, 3},
                           Count{0, true, 0}, Count{-2, false, 0}}) {
        EXPECT_EQ(gravityVariants(part, pivot, gravity, c.rn, c.turnOver).size(), c.entries)
            << "RN " << c.rn << " turnOver " << c.turnOver;
    }
}

TEST(GravityStride, LargePartsThinTheGrid)
{
    struct Case {
        double side, ppd;
        int32_t stride;
    };
    const Case cases[] = {{1000, 30, 3}, {600, 30, 1}, {601, 30, 2}, {50, 30, 1},
                          {5000, 10, 50}, {1000, 0, 1}, {1000, -30, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(gravityStride(c.side, c.ppd), c.stride) << c.side << " / " << c.ppd;
}

TEST(BetterGravity, WithinATenthInXTheLowerWins)
{
    const Point best(10.0, 5.0);
    struct Case {
        Point c;
        bool better;
    };
    const Case cases[] = {
        {{9.95, 4.0}, true},    // about as far left and lower
        {{10.08, 4.0}, true},   // a little further right but lower
        {{9.95, 6.0}, false},   // about as far left but higher
        {{10.0, 5.0}, false},   // the same point
        {{9.85, 100.0}, true},  // further left by more than 0.1
        {{10.15, 0.0}, false},  // further right by more than 0.1
    };
    for (const Case& c : cases)
        EXPECT_EQ(betterGravity(best, c.c), c.better) << c.c.x << ", " << c.c.y;
}

TEST(IsNewFailure, PartsDominatedByAFailureAreNotTried)
{
    PartList failed;
    failed.push_back(rectPart(0, 0, 100, 50));
    struct Case {
        double w, h, fill;
        bool isNew;
    };
    const Case cases[] = {
        {100, 50, 1.0, false},    {50, 100, 1.0, false},    {99.95, 49.95, 1.0, false},
        {99.8, 50, 1.0, true},    {100, 49.8, 1.0, true},   {120, 60, 0.9995, false},
        {120, 60, 0.99, true},
    };
    for (const Case& c : cases) {
        Part part = rectPart(0, 0, c.w, c.h);
        part.fillRatio = c.fill;
        EXPECT_EQ(isNewFailure(part, failed), c.isNew) << c.w << " x " << c.h << " fill " << c.fill;
    }
    EXPECT_TRUE(isNewFailure(rectPart(0, 0, 500, 500), PartList()));
}

struct GravityFixture : test::NestFixture {
    Plate* plate = nullptr;

    void SetUp() override
    {
        ns.packingPointDistance = 30.0;
        ns.rotationNumber = 4;
        ns.turnOver = true;
        plate = &ns.addPlate(1000.0, 500.0);
    }
};

TEST_F(GravityFixture, PlacesInTheLowerLeftCornerAndMarksTheGrid)
{
    ns.generatePackingPoints(*plate);
    Part& part = add(rectPart(0, -50, 100, 50));
    ASSERT_TRUE(gravityPlace(ns, *plate, part));
    EXPECT_EQ(part.plateId, plate->id);
    EXPECT_NEAR(part.box.max_X - part.box.min_X, 50, 1e-9);  // standing: gravity further left
    EXPECT_LT(part.box.min_X - plate->innerBox.min_X, 0.01);
    EXPECT_LT(part.box.min_Y - plate->innerBox.min_Y, 0.01);
    EXPECT_TRUE(ns.fitsOnPlateExcept(*plate, part));
    int occupied = 0;
    for (const PackingPoint& q : ns.packingPoints.points) occupied += q.occupied ? 1 : 0;
    EXPECT_GT(occupied, 0);

    // The next part stands on top of it: its gravity point is further left there than on
    // the floor to the right.
    Part& second = add(rectPart(0, -40, 60, 40));
    ASSERT_TRUE(gravityPlace(ns, *plate, second));
    EXPECT_TRUE(partsDisjoint(part, second));
    EXPECT_LT(second.box.min_X - plate->innerBox.min_X, 0.01);
    EXPECT_GT(second.box.min_Y, part.box.max_Y - 1e-4);
    EXPECT_LT(second.box.min_Y, part.box.max_Y + 0.01);
}

TEST_F(GravityFixture, TurnsAPartToBringItsGravityPointLeft)
{
    // Right of a wall of the full inner height, the 300 x 99 part standing on its short side
    // has its gravity point further left than lying, so a turned variant must win.
    const BoundingBox& in = plate->innerBox;
    add(rectPart(in.min_X, in.min_Y, 100, in.max_Y - in.min_Y), plate->id);
    ns.generatePackingPoints(*plate);
    Part& part = add(rectPart(0, -100, 300, 99));
    ASSERT_TRUE(gravityPlace(ns, *plate, part));
    EXPECT_NEAR(part.box.max_X - part.box.min_X, 99, 1e-9);
    EXPECT_LT(part.box.min_X - (in.min_X + 100), 0.01);
    EXPECT_TRUE(ns.fitsOnPlateExcept(*plate, part));
}

TEST_F(GravityFixture, AFailedPlacementLeavesThePartUntouched)
{
    ns.generatePackingPoints(*plate);
    Part& tooBig = add(rectPart(0, -600, 1200, 600));
    const Part before = tooBig;
    EXPECT_FALSE(gravityPlace(ns, *plate, tooBig));
    expectSamePart(tooBig, before);

    ns.rotationNumber = 0;
    Part& small = add(rectPart(0, -10, 10, 10));
    const Part smallBefore = small;
    EXPECT_FALSE(gravityPlace(ns, *plate, small));
    expectSamePart(small, smallBefore);
}

TEST_F(GravityFixture, PlaceFirstBigTurnsTheHeavySideLeftAndDown)
{
    // Heavy at the right and at the bottom: turned by 180 degrees it is heavy at the left
    // and the top, so with turning over it is turned over as well.
    const Part triangle = polygonPart({{0, 0}, {600, 0}, {600, 300}});
    for (bool turnOver : {true, false}) {
        ns.turnOver = turnOver;
        Part part = triangle;
        ASSERT_TRUE(placeFirstBig(ns, *plate, part));
        const Point g = contourCentroid(part.outer);
        const double mx = (part.box.min_X + part.box.max_X) / 2;
        const double my = (part.box.min_Y + part.box.max_Y) / 2;
        EXPECT_LT(g.x, mx);
        EXPECT_EQ(g.y < my, turnOver);
        EXPECT_EQ(part.pose.mirrored, turnOver);
        EXPECT_NEAR(part.box.min_X, plate->innerBox.min_X, 1e-9);
        EXPECT_NEAR(part.box.min_Y, plate->innerBox.min_Y, 1e-9);
        EXPECT_EQ(part.plateId, plate->id);
    }
}

TEST_F(GravityFixture, PlaceFirstBigTurnsATallPartOnItsSide)
{
    Part tall = rectPart(0, 0, 100, 800);
    ASSERT_TRUE(placeFirstBig(ns, *plate, tall));
    EXPECT_NEAR(tall.box.max_X - tall.box.min_X, 800, 1e-9);
    EXPECT_TRUE(boxInsideRect(tall, plate->innerBox));

    Part tooBig = rectPart(0, 0, 1200, 600);
    const Part before = tooBig;
    EXPECT_FALSE(placeFirstBig(ns, *plate, tooBig));
    expectSamePart(tooBig, before);
}

TEST_F(GravityFixture, PreRotateOversizeTurnsOnlyUnplacedPartsThatThenFit)
{
    auto tilted = [](double w, double h) {
        Part part = rectPart(0, 0, w, h);
        part.rotatePart(Point(0, 0), kPi / 4);
        return part;
    };
    Part& fitsTurned = add(tilted(900, 10));  // box 643 x 643, upright 900 x 10
    Part& neverFits = add(tilted(2000, 10));
    Part& placed = add(tilted(900, 10), plate->id);
    Part& fitsAlready = add(tilted(100, 10));
    const Part neverBefore = neverFits, placedBefore = placed, fitsBefore = fitsAlready;

    preRotateOversize(ns, *plate);

    EXPECT_LT(std::min(fitsTurned.box.max_X - fitsTurned.box.min_X,
                       fitsTurned.box.max_Y - fitsTurned.box.min_Y),
              10.5);
    expectSamePart(neverFits, neverBefore);
    expectSamePart(placed, placedBefore);
    expectSamePart(fitsAlready, fitsBefore);
}

TEST_F(GravityFixture, HapeSelectedMovesSelectedPartsOntoThePlate)
{
    Plate& other = ns.addPlate(1000.0, 500.0);
    Part& fromOther = add(rectPart(other.innerBox.min_X, other.innerBox.min_Y, 100, 100), other.id);
    fromOther.selected = true;
    Part& unplaced = add(rectPart(0, -50, 50, 50));
    unplaced.selected = true;
    Part& ignored = add(rectPart(0, -50, 50, 50));
    const Part ignoredBefore = ignored;

    hapeSelected(ns, *plate);

    EXPECT_EQ(fromOther.plateId, plate->id);
    EXPECT_EQ(unplaced.plateId, plate->id);
    EXPECT_TRUE(partsDisjoint(fromOther, unplaced));
    expectSamePart(ignored, ignoredBefore);
    EXPECT_GT(ns.packingPoints.columns, 0);  // the grid stays for drawing
}

}  // namespace
}  // namespace orvo
