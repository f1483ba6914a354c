#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "geometry/contour.h"
#include "nesting/nest_system.h"
#include "nesting/stacking.h"
#include "support/recording_platform.h"

namespace orvo {
namespace {

std::string freshFolder(const std::string& name)
{
    const auto dir = std::filesystem::temp_directory_path() / ("orvo_stacking_" + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

Part polygonPart(const std::vector<Point>& points)
{
    Contour outer;
    outer.setPoints(points);
    Part part;
    part.initShape(outer, ContourList());
    return part;
}

Part rectangle(double x, double y, double w, double h)
{
    return polygonPart({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}});
}

class StackingTest : public ::testing::Test {
protected:
    StackingTest() : ns(platform, freshFolder(::testing::UnitTest::GetInstance()->current_test_info()->name())) {}

    // A 1000 x 500 plate without margins, RN 4, no turning over.
    Plate& addPlate()
    {
        ns.turnOver = false;
        ns.rotationNumber = 4;
        ns.packingPointDistance = 10.0;
        ns.plates.push_back(ns.createPlate(0, 1000, 500));
        return ns.plates.back();
    }

    Part& add(const Part& part, int32_t plateId = -1)
    {
        ns.nestParts.push_back(part);
        ns.nestParts.back().plateId = plateId;
        return ns.nestParts.back();
    }

    test::RecordingPlatform platform;
    NestSystem ns;
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
    Part& first = add(rectangle(-400, -100, 300, 100));
    Part& second = add(rectangle(-400, -100, 300, 100));
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
    const Part& q = add(rectangle(0, 0, 100, 100), 0);
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
    EXPECT_TRUE(placed.mirrored);
    expectBox(placed, 0, 100, 100, 300);
    EXPECT_NEAR(contourCentroid(placed.outer).y, turned.gravity.y, 1e-6);
}

TEST_F(StackingTest, ApplyPoseReproducesATurnedRotatedAndMovedCopy)
{
    Part part = polygonPart({{10, 20}, {70, 20}, {40, 90}, {10, 60}});
    part.rotatePart(Point(5, 5), 0.3);
    Part target = part;
    target.mirrorPart(Point(target.centroid.x, target.centroid.y));
    target.rotatePart(Point(target.basePt.x, target.basePt.y), 3 * kPi / 2);
    target.translatePart(250, -40);

    applyPose(part, Pose{target.mirrored, target.basePt, target.rotationAngle});

    EXPECT_EQ(part.mirrored, target.mirrored);
    EXPECT_NEAR(part.rotationAngle, target.rotationAngle, 1e-12);
    ASSERT_EQ(part.outer.count(), target.outer.count());
    for (int32_t i = 0; i < part.outer.count(); ++i) {
        EXPECT_NEAR(part.outer.vertex(i).x, target.outer.vertex(i).x, 1e-9);
        EXPECT_NEAR(part.outer.vertex(i).y, target.outer.vertex(i).y, 1e-9);
    }
}

TEST_F(StackingTest, PartWithoutRoomBesideAnyNeighbourStaysUnchanged)
{
    const Plate& p = addPlate();
    add(rectangle(0, 0, 100, 100), 0);
    add(rectangle(0, 400, 100, 100), 0);
    Part& big = add(rectangle(-950, -450, 950, 450));

    EXPECT_FALSE(stackPlace(ns, p, big));
    EXPECT_EQ(big.plateId, -1);
    expectBox(big, -950, 0, -450, 0);

    Part& placedElsewhere = add(rectangle(-10, -10, 10, 10), 7);
    EXPECT_FALSE(stackPlace(ns, p, placedElsewhere));
    EXPECT_EQ(placedElsewhere.plateId, 7);
}

TEST_F(StackingTest, BestNeighbourWinsOverTheFirstInListOrder)
{
    const Plate& p = addPlate();
    add(rectangle(500, 0, 100, 100), 0);
    add(rectangle(0, 0, 100, 100), 0);
    Part& part = add(rectangle(-50, -50, 50, 50));

    ASSERT_TRUE(stackPlace(ns, p, part));
    // On top of the second neighbour, the furthest left of all positions.
    expectBox(part, 0, 50, 100, 150);
}

}  // namespace
}  // namespace orvo
