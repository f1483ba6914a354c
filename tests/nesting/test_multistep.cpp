#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geometry/contour.h"
#include "geometry/part.h"
#include "nesting/gravity.h"
#include "nesting/multistep.h"
#include "nesting/nest_system.h"
#include "support/layout_checks.h"
#include "support/nest_fixture.h"
#include "support/shapes.h"

namespace orvo {
namespace {

using test::polygonPart;
using test::rectPart;

Part regularPolygon(int corners, double radius)
{
    std::vector<Point> points;
    for (int i = 0; i < corners; ++i) {
        const double a = 2 * kPi * i / corners;
        points.emplace_back(radius * std::cos(a), radius * std::sin(a));
    }
    return polygonPart(points);
}

int firstPass(const NestSystem& ns, const Part& part)
{
    for (int pass = 1; pass <= 5; ++pass) {
        if (multiStepPassTakes(ns, part, pass)) return pass;
    }
    return 0;
}

using MultiStepPasses = test::NestFixture;

TEST_F(MultiStepPasses, EachSizeClassGoesToItsPass)
{
    ns.plateLength = 2000;
    ns.plateWidth = 1000;
    ns.prepareNestParts();  // no outlines: only the size classes are set

    // A circle-like 64-gon of the 80 x 80 square's area (6400): fill about 0.785.
    const double radius = std::sqrt(6400 / (32 * std::sin(2 * kPi / 64)));
    struct Case {
        const char* name;
        Part part;
        int pass;
        bool gravityAtLast;
    };
    const Case cases[] = {
        {"400 x 300", rectPart(0, 0, 400, 300), 1, false},
        {"300 x 250", rectPart(0, 0, 300, 250), 2, false},
        {"triangle of 70000", polygonPart({{0, 0}, {500, 0}, {0, 280}}), 3, false},
        {"200 x 150", rectPart(0, 0, 200, 150), 4, false},
        {"80 x 80", rectPart(0, 0, 80, 80), 5, true},
        {"circle of 6400", regularPolygon(64, radius), 5, false},
        {"85 x 85", rectPart(0, 0, 85, 85), 5, false},  // 7225, above smallArea
    };
    for (const Case& c : cases) {
        EXPECT_EQ(firstPass(ns, c.part), c.pass) << c.name;
        EXPECT_EQ(isSmallSquarePart(ns, c.part), c.gravityAtLast) << c.name;
    }
    // Big parts not taken by the box-stacking passes meet shape matching in pass 3.
    EXPECT_TRUE(multiStepPassTakes(ns, rectPart(0, 0, 400, 300), 3));
    EXPECT_TRUE(multiStepPassTakes(ns, rectPart(0, 0, 300, 250), 3));
    EXPECT_FALSE(multiStepPassTakes(ns, rectPart(0, 0, 200, 150), 3));
}

class MultiStepPlateTest : public test::NestFixture {
protected:
    MultiStepPlateTest()
    {
        ns.plateLength = 2000;
        ns.plateWidth = 1000;
        ns.prepareNestParts();
        ns.turnOver = false;
        ns.packingPointDistance = 20.0;
        ns.plates.push_back(ns.createPlate(0, 2000, 1000));
    }

