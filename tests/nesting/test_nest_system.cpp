#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <limits>

#include "base/text_encoding.h"
#include "nesting/nest_system.h"
#include "support/nest_fixture.h"
#include "support/shapes.h"

namespace orvo {
namespace {

using test::rectPart;

using NestSystemTest = test::NestFixture;

TEST_F(NestSystemTest, StartsWithTheDefaultsAndATimeStampInItsFolder)
{
    EXPECT_EQ(ns.rotationNumber, 4);
    EXPECT_DOUBLE_EQ(ns.packingPointDistance, 30.0);
    EXPECT_TRUE(ns.turnOver);
    EXPECT_TRUE(ns.plates.empty());
    EXPECT_EQ(ns.activePlate, nullptr);
    EXPECT_EQ(ns.packingPoints.columns, 0);
    EXPECT_TRUE(ns.packingPoints.points.empty());
    EXPECT_EQ(ns.outputPath("PartInfo.txt"), folder.file("PartInfo.txt"));
    EXPECT_TRUE(ns.errorReport().isOpen());
    const std::string report = test::readFile(folder.file("PackError.txt"));
    EXPECT_EQ(gbkToUtf8(report), "2026年12月8日, 9时5分7秒\r\n");
}

TEST_F(NestSystemTest, RotationNumberAboveTheBoundIsRefusedAndTheOldValueStays)
{
    EXPECT_TRUE(ns.setRotationNumber(360));
    EXPECT_TRUE(ns.setRotationNumber(0));  // accepted: every gravity placement then fails
    EXPECT_TRUE(ns.setRotationNumber(-5));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(ns.setRotationNumber(361));
    EXPECT_EQ(ns.rotationNumber, -5);
    ASSERT_EQ(platform.messages.size(), 1u);
    // The refusal names the bound; a bare "error" left the user guessing.
    EXPECT_EQ(platform.messages[0].text, "旋转次数错误! RN 不能大于 360");
    EXPECT_EQ(platform.messages[0].caption, "Warning!");
}

TEST_F(NestSystemTest, PackingPointDistanceIsCheckedAgainstTheStandardPlate)
{
    ns.plateLength = 9999;
    ns.plateWidth = 4999;
    EXPECT_TRUE(ns.setPackingPointDistance(1.0));  // 10000 x 5000 points: the limit
    EXPECT_TRUE(ns.setPackingPointDistance(12.5));
    // The refusal names the value and what is accepted.
    const std::pair<double, const char*> refused[] = {
        {0.0, "排样点错误! PPD 0 须为大于 0 的有限数值"},
        {-3.0, "排样点错误! PPD -3 须为大于 0 的有限数值"},
        {std::numeric_limits<double>::quiet_NaN(), "排样点错误! PPD nan 须为大于 0 的有限数值"},
        {std::numeric_limits<double>::infinity(), "排样点错误! PPD inf 须为大于 0 的有限数值"},
        {0.9999, "排样点错误! PPD 0.9999 过小: 标准板材 9999 x 4999 上 PPD 不能小于 0.99991"}};
    for (const auto& [ppd, message] : refused) {
        platform.messages.clear();
        EXPECT_FALSE(ns.setPackingPointDistance(ppd)) << ppd;
        EXPECT_DOUBLE_EQ(ns.packingPointDistance, 12.5);
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text, message);
        EXPECT_EQ(platform.messages[0].caption, "Warning!");
    }
    // The smallest PPD named is accepted.
    ns.plateLength = 3000;
    ns.plateWidth = 1500;
    EXPECT_FALSE(ns.setPackingPointDistance(0.3));
    EXPECT_EQ(platform.messages.back().text,
              "排样点错误! PPD 0.3 过小: 标准板材 3000 x 1500 上 PPD 不能小于 0.300003");
    EXPECT_TRUE(ns.setPackingPointDistance(0.300003));
}

// Parts: 0 and 1 on plate 0, 2 on plate 1, 3 unplaced.
class LayoutQueries : public NestSystemTest {
protected:
    void SetUp() override
    {
        ns.plateSpacing = 50;
        ns.plateGap = 10;
        ns.addPlate(1000, 500);  // x -1050..-50, y 0..500
        ns.addPlate(1000, 500);  // y 550..1050
        place(rectPart(-1000, 100, 200, 100, 0), 0);
        place(rectPart(-700, 100, 100, 300, 1), 0);
        place(rectPart(-1000, 600, 50, 50, 2), 1);
        place(rectPart(-100, -100, 10, 10, 3), -1);
    }
    void place(Part part, int32_t plateId)
    {
        part.plateId = plateId;
        ns.nestParts.push_back(part);
    }
    const Plate& plate(int32_t id) { return *ns.findPlate(id); }
};

TEST_F(LayoutQueries, AreasCountsAndEdges)
{
    EXPECT_EQ(ns.unplacedCount(), 1);
    EXPECT_FALSE(ns.plateIsEmpty(plate(0)));
    EXPECT_DOUBLE_EQ(ns.totalArea(), 20000 + 30000 + 2500 + 100);
    EXPECT_DOUBLE_EQ(ns.placedArea(), 20000 + 30000 + 2500);
    EXPECT_DOUBLE_EQ(ns.plateFreeArea(plate(0)), 980.0 * 480.0 - 50000);
    EXPECT_DOUBLE_EQ(ns.packedEdge(plate(0)), -600);
    EXPECT_DOUBLE_EQ(ns.packedEdge(plate(1)), -950);

    Plate& empty = ns.addPlate(1000, 500);
    EXPECT_TRUE(ns.plateIsEmpty(empty));
    EXPECT_DOUBLE_EQ(ns.packedEdge(empty), empty.outerBox.min_X);
    ns.nestParts.clear();
    EXPECT_TRUE(ns.plateIsEmpty(plate(0)));
    EXPECT_EQ(ns.unplacedCount(), 0);
}

TEST_F(LayoutQueries, FitsOnPlateNeedsTheInnerBoxAndNoCollisionOnThatPlate)
{
    EXPECT_TRUE(ns.fitsOnPlate(plate(0), rectPart(-400, 100, 100, 100)));
    EXPECT_FALSE(ns.fitsOnPlate(plate(0), rectPart(-1045, 100, 100, 100)));  // in the margin
    EXPECT_FALSE(ns.fitsOnPlate(plate(0), rectPart(-950, 150, 100, 100)));  // hits part 0
    // Only the plateId decides which parts count: part 2, moved by hand over plate 0,
    // still belongs to plate 1.
    EXPECT_FALSE(ns.fitsOnPlate(plate(1), rectPart(-990, 610, 50, 50)));
    std::next(ns.nestParts.begin(), 2)->translatePart(0, -500);  // now at y 100..150
    EXPECT_TRUE(ns.fitsOnPlate(plate(1), rectPart(-990, 610, 50, 50)));
}

TEST_F(LayoutQueries, FitsOnPlateExceptSkipsOnlyTheMemberItself)
{
    const Part& member = ns.nestParts.front();
    EXPECT_FALSE(ns.fitsOnPlate(plate(0), member));
    EXPECT_TRUE(ns.fitsOnPlateExcept(plate(0), member));
    const Part copy = member;  // equal shape, but not a member: collides with the original
    EXPECT_FALSE(ns.fitsOnPlateExcept(plate(0), copy));
}

TEST_F(LayoutQueries, SelectionAndReset)
{
    ns.plates.front().selected = true;
    ns.selectAllParts();
    for (const Part& part : ns.nestParts) EXPECT_TRUE(part.selected);
    ns.clearSelection();
    for (const Part& part : ns.nestParts) EXPECT_FALSE(part.selected);
    EXPECT_FALSE(ns.plates.front().selected);

    ns.nestParts.front().rotatePart({0, 0}, 0.3);
    const double angle = ns.nestParts.front().pose.rotationAngle;
    ns.resetLayout();
    for (const Part& part : ns.nestParts) {
        EXPECT_EQ(part.plateId, -1);
        EXPECT_NEAR(part.box.min_X, 0.0, 1e-9);
        EXPECT_NEAR(part.box.max_Y, 0.0, 1e-9);
    }
    EXPECT_DOUBLE_EQ(ns.nestParts.front().pose.rotationAngle, angle);
    EXPECT_EQ(ns.unplacedCount(), 4);
}

}  // namespace
}  // namespace orvo
