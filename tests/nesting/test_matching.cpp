#include <gtest/gtest.h>

#include "geometry/contour.h"
#include "geometry/part.h"
#include "geometry/overlap.h"
#include "nesting/matching.h"
#include "nesting/nest_system.h"
#include "support/nest_fixture.h"
#include "support/shapes.h"

namespace orvo {
namespace {

using test::polygonPart;
using test::rectPart;

TEST(SharesDimension, SidesWithinOnePercentOfTheFirstPartsSide)
{
    struct Case {
        double wa, ha, wb, hb;
        bool shared;
    };
    const Case cases[] = {
        {100, 40, 100.9, 70, true},   // widths 0.9 % apart
        {100, 40, 101, 70, false},    // exactly 1 % is not less
        {100, 40, 70, 100.5, true},   // a's width against b's height
        {40, 100, 99.2, 70, true},    // a's height against b's width
        {40, 100, 70, 99.5, true},    // heights
        {101, 40, 100, 70, true},     // 1 / 101 is measured on a's side
        {100, 40, 60, 70, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sharesDimension(rectPart(0, 0, c.wa, c.ha), rectPart(0, 0, c.wb, c.hb)),
                  c.shared)
            << c.wa << " x " << c.ha << " against " << c.wb << " x " << c.hb;
    }
}

TEST(UnionBoxArea, EnclosesBothBoxes)
{
    EXPECT_DOUBLE_EQ(unionBoxArea(rectPart(0, 0, 10, 10), rectPart(20, 5, 10, 10)), 450.0);
    EXPECT_DOUBLE_EQ(unionBoxArea(rectPart(0, 0, 10, 10), rectPart(2, 2, 3, 3)), 100.0);
}

class MatchingTest : public test::NestFixture {
protected:
    MatchingTest()
    {
        ns.turnOver = false;
        ns.rotationNumber = 4;
        ns.packingPointDistance = 10.0;
    }

