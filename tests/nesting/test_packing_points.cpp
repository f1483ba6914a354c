#include <gtest/gtest.h>

#include <cmath>

#include "geometry/overlap.h"
#include "nesting/nest_system.h"
#include "support/nest_fixture.h"
#include "support/shapes.h"

namespace orvo {
namespace {

class PackingPointsTest : public test::NestFixture {
protected:
    Plate plateAt(double x, double y, double length, double width)
    {
        Plate p = ns.createPlate(0, length, width);
        p.outerBox = {x, x + length, y, y + width};
        return p;
    }
    int occupiedCount() const
    {
        int n = 0;
        for (const PackingPoint& point : ns.packingPoints.points) n += point.occupied ? 1 : 0;
        return n;
    }
};

TEST_F(PackingPointsTest, GridCoversTheOuterBoxColumnByColumn)
{
    const Plate p = plateAt(-1100, 20, 1000, 500);
    ns.generatePackingPoints(p);
    const PackingPointGrid& grid = ns.packingPoints;
    ASSERT_EQ(grid.columns, 34);
    ASSERT_EQ(grid.rows, 17);
    ASSERT_EQ(grid.points.size(), 34u * 17u);
    // Index j + i * rows: column 1 starts right after the 17 points of column 0.
    EXPECT_DOUBLE_EQ(grid.points[16].pos.y, 20 + 16 * 30);
    EXPECT_DOUBLE_EQ(grid.points[17].pos.x, -1100 + 30);
    EXPECT_DOUBLE_EQ(grid.points[17].pos.y, 20);
    EXPECT_DOUBLE_EQ(grid.at(33, 0).pos.x, -1100 + 990);  // short of the right edge
    EXPECT_EQ(occupiedCount(), 0);
    EXPECT_TRUE(platform.messages.empty());

    ns.releasePackingPoints();
    EXPECT_EQ(ns.packingPoints.columns, 0);
    EXPECT_EQ(ns.packingPoints.rows, 0);
    EXPECT_TRUE(ns.packingPoints.points.empty());
}

TEST_F(PackingPointsTest, UnusableDistanceOrHugeGridIsRefusedWithAnEmptyGrid)
{
    const Plate normal = plateAt(0, 0, 1000, 500);
    const Plate huge = plateAt(0, 0, 1e9, 1e9);  // an odd plate: 1e18 points at PPD 1
    struct Case {
        const Plate* plate;
        double ppd;
    };
    for (Case c : {Case{&normal, 0.0}, Case{&normal, -30.0}, Case{&huge, 1.0}, Case{&normal, 1e-12}}) {
        ns.generatePackingPoints(normal);  // a grid that has to go
        platform.messages.clear();
        ns.packingPointDistance = c.ppd;
        ns.generatePackingPoints(*c.plate);
        EXPECT_EQ(ns.packingPoints.columns, 0) << c.ppd;
        EXPECT_EQ(ns.packingPoints.rows, 0);
        EXPECT_TRUE(ns.packingPoints.points.empty());
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text, "排样点错误!");
        ns.packingPointDistance = 30;
    }
}

TEST_F(PackingPointsTest, PointsInAHoleStayFreeAndOccupiedPointsAreNeverCleared)
{
    const Plate p = plateAt(0, 0, 300, 300);
    ns.packingPointDistance = 10;
    ns.generatePackingPoints(p);
    // A 100 x 100 frame at (55, 55) with a 40 x 40 hole at (85, 85).
    const Part frame = test::partOf(test::rectangle(55, 55, 100, 100), {test::rectangle(85, 85, 40, 40)});
    ns.markCoveredPoints(frame);
    EXPECT_TRUE(ns.packingPoints.at(6, 6).occupied);     // (60, 60): in the frame
    EXPECT_FALSE(ns.packingPoints.at(10, 10).occupied);  // (100, 100): in the hole
    EXPECT_FALSE(ns.packingPoints.at(5, 6).occupied);    // (50, 60): outside
    EXPECT_EQ(occupiedCount(), 10 * 10 - 4 * 4);

    ns.markCoveredPoints(test::rectPart(500, 500, 10, 10));  // off the grid: no change
    ns.markCoveredPoints(test::rectPart(95, 95, 20, 20));    // fills the hole's middle
    EXPECT_TRUE(ns.packingPoints.at(6, 6).occupied);
    EXPECT_TRUE(ns.packingPoints.at(10, 10).occupied);
    EXPECT_EQ(occupiedCount(), 10 * 10 - 4 * 4 + 2 * 2);
}

// The walk only looks at the points within the part's box; it must mark exactly the
// points that a test of every point would mark, also those on the box's edges.
TEST_F(PackingPointsTest, MarkingMatchesATestOfEveryPoint)
{
    const Contour star = test::contourOf({{0, 0}, {60, 25}, {130, -10}, {100, 60}, {150, 130},
                                        {70, 100}, {20, 160}, {30, 80}, {-40, 50}, {25, 40}});
    Part turned = test::partOf(star, {test::rectangle(40, 50, 20, 20)});
    turned.rotatePart({50, 50}, 0.7);
    turned.translatePart(-300, 150);
    struct Case {
        Plate plate;
        double ppd;
        Part part;
        int minimum;
    };
    const Case cases[] = {
        {plateAt(-517.3, 12.9, 700, 400), 7.3, turned, 100},
        // Box edges on grid lines: the right and bottom edges count as inside.
        {plateAt(0, 0, 100, 100), 10, test::rectPart(20, 20, 30, 30), 9},
    };
    for (const Case& c : cases) {
        ns.packingPointDistance = c.ppd;
        ns.generatePackingPoints(c.plate);
        ns.markCoveredPoints(c.part);
        int inside = 0;
        for (const PackingPoint& point : ns.packingPoints.points) {
            const bool expected = pointInPart(c.part, point.pos);
            EXPECT_EQ(point.occupied, expected) << point.pos.x << ", " << point.pos.y;
            inside += expected ? 1 : 0;
        }
        EXPECT_GE(inside, c.minimum);
    }
}

TEST_F(PackingPointsTest, GenerationMarksOnlyThePartsOfThatPlate)
{
    const Plate p = plateAt(0, 0, 300, 300);
    ns.packingPointDistance = 10;
    Part mine = test::rectPart(5, 5, 20, 20);
    mine.plateId = p.id;
    Part other = test::rectPart(105, 105, 20, 20);
    other.plateId = p.id + 1;
    ns.nestParts = {mine, other};
    ns.generatePackingPoints(p);
    EXPECT_EQ(occupiedCount(), 4);
    EXPECT_TRUE(ns.packingPoints.at(1, 1).occupied);
    EXPECT_FALSE(ns.packingPoints.at(11, 11).occupied);
}

}  // namespace
}  // namespace orvo
