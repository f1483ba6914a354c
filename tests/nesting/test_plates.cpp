#include <gtest/gtest.h>

#include <cmath>

#include "nesting/nest_system.h"
#include "support/nest_fixture.h"
#include "support/shapes.h"

namespace orvo {
namespace {

void expectBox(const BoundingBox& box, double minX, double maxX, double minY, double maxY)
{
    EXPECT_DOUBLE_EQ(box.min_X, minX);
    EXPECT_DOUBLE_EQ(box.max_X, maxX);
    EXPECT_DOUBLE_EQ(box.min_Y, minY);
    EXPECT_DOUBLE_EQ(box.max_Y, maxY);
}

class PlatesTest : public test::NestFixture {
protected:
    void SetUp() override
    {
        ns.plateLength = 3000;
        ns.plateSpacing = 150;
    }
};

struct MarginCase {
    double plateGap;
    double partGap;
    double margin;
};

class PlateMargin : public PlatesTest, public ::testing::WithParamInterface<MarginCase> {};

TEST_P(PlateMargin, InnerBoxIsShrunkByPlateGapLessHalfThePartGapButNeverGrown)
{
    ns.plateGap = GetParam().plateGap;
    ns.partGap = GetParam().partGap;
    const Plate plate = ns.createPlate(7, 1000, 500);
    const double m = GetParam().margin;
    EXPECT_EQ(plate.id, 7);
    EXPECT_EQ(plate.label.text, "Plt");
    EXPECT_FALSE(plate.selected);
    expectBox(plate.outerBox, 0, 1000, 0, 500);
    expectBox(plate.innerBox, m, 1000 - m, m, 500 - m);
    EXPECT_TRUE(platform.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Gaps, PlateMargin,
                         ::testing::Values(MarginCase{5, 4, 3}, MarginCase{1, 4, 0},
                                           MarginCase{10, 0, 10}, MarginCase{0, 0, 0},
                                           MarginCase{10, 5, 7.5}));

TEST_F(PlatesTest, ImpossibleBoxesAreReportedButThePlateIsStillMade)
{
    ns.plateGap = 300;
    const Plate plate = ns.createPlate(0, -10, 500);
    // Both the negative length and the inner box (margin larger than half the plate).
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0].text, "包围盒数据错误!");
    EXPECT_EQ(platform.messages[0].caption, "Warning!");
    expectBox(plate.outerBox, 0, -10, 0, 500);
    expectBox(plate.innerBox, 300, -310, 300, 200);
}

TEST_F(PlatesTest, AddPlateStartsLeftOfTheOriginAndStacksUpwards)
{
    ns.plateGap = 5;
    ns.partGap = 4;
    Plate& first = ns.addPlate(1000, 500);
    EXPECT_EQ(first.id, 0);
    expectBox(first.outerBox, -1150, -150, 0, 500);
    expectBox(first.innerBox, -1147, -153, 3, 497);
    EXPECT_EQ(ns.activePlate, &first);

    Plate& second = ns.addPlate(800, 400);
    EXPECT_EQ(second.id, 1);
    expectBox(second.outerBox, -1150, -350, 650, 1050);
    EXPECT_EQ(ns.activePlate, &second);
    EXPECT_EQ(&ns.plates.front(), &first);  // nodes do not move

    // The new id follows the last plate's, not the count.
    second.id = 41;
    EXPECT_EQ(ns.addPlate(100, 100).id, 42);
    expectBox(ns.platesBox(), -1150, -150, 0, 1300);
}

TEST_F(PlatesTest, PlatesBoxOfNoPlateIsZero)
{
    expectBox(ns.platesBox(), 0, 0, 0, 0);
    EXPECT_EQ(ns.findPlate(0), nullptr);
    EXPECT_EQ(ns.firstSelectedPlate(), nullptr);
}

TEST_F(PlatesTest, ResizeChangesOnlySelectedPlatesKeepsTheirMarginAndActivatesTheFirst)
{
    ns.plateGap = 10;
    Plate& a = ns.addPlate(1000, 500);
    Plate& b = ns.addPlate(1000, 500);
    Plate& c = ns.addPlate(1000, 500);
    ns.plateGap = 0;  // the margin a plate already has is kept, not recomputed
    ns.activePlate = &a;

    ns.resizeSelectedPlates(600, 300);
    EXPECT_EQ(ns.activePlate, &a);  // none selected: nothing changes
    expectBox(b.outerBox, -1150, -150, 650, 1150);

    b.selected = true;
    c.selected = true;
    ns.resizeSelectedPlates(600, 300);
    expectBox(a.outerBox, -1150, -150, 0, 500);
    expectBox(b.outerBox, -1150, -550, 650, 950);
    expectBox(b.innerBox, -1140, -560, 660, 940);
    expectBox(c.outerBox, -1150, -550, 1300, 1600);
    EXPECT_EQ(ns.activePlate, &b);
}

// Plates of size 0, negative, not a number or 1e20 wide gave layouts with every part
// unplaced, or parts whose coordinates were lost in the rounding.
TEST_F(PlatesTest, SizesOutsideTheBoundsAreRefusedAndChangeNoPlate)
{
    Plate& plate = ns.addPlate(1000, 500);
    plate.selected = true;
    const BoundingBox before = plate.outerBox;
    struct Case {
        double length;
        double width;
        const char* message;
    };
    const Case refused[] = {
        {0, 500, "板材尺寸错误! 板材长度 0 须在 0.001 到 1000000 mm 之间"},
        {-5, 500, "板材尺寸错误! 板材长度 -5 须在 0.001 到 1000000 mm 之间"},
        {1e20, 500, "板材尺寸错误! 板材长度 1e+20 须在 0.001 到 1000000 mm 之间"},
        {1000, 1000001, "板材尺寸错误! 板材宽度 1000001 须在 0.001 到 1000000 mm 之间"},
        {1000, 0.0009, "板材尺寸错误! 板材宽度 0.0009 须在 0.001 到 1000000 mm 之间"},
        {std::nan(""), 500, "板材尺寸错误! 板材长度 nan 须在 0.001 到 1000000 mm 之间"},
    };
    for (const Case& c : refused) {
        platform.messages.clear();
        EXPECT_FALSE(ns.acceptPlateSize(c.length, c.width)) << c.message;
        EXPECT_FALSE(ns.resizeSelectedPlates(c.length, c.width)) << c.message;
        expectBox(plate.outerBox, before.min_X, before.max_X, before.min_Y, before.max_Y);
        ASSERT_EQ(platform.messages.size(), 2u);
        EXPECT_EQ(platform.messages[1].text, c.message);
        EXPECT_EQ(platform.messages[1].caption, "Warning!");
    }
    platform.messages.clear();
    EXPECT_TRUE(ns.acceptPlateSize(1e6, 0.001));
    EXPECT_TRUE(ns.resizeSelectedPlates(1e6, 0.001));
    expectBox(plate.outerBox, before.min_X, before.min_X + 1e6, 0, 0.001);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(PlatesTest, ActivateFirstSelectedKeepsTheActivePlateWhenNoneIsSelected)
{
    Plate& a = ns.addPlate(100, 100);
    Plate& b = ns.addPlate(100, 100);
    ns.activateFirstSelectedPlate();
    EXPECT_EQ(ns.activePlate, &b);
    a.selected = true;
    b.selected = true;
    ns.activateFirstSelectedPlate();
    EXPECT_EQ(ns.activePlate, &a);
    EXPECT_EQ(ns.firstSelectedPlate(), &a);
    EXPECT_EQ(ns.findPlate(1), &b);
}

TEST_F(PlatesTest, RemovingTheActivePlateNeverLeavesItDangling)
{
    Plate& a = ns.addPlate(100, 100);
    Plate& b = ns.addPlate(100, 100);
    Plate& c = ns.addPlate(100, 100);
    ns.activePlate = &b;
    ns.removePlate(&c);  // not the active one
    EXPECT_EQ(ns.activePlate, &b);
    ns.removePlate(&b);
    EXPECT_EQ(ns.activePlate, &a);
    ns.removePlate(&a);
    EXPECT_EQ(ns.activePlate, nullptr);
    EXPECT_TRUE(ns.plates.empty());

    ns.addPlate(100, 100);
    ns.clearPlates();
    EXPECT_EQ(ns.activePlate, nullptr);
    EXPECT_TRUE(ns.plates.empty());
}

TEST_F(PlatesTest, RelocateGivesEachSelectedPartTheFirstPlateHoldingItsBox)
{
    Plate& a = ns.addPlate(1000, 500);  // x -1150..-150, y 0..500
    Plate& b = ns.addPlate(1000, 500);  // y 650..1150
    ns.nestParts.push_back(test::rectPart(-1000, 100, 100, 100, 0));
    ns.nestParts.push_back(test::rectPart(-1000, 700, 100, 100, 1));
    ns.nestParts.push_back(test::rectPart(-1000, 450, 100, 300, 2));  // straddles both
    ns.nestParts.push_back(test::rectPart(-1000, 100, 100, 100, 3));  // not selected
    for (Part& part : ns.nestParts) part.plateId = 9;
    for (Part& part : ns.nestParts) part.selected = part.partId != 3;

    ns.relocateSelectedParts();
    std::vector<int32_t> plateIds;
    for (const Part& part : ns.nestParts) plateIds.push_back(part.plateId);
    EXPECT_EQ(plateIds, (std::vector<int32_t>{a.id, b.id, -1, 9}));
}

}  // namespace
}  // namespace orvo