    const Plate& addPlate(double length, double width)
    {
        ns.plates.push_back(ns.createPlate(0, length, width));
        return ns.plates.back();
    }
};

// A triangle 800 x 500 in the corner of a plate exactly 500 high, so that only the right
// position fits; the part beside it has its lower left corner cut off by `cut`, and
// pushed left it stops with that corner on the triangle's corner, sticking out
// length - cut beyond the packed edge at x 800.
struct LengthRuleCase {
    double length;
    double cut;
    bool ok;
};

TEST_F(MatchingTest, LengthRuleKeepsSmallPartsFromStickingOutToTheRight)
{
    const LengthRuleCase cases[] = {
        {800, 200, false},   // box area 400000, 600 beyond the edge, more than 400
        {800, 450, true},    // 350 beyond the edge
        {1000, 250, true},   // box area 500000: no length rule
    };
    for (const LengthRuleCase& c : cases) {
        ns.nestParts.clear();
        ns.plates.clear();
        const Plate& p = addPlate(3000, 500);
        const Part& q = add(polygonPart({{0, 0}, {800, 0}, {0, 500}}), 0);
        Part& part = add(polygonPart({{c.cut, 0}, {c.length, 0}, {c.length, 500}, {0, 500}}));
        part.translatePart(-2000, -1000);

        const MatchCandidate m = matchPlace(ns, 0.1, p, q, part);
        EXPECT_EQ(m.ok, c.ok) << c.length << " cut " << c.cut;
        EXPECT_EQ(shapeMatchPlace(ns, p, part, 0.1), c.ok);
        if (!c.ok) {
            EXPECT_EQ(part.plateId, -1);
            continue;
        }
        EXPECT_EQ(part.plateId, 0);
        EXPECT_NEAR(part.box.min_X, 800 - c.cut, 0.011);
        EXPECT_NEAR(part.box.min_Y, 0, 1e-9);
        EXPECT_TRUE(partsDisjoint(q, part));
        // Boxes overlap by cut x 500 against box areas of part and triangle.
        EXPECT_NEAR(m.score, c.cut * 500, 500 * 0.011);
    }
}

// The part is placed where its fit test passed: the candidate's tested copy fits, and the
// placed part lies on it.
TEST_F(MatchingTest, MatchedPartLiesOnTheOutlineItsFitTestPassed)
{
    const Plate& p = addPlate(3000, 500);
    const Part& q = add(polygonPart({{0, 0}, {800, 0}, {0, 500}}), 0);
    Part& part = add(polygonPart({{450, 0}, {800, 0}, {800, 500}, {0, 500}}));
    part.translatePart(-2000, -1000);

    const MatchCandidate m = matchPlace(ns, 0.1, p, q, part);
    ASSERT_TRUE(m.ok);
    EXPECT_TRUE(ns.fitsOnPlate(p, m.tested));
    ASSERT_TRUE(shapeMatchPlace(ns, p, part, 0.1));
    EXPECT_TRUE(ns.fitsOnPlateExcept(p, part));
    EXPECT_EQ(part.pose.mirrored, m.tested.pose.mirrored);
    ASSERT_EQ(part.outer.count(), m.tested.outer.count());
    for (int32_t i = 0; i < part.outer.count(); ++i) {
        EXPECT_NEAR(part.outer.vertex(i).x, m.tested.outer.vertex(i).x, 1e-9);
        EXPECT_NEAR(part.outer.vertex(i).y, m.tested.outer.vertex(i).y, 1e-9);
    }
}

TEST_F(MatchingTest, AcceptanceNeedsTheSavedAreaToReachTheToleranceShare)
{
    const Plate& p = addPlate(3000, 500);
    const Part& q = add(polygonPart({{0, 0}, {800, 0}, {0, 500}}), 0);
    const Part& part = add(polygonPart({{450, 0}, {800, 0}, {800, 500}, {0, 500}}));
    // Saved 225000 of an empty box area of 0.28125 * 400000 + 0.5 * 400000 = 312500.
    EXPECT_TRUE(matchPlace(ns, 0.7, p, q, part).ok);
    EXPECT_FALSE(matchPlace(ns, 0.75, p, q, part).ok);
}

TEST_F(MatchingTest, RectanglesAreNeverShapeMatched)
{
    const Plate& p = addPlate(1000, 500);
    const Part& q = add(rectPart(0, 0, 300, 100), 0);
    const Part& twin = add(rectPart(-300, -100, 300, 100));
    EXPECT_FALSE(matchPlace(ns, 0.0, p, q, twin).ok);
    const Part& triangle = add(polygonPart({{-300, -100}, {0, -100}, {-300, 0}}));
    EXPECT_FALSE(matchPlace(ns, 0.0, p, q, triangle).ok);
}

// Which parts share a side decides the method; the strict cascade never falls back to
// the gravity placement.
TEST_F(MatchingTest, CascadeChoosesByTwinsOnThePlateAndStillWaiting)
{
    struct Case {
        bool placedTwin;
        bool waitingTwin;
        bool strictPlaces;
    };
    const Case cases[] = {
        {true, false, false},  // only shape matching, which refuses rectangles
        {true, true, true},    // box-stacked beside the placed twin
        {false, true, true},   // box-stacked so that the waiting twin can follow
        {false, false, false}, // gravity only
    };
    for (const Case& c : cases) {
        for (bool strict : {true, false}) {
            ns.nestParts.clear();
            ns.plates.clear();
            const Plate& p = addPlate(1000, 500);
            add(c.placedTwin ? rectPart(0, 0, 300, 100) : rectPart(0, 0, 170, 130), 0);
            Part& part = add(rectPart(-300, -100, 300, 100));
            add(c.waitingTwin ? rectPart(-100, -300, 100, 300) : rectPart(-90, -90, 90, 90));
            ns.generatePackingPoints(p);

            const bool placed = strict ? matchOrStackStrict(ns, p, part, 0.1)
                                       : matchOrStack(ns, p, part, 0.1);
            const bool expected = strict ? c.strictPlaces : true;
            EXPECT_EQ(placed, expected) << c.placedTwin << c.waitingTwin << strict;
            EXPECT_EQ(part.plateId, expected ? 0 : -1);
            if (placed) {
                EXPECT_TRUE(ns.fitsOnPlateExcept(p, part));
            }
        }
    }
}

TEST_F(MatchingTest, ShapeMatchSelectedWorksOnSelectedUnplacedPartsOnly)
{
    const Plate& p = addPlate(1000, 500);
    Part& selected = add(rectPart(-100, -100, 100, 100));
    Part& other = add(rectPart(-100, -100, 100, 100));
    selected.selected = true;
    EXPECT_TRUE(shapeMatchSelected(ns, p));
    EXPECT_EQ(selected.plateId, 0);
    EXPECT_EQ(other.plateId, -1);
    EXPECT_FALSE(shapeMatchSelected(ns, p));
}

}  // namespace
}  // namespace orvo
