#include <gtest/gtest.h>

#include "geometry/contour.h"
#include "geometry/part.h"
#include "nesting/nest_system.h"
#include "nesting/plate_parts.h"
#include "nesting/stacking.h"
#include "support/nest_fixture.h"
#include "support/shapes.h"

namespace orvo {
namespace {

using test::polygonPart;
using test::rectPart;

class StackingTest : public test::NestFixture {
protected:
    // A 1000 x 500 plate without margins, RN 4, no turning over.
    Plate& addPlate()
    {
        ns.turnOver = false;
        ns.rotationNumber = 4;
        ns.packingPointDistance = 10.0;
        ns.plates.push_back(ns.createPlate(0, 1000, 500));
        return ns.plates.back();
    }
};

void expectBox(const Part& part, double minX, double maxX, double minY, double maxY)
{
    EXPECT_NEAR(part.box.min_X, minX, 1e-6);
    EXPECT_NEAR(part.box.max_X, maxX, 1e-6);
    EXPECT_NEAR(part.box.min_Y, minY, 1e-6);
    EXPECT_NEAR(part.box.max_Y, maxY, 1e-6);
}

// The second of two lying 300 x 100 rectangles could lie flat on top of the first or
// stand upright to its right: both put the gravity point at x 150, and the lower wins.
TEST_F(StackingTest, SecondRectangleStandsUprightRightOfTheFirst)
{
    const Plate& p = addPlate();
    Part& first = add(rectPart(-400, -100, 300, 100));
    Part& second = add(rectPart(-400, -100, 300, 100));
    first.selected = second.selected = true;

    EXPECT_TRUE(boxStackSelected(ns, p));

    EXPECT_EQ(first.plateId, 0);
    EXPECT_EQ(second.plateId, 0);
    expectBox(first, 0, 100, 0, 300);
    expectBox(second, 100, 200, 0, 300);
    EXPECT_EQ(ns.unplacedCount(), 0);
    EXPECT_GT(ns.packingPoints.columns, 0);  // the button leaves the grid in place
}

TEST_F(StackingTest, OnlyTurnedOverCandidatesOfferTheLowestPlaceWhenAllowed)
{
    const Plate& p = addPlate();
    const Part& q = add(rectPart(0, 0, 100, 100), 0);
    // Right angle at the lower left, long leg along x: standing it upright with the right
    // angle still at the lower left needs turning over.
    const Part triangle = polygonPart({{0, 0}, {200, 0}, {0, 100}});

    const StackCandidate plain = stackCandidates(ns, p, q, triangle);
    ASSERT_TRUE(plain.found);
    EXPECT_FALSE(plain.pose.mirrored);
    EXPECT_NEAR(plain.gravity.x, 100.0 / 3, 1e-6);
    EXPECT_NEAR(plain.gravity.y, 300 - 200.0 / 3, 1e-6);

    ns.turnOver = true;
    const StackCandidate turned = stackCandidates(ns, p, q, triangle);
    ASSERT_TRUE(turned.found);
    EXPECT_TRUE(turned.pose.mirrored);
    EXPECT_NEAR(turned.gravity.x, 100.0 / 3, 1e-6);
    EXPECT_NEAR(turned.gravity.y, 100 + 200.0 / 3, 1e-6);

    Part placed = triangle;
    applyPose(placed, turned.pose);
    EXPECT_TRUE(placed.pose.mirrored);
    expectBox(placed, 0, 100, 100, 300);
    EXPECT_NEAR(contourCentroid(placed.outer).y, turned.gravity.y, 1e-6);
    // The copy kept with the candidate is the outline at that pose, and it fits.
    for (int32_t i = 0; i < placed.outer.count(); ++i) {
        EXPECT_NEAR(turned.tested.outer.vertex(i).x, placed.outer.vertex(i).x, 1e-9);
        EXPECT_NEAR(turned.tested.outer.vertex(i).y, placed.outer.vertex(i).y, 1e-9);
    }
    EXPECT_TRUE(ns.fitsOnPlate(p, turned.tested));
}

// The pose is applied afresh; only when that lands on a neighbour does the copy that
// passed the fit test take its place, exactly as it was tested.
TEST_F(StackingTest, PlacementFallsBackToTheTestedCopyOnlyWhenTheFreshPoseFails)
{
    const Plate& p = addPlate();
    add(rectPart(0, 0, 100, 100), 0);
    Part& part = add(rectPart(-50, -50, 50, 50));
    const Part start = part;
    Part tested = part;
    tested.translatePart(250, 50);

    struct Case {
        double dx;
        double expectedMinX;
    };
    for (const Case c : {Case{350, 300}, Case{100, 200}}) {
        part = start;
        Pose pose = part.pose;
        pose.translate(c.dx, 50);
        PlateParts others(ns, p);
        placeAsTested(ns, p, others, part, pose, Part(tested));
        EXPECT_EQ(part.plateId, 0);
        EXPECT_EQ(part.box.min_X, c.expectedMinX) << "moved by " << c.dx;
        EXPECT_TRUE(ns.fitsOnPlateExcept(p, part));
    }
    for (int32_t i = 0; i < part.outer.count(); ++i) {
        EXPECT_EQ(part.outer.vertex(i).x, tested.outer.vertex(i).x);
        EXPECT_EQ(part.outer.vertex(i).y, tested.outer.vertex(i).y);
    }
    EXPECT_EQ(part.pose.basePt.x, tested.pose.basePt.x);
}

TEST_F(StackingTest, WithoutTurningOverAMirroredPartIsNeverTurnedBack)
{
    const Plate& p = addPlate();
    const Part& q = add(rectPart(0, 0, 100, 100), 0);
    Part part = polygonPart({{0, 0}, {200, 0}, {0, 100}});
    part.mirrorPart(Point(part.centroid.x, part.centroid.y));

    const StackCandidate c = stackCandidates(ns, p, q, part);
    ASSERT_TRUE(c.found);
    EXPECT_TRUE(c.pose.mirrored);
    applyPose(part, c.pose);
    EXPECT_TRUE(part.pose.mirrored);
    EXPECT_TRUE(ns.fitsOnPlate(p, part));
}

TEST_F(StackingTest, ApplyPoseReproducesATurnedRotatedAndMovedCopy)
{
    Part part = polygonPart({{10, 20}, {70, 20}, {40, 90}, {10, 60}});
    part.rotatePart(Point(5, 5), 0.3);
    Part target = part;
    target.mirrorPart(Point(target.centroid.x, target.centroid.y));
    target.rotatePart(Point(target.pose.basePt.x, target.pose.basePt.y), 3 * kPi / 2);
    target.translatePart(250, -40);

    applyPose(part, Pose{target.pose.mirrored, target.pose.basePt, target.pose.rotationAngle});

    EXPECT_EQ(part.pose.mirrored, target.pose.mirrored);
    EXPECT_NEAR(part.pose.rotationAngle, target.pose.rotationAngle, 1e-12);
    ASSERT_EQ(part.outer.count(), target.outer.count());
    for (int32_t i = 0; i < part.outer.count(); ++i) {
        EXPECT_NEAR(part.outer.vertex(i).x, target.outer.vertex(i).x, 1e-9);
        EXPECT_NEAR(part.outer.vertex(i).y, target.outer.vertex(i).y, 1e-9);
    }
}

TEST_F(StackingTest, PartWithoutRoomBesideAnyNeighbourStaysUnchanged)
{
    const Plate& p = addPlate();
    add(rectPart(0, 0, 100, 100), 0);
    add(rectPart(0, 400, 100, 100), 0);
    Part& big = add(rectPart(-950, -450, 950, 450));

    EXPECT_FALSE(stackPlace(ns, p, big));
    EXPECT_EQ(big.plateId, -1);
    expectBox(big, -950, 0, -450, 0);

    Part& placedElsewhere = add(rectPart(-10, -10, 10, 10), 7);
    EXPECT_FALSE(stackPlace(ns, p, placedElsewhere));
    EXPECT_EQ(placedElsewhere.plateId, 7);
}

TEST_F(StackingTest, BestNeighbourWinsOverTheFirstInListOrder)
{
    const Plate& p = addPlate();
    add(rectPart(500, 0, 100, 100), 0);
    add(rectPart(0, 0, 100, 100), 0);
    Part& part = add(rectPart(-50, -50, 50, 50));

    ASSERT_TRUE(stackPlace(ns, p, part));
    // On top of the second neighbour, the furthest left of all positions.
    expectBox(part, 0, 50, 100, 150);
}

}  // namespace
}  // namespace orvo
