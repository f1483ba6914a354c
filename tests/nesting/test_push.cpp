#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "geometry/contour.h"
#include "geometry/part.h"
#include "geometry/overlap.h"
#include "nesting/nest_system.h"
#include "nesting/push.h"
#include "support/nest_fixture.h"
#include "support/shapes.h"

namespace orvo {
namespace {

using test::polygonPart;
using test::rectPart;

bool samePlace(const Part& a, const Part& b)
{
    if (a.outer.points.size() != b.outer.points.size()) return false;
    for (size_t i = 0; i < a.outer.points.size(); ++i) {
        if (a.outer.points[i].x != b.outer.points[i].x || a.outer.points[i].y != b.outer.points[i].y)
            return false;
    }
    return true;
}

struct PushFixture : test::NestFixture {
    Plate* plate = nullptr;

    void SetUp() override
    {
        ns.packingPointDistance = 30.0;
        plate = &ns.addPlate(1000.0, 500.0);
    }

    Part& onPlate(Part part)
    {
        part.plateId = plate->id;
        ns.nestParts.push_back(part);
        return ns.nestParts.back();
    }

    // A rectangle's corner at (x, y) relative to the plate's lower-left corner.
    Part at(double x, double y, double w, double h) const
    {
        return rectPart(plate->innerBox.min_X + x, plate->innerBox.min_Y + y, w, h);
    }
};

TEST(PushUntilContact, FirstPassStepsByPpdThenHalvesToContact)
{
    // A wall at x = 0; the part starts 100 mm to its right, shorter side 200.
    Part part = rectPart(100.0, 0.0, 200.0, 300.0);
    std::vector<double> tried;
    pushUntilContact(part, Direction::Left, 30.0, [&](const Part& moved) {
        tried.push_back(moved.box.min_X);
        return moved.box.min_X >= 0.0;
    });
    ASSERT_GE(tried.size(), 5u);
    EXPECT_DOUBLE_EQ(tried[0], 70.0);
    EXPECT_DOUBLE_EQ(tried[3], -20.0);  // the fourth step collides
    EXPECT_DOUBLE_EQ(tried[4], -5.0);   // back to 10, then a step of 15
    EXPECT_GE(part.box.min_X, 0.0);
    EXPECT_LT(part.box.min_X, 0.01);
}

TEST(PushUntilContact, EndsForEveryFirstStep)
{
    // PPD below the final step, PPD not positive or not a number, and a part without width
    // (a first step of 0): the push still ends, within 0.01 of the wall.
    struct Case {
        double ppd;
        double width;
    };
    const Case cases[] = {{1e-9, 10.0}, {0.0, 10.0}, {-5.0, 10.0},
                          {std::numeric_limits<double>::quiet_NaN(), 10.0}, {30.0, 0.0}};
    for (const Case& c : cases) {
        Part part = c.width > 0.0 ? rectPart(3.0, 0.0, c.width, 10.0)
                                  : polygonPart({{3.0, 0.0}, {3.0, 5.0}, {3.0, 10.0}});
        int tests = 0;
        pushUntilContact(part, Direction::Left, c.ppd, [&](const Part& moved) {
            ++tests;
            return moved.box.min_X >= 0.0;
        });
        EXPECT_GE(part.box.min_X, 0.0) << "ppd " << c.ppd << " width " << c.width;
        EXPECT_LT(part.box.min_X, 0.01) << "ppd " << c.ppd << " width " << c.width;
        EXPECT_LT(tests, 1000) << "ppd " << c.ppd << " width " << c.width;
    }
}

TEST_F(PushFixture, PushAgainstClosesAHundredMillimetreGap)
{
    const Part q = rectPart(0.0, 0.0, 200.0, 200.0);
    Part part = rectPart(300.0, 50.0, 200.0, 200.0);
    pushAgainst(ns, part, q, Direction::Left);
    EXPECT_GT(part.box.min_X - 200.0, -1e-4);
    EXPECT_LT(part.box.min_X - 200.0, 0.01);
    EXPECT_TRUE(partsDisjoint(part, q));

    Part above = rectPart(50.0, 300.0, 100.0, 100.0);
    pushAgainst(ns, above, q, Direction::Down);
    EXPECT_GT(above.box.min_Y - 200.0, -1e-4);
    EXPECT_LT(above.box.min_Y - 200.0, 0.01);

    Part below = rectPart(50.0, -250.0, 100.0, 100.0);
    pushAgainst(ns, below, q, Direction::Up);
    EXPECT_GT(0.0 - below.box.max_Y, -1e-4);
    EXPECT_LT(0.0 - below.box.max_Y, 0.01);
}

TEST_F(PushFixture, PushAgainstWithoutContactLeavesThePartAtItsStart)
{
    const Part q = rectPart(0.0, 0.0, 200.0, 200.0);
    const Part besidePath = rectPart(300.0, 200.0, 100.0, 100.0);  // only touches q's top
    const Part behind = rectPart(-300.0, 0.0, 100.0, 100.0);        // q lies the other way
    for (const Part& start : {besidePath, behind}) {
        Part part = start;
        pushAgainst(ns, part, q, Direction::Left);
        EXPECT_TRUE(samePlace(part, start));
    }

    // A thin frame whose walls jump over a thin bar: the bar passes through the hole and
    // the frame ends past the bar without ever touching it, so it goes back to its start.
    const Part bar = rectPart(-115.0, 50.0, 1.0, 100.0);
    const Part frame = polygonPart({{0, 0}, {200, 0}, {200, 200}, {0, 200}},
                                   {{{1, 1}, {1, 199}, {199, 199}, {199, 1}}});
    Part part = frame;
    pushAgainst(ns, part, bar, Direction::Left);
    EXPECT_TRUE(samePlace(part, frame));
}

TEST_F(PushFixture, PushOnPlateStopsAtTheInnerBoxInEveryDirection)
{
    struct Case {
        Direction direction;
        double expectedMinX, expectedMinY;
    };
    const double w = plate->innerBox.max_X - plate->innerBox.min_X;
    const double h = plate->innerBox.max_Y - plate->innerBox.min_Y;
    const Case cases[] = {{Direction::Left, 0.0, 200.0},
                          {Direction::Right, w - 100.0, 200.0},
                          {Direction::Down, 400.0, 0.0},
                          {Direction::Up, 400.0, h - 50.0}};
    for (const Case& c : cases) {
        Part& part = onPlate(at(400.0, 200.0, 100.0, 50.0));
        pushOnPlate(ns, part, *plate, c.direction);
        EXPECT_NEAR(part.box.min_X - plate->innerBox.min_X, c.expectedMinX, 0.01);
        EXPECT_NEAR(part.box.min_Y - plate->innerBox.min_Y, c.expectedMinY, 0.01);
        EXPECT_TRUE(ns.fitsOnPlateExcept(*plate, part));
        EXPECT_EQ(part.plateId, plate->id);
        ns.nestParts.pop_back();
    }
}

TEST_F(PushFixture, PushOnPlateStopsAtTheNeighbourOnThePlate)
{
    onPlate(at(0.0, 0.0, 200.0, 200.0));
    Part& part = onPlate(at(300.0, 0.0, 200.0, 200.0));
    pushOnPlate(ns, part, *plate, Direction::Left);
    EXPECT_GT(part.box.min_X - (plate->innerBox.min_X + 200.0), -1e-4);
    EXPECT_LT(part.box.min_X - (plate->innerBox.min_X + 200.0), 0.01);
}

TEST_F(PushFixture, APartThatCannotMoveStaysExactlyWhereItIs)
{
    // Touching the bottom of the inner box, pushed down.
    Part& bottom = onPlate(at(100.0, 0.0, 100.0, 100.0));
    const Part bottomStart = bottom;
    pushOnPlate(ns, bottom, *plate, Direction::Down);
    EXPECT_TRUE(samePlace(bottom, bottomStart));

    // Colliding with a neighbour where it stands and all the way to the left.
    onPlate(at(400.0, 0.0, 300.0, 300.0));
    Part& overlapping = onPlate(at(450.0, 100.0, 50.0, 50.0));
    const Part overlappingStart = overlapping;
    pushOnPlate(ns, overlapping, *plate, Direction::Left);
    EXPECT_TRUE(samePlace(overlapping, overlappingStart));
}

TEST_F(PushFixture, PushSelectedMovesOnlySelectedPartsOnExistingPlates)
{
    Part& pushed = onPlate(at(300.0, 0.0, 100.0, 100.0));
    pushed.selected = true;
    Part& unselected = onPlate(at(300.0, 200.0, 100.0, 100.0));
    Part& unplaced = onPlate(at(300.0, 350.0, 50.0, 50.0));
    unplaced.plateId = -1;
    unplaced.selected = true;
    Part& onMissingPlate = onPlate(at(600.0, 0.0, 50.0, 50.0));
    onMissingPlate.plateId = 7;
    onMissingPlate.selected = true;
    const Part unselectedStart = unselected, unplacedStart = unplaced,
               missingStart = onMissingPlate;

    pushSelected(ns, Direction::Left);

    EXPECT_LT(pushed.box.min_X - plate->innerBox.min_X, 0.01);
    EXPECT_TRUE(samePlace(unselected, unselectedStart));
    EXPECT_TRUE(samePlace(unplaced, unplacedStart));
    EXPECT_TRUE(samePlace(onMissingPlate, missingStart));
}

}  // namespace
}  // namespace orvo