    // Parked as prepareNestParts leaves the parts: box touching the origin from below.
    Part& add(const Part& part)
    {
        Part& added = NestFixture::add(part);
        added.translatePart(-added.box.max_X, -added.box.max_Y);
        return added;
    }
};

TEST_F(MultiStepPlateTest, NothingSelectedChangesNothingButRegeneratesTheGrid)
{
    add(rectPart(0, 0, 300, 200));
    EXPECT_FALSE(multiStepSelected(ns, ns.plates.front()));
    EXPECT_EQ(ns.unplacedCount(), 1);
    EXPECT_EQ(ns.packingPoints.columns, 101);
    EXPECT_EQ(ns.packingPoints.rows, 51);
}

// Pass 0 of the full layout compares the outer area with a quarter of the plate, the
// button the net area. With RN 0 no later pass can place the frame, so pass 0 decides.
TEST_F(MultiStepPlateTest, PassZeroWeighsTheOuterAreaInTheLayoutAndTheNetAreaOnTheButton)
{
    ns.rotationNumber = 0;
    // Outer area 1080000 and net area 440000 against a quarter plate of 500000.
    Part& frame = add(test::partOf(test::rectangle(0, 0, 1200, 900),
                                   {test::rectangle(200, 50, 800, 800)}));
    frame.selected = true;

    EXPECT_FALSE(multiStepSelected(ns, ns.plates.front()));
    EXPECT_EQ(frame.plateId, -1);
    EXPECT_TRUE(multiStepLayoutPlate(ns, ns.plates.front()));
    EXPECT_EQ(frame.plateId, 0);
}

TEST_F(MultiStepPlateTest, TheButtonCompactsSelectedPartsOnly)
{
    const Plate& p = ns.plates.front();
    Part& unselected = NestFixture::add(test::rectPart(500, 500, 100, 100), 0);
    Part& selected = NestFixture::add(test::rectPart(800, 300, 100, 100), 0);
    selected.selected = true;

    EXPECT_FALSE(multiStepSelected(ns, p));  // no part changed its plate
    EXPECT_EQ(unselected.box.min_X, 500);
    EXPECT_EQ(unselected.box.min_Y, 500);
    EXPECT_LT(selected.box.min_X, 0.01);
    EXPECT_LT(selected.box.min_Y, 0.01);

    // The full layout compacts every part on the plate: left, then down onto the other.
    EXPECT_TRUE(multiStepLayoutPlate(ns, p));
    EXPECT_LT(unselected.box.min_X, 0.01);
    EXPECT_NEAR(unselected.box.min_Y, 100, 0.02);
}

TEST_F(MultiStepPlateTest, SelectedPartsOnlyAndTheGridStays)
{
    Part& big = add(rectPart(0, 0, 1200, 900));
    Part& medium = add(polygonPart({{0, 0}, {300, 0}, {300, 100}, {100, 300}, {0, 300}}));
    Part& left = add(rectPart(0, 0, 100, 100));
    big.selected = medium.selected = true;

    EXPECT_TRUE(multiStepSelected(ns, ns.plates.front()));
    EXPECT_EQ(big.plateId, 0);
    EXPECT_EQ(medium.plateId, 0);
    EXPECT_EQ(left.plateId, -1);
    EXPECT_GT(ns.packingPoints.columns, 0);
    // The first big part sits in the lower left corner.
    EXPECT_NEAR(big.box.min_X, 0, 1e-6);
    EXPECT_NEAR(big.box.min_Y, 0, 1e-6);
    test::expectLegalLayout(ns);
}

// The passes run in their order whatever the list order: listed first, the 300 x 250 part
// of pass 2 would take the corner if pass 2 ran before pass 1.
TEST_F(MultiStepPlateTest, PassOnePlacesItsPartBeforePassTwo)
{
    Part& square = add(test::rectPart(0, 0, 300, 250));
    Part& huge = add(test::rectPart(0, 0, 400, 300));
    ASSERT_EQ(firstPass(ns, square), 2);
    ASSERT_EQ(firstPass(ns, huge), 1);

    EXPECT_TRUE(multiStepLayoutPlate(ns, ns.plates.front()));
    EXPECT_EQ(huge.plateId, 0);
    EXPECT_NEAR(huge.box.min_X, 0, 1e-6);
    EXPECT_NEAR(huge.box.min_Y, 0, 1e-6);
    EXPECT_EQ(square.plateId, 0);
    EXPECT_TRUE(square.box.min_X >= huge.box.max_X - 1e-6 || square.box.min_Y >= huge.box.max_Y - 1e-6);
    test::expectLegalLayout(ns);
}

TEST_F(MultiStepPlateTest, LayoutOfOnePlateIsLegalAndReleasesTheGrid)
{
    for (int i = 0; i < 3; ++i) add(rectPart(0, 0, 450, 320));                   // pass 1
    for (int i = 0; i < 3; ++i) add(rectPart(0, 0, 290, 260));                   // pass 2
    for (int i = 0; i < 4; ++i) add(polygonPart({{0, 0}, {500, 0}, {0, 280}}));  // pass 3
    for (int i = 0; i < 6; ++i) add(regularPolygon(12, 110));                    // pass 4
    for (int i = 0; i < 20; ++i) add(rectPart(0, 0, 60, 60));                    // pass 5
    sortByArea(ns.nestParts);

    EXPECT_TRUE(multiStepLayoutPlate(ns, ns.plates.front()));
    EXPECT_EQ(ns.unplacedCount(), 0);
    EXPECT_EQ(ns.packingPoints.columns, 0);
    test::expectLegalLayout(ns);
}

}  // namespace
}  // namespace orvo
