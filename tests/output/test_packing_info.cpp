#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <regex>

#include "output/packing_info.h"
#include "support/hand_layout.h"
#include "support/nest_fixture.h"
#include "support/shapes.h"

namespace orvo {
namespace {

using ::testing::ElementsAre;
using test::crlfLines;

class PackingInfo : public test::NestFixture {
protected:
    PackingInfo()
    {
        ns.partGap = 4;
        ns.plateGap = 5;
        test::addPartType(ns, "A", test::rectangleLoop(0, 0, 200, 100));
        test::addPartType(ns, "B", test::makeLoop({{0, 0}, {100, 0}, {100, 80}}, {0, 60, 0}));
        test::addPartType(ns, "C", test::rectangleLoop(0, 0, 50, 50),
                          {test::rectangleLoop(10, 10, 10, 10)});
    }

    // A layout with a rotated, a turned-over and rotated, and an unplaced part.
    void layOut()
    {
        test::addPlateAt(ns, 0, -3150, 0, 3000, 1500);
        test::addPlateAt(ns, 1, -3150, 1650, 3000, 1500);
        test::placePart(ns, 0, 0, Point(-3000, 100), kPi / 2);
        test::placePart(ns, 1, 1, Point(-2500, 1800), 0.3, true);
        ns.activePlate = &ns.plates.back();
    }

    std::string exportText()
    {
        const std::string path = folder.file("layout.pck");
        EXPECT_TRUE(exportPackingInfo(ns, path));
        return test::readFile(path);
    }
};

TEST_F(PackingInfo, EmptyLayoutIsTwoLinesAndImportsAsEmpty)
{
    ns.nestParts.clear();
    EXPECT_EQ(exportText(), "Plate Number=0\r\nPart Number=0\r\n");
    test::addPlateAt(ns, 4, 0, 0, 10, 10);
    ASSERT_TRUE(importPackingInfo(ns, folder.file("layout.pck")));
    EXPECT_TRUE(ns.plates.empty());
    EXPECT_TRUE(ns.nestParts.empty());
    EXPECT_EQ(ns.activePlate, nullptr);
}

TEST_F(PackingInfo, LinesFollowTheFormat)
{
    layOut();
    const std::vector<std::string> lines = crlfLines(exportText());
    ASSERT_EQ(lines.size(), 1u + 2 * 6 + 1 + 3 * 6);
    EXPECT_THAT(std::vector<std::string>(lines.begin(), lines.begin() + 7),
                ElementsAre("Plate Number=2", "PlateID=0", "\tPlate Box:",
                            "\tmin_X=-3150.00000000", "\tmax_X=-150.00000000",
                            "\tmin_Y=0.00000000", "\tmax_Y=1500.00000000"));
    EXPECT_EQ(lines[13], "Part Number=3");
    EXPECT_THAT(std::vector<std::string>(lines.begin() + 20, lines.end()),
                ElementsAre("PartID=1", "\tLocated PlateID=1", "\tMirrored=1",
                            "\tBasePt.x=-2500.00000000", "\tBasePt.y=1800.00000000",
                            "\tRotation Angle=0.30000000", "PartID=2", "\tLocated PlateID=-1",
                            "\tMirrored=0", "\tBasePt.x=0.00000000", "\tBasePt.y=0.00000000",
                            "\tRotation Angle=0.00000000"));
    EXPECT_EQ(lines[19], "\tRotation Angle=1.57079633");
}

TEST_F(PackingInfo, ExportImportExportGivesTheSameFile)
{
    layOut();
    const std::string first = exportText();
    const PartList before = ns.nestParts;
    ns.resetLayout();
    ns.plates.clear();
    ns.activePlate = nullptr;

    ASSERT_TRUE(importPackingInfo(ns, folder.file("layout.pck")));
    EXPECT_EQ(exportText(), first);
    EXPECT_TRUE(platform.messages.empty());
    ASSERT_EQ(ns.plates.size(), 2u);
    EXPECT_EQ(ns.activePlate, &ns.plates.front());
    EXPECT_EQ(ns.plates.front().label.text, "Plt");
    EXPECT_DOUBLE_EQ(ns.plates.front().innerBox.min_X, -3150 + 3.0);  // margin 5 - 4/2

    // The rebuilt parts lie where the exported ones lay, grown by half the gap as before.
    auto was = before.begin();
    for (const Part& part : ns.nestParts) {
        EXPECT_EQ(part.partId, was->partId);
        EXPECT_EQ(part.plateId, was->plateId);
        EXPECT_EQ(part.pose.mirrored, was->pose.mirrored);
        ASSERT_EQ(part.outer.count(), was->outer.count());
        for (int32_t i = 0; i < part.outer.count(); ++i) {
            EXPECT_NEAR(part.outer.vertex(i).x, was->outer.vertex(i).x, 1e-5);
            EXPECT_NEAR(part.outer.vertex(i).y, was->outer.vertex(i).y, 1e-5);
        }
        EXPECT_NEAR(part.netArea, was->netArea, 1e-6);
        ++was;
    }
}

TEST_F(PackingInfo, WhiteSpaceAndLineEndsAreFree)
{
    layOut();
    const std::string original = exportText();
    std::string loose = std::regex_replace(original, std::regex("\r\n"), "\n");
    loose = std::regex_replace(loose, std::regex("\t"), "    ");
    loose = std::regex_replace(loose, std::regex("="), "= ");
    test::writeFile(folder.file("loose.pck"), loose);

    ASSERT_TRUE(importPackingInfo(ns, folder.file("loose.pck")));
    EXPECT_EQ(exportText(), original);
}

TEST_F(PackingInfo, NoMarginWhenHalfThePartGapExceedsThePlateGap)
{
    ns.partGap = 10;
    ns.plateGap = 3;
    layOut();
    exportText();
    ASSERT_TRUE(importPackingInfo(ns, folder.file("layout.pck")));
    const Plate& plate = ns.plates.front();
    EXPECT_EQ(plate.innerBox.min_X, plate.outerBox.min_X);
    EXPECT_EQ(plate.innerBox.max_Y, plate.outerBox.max_Y);
}

TEST_F(PackingInfo, InvertedInnerBoxWarnsButImports)
{
    test::writeFile(folder.file("thin.pck"),
                     "Plate Number=1\nPlateID=3\n\tPlate Box:\n\tmin_X=0\n\tmax_X=4\n"
                     "\tmin_Y=0\n\tmax_Y=100\nPart Number=0\n");
    ASSERT_TRUE(importPackingInfo(ns, folder.file("thin.pck")));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "包围盒数据错误!");
    EXPECT_EQ(ns.plates.front().id, 3);
}

// A broken file, or one from another library, never costs the user the layout.
TEST_F(PackingInfo, BrokenFilesLeaveTheLayoutAsItWas)
{
    layOut();
    const std::string good = exportText();
    const Plate* active = ns.activePlate;
    auto replaced = [&good](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    struct Case {
        const char* what;
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {"empty file", "", "排样文件读取错误!"},
        {"misspelled key", replaced("BasePt.y", "BasePt.z"), "排样文件读取错误!"},
        {"missing key", replaced("\tPlate Box:\r\n", ""), "排样文件读取错误!"},
        {"too few plates", replaced("Plate Number=2", "Plate Number=3"), "排样文件读取错误!"},
        {"too many plates", replaced("Plate Number=2", "Plate Number=1"), "排样文件读取错误!"},
        {"too few parts", replaced("Part Number=3", "Part Number=4"), "排样文件读取错误!"},
        {"too many parts", replaced("Part Number=3", "Part Number=2"), "排样文件读取错误!"},
        {"negative count", replaced("Part Number=3", "Part Number=-1"), "排样文件读取错误!"},
        {"absurd count", replaced("Part Number=3", "Part Number=2147483647"),
         "排样文件读取错误!"},
        {"count overflows", replaced("Plate Number=2", "Plate Number=99999999999"),
         "排样文件读取错误!"},
        {"not a number", replaced("max_X=-150.00000000", "max_X=abc"), "排样文件读取错误!"},
        {"not finite", replaced("max_X=-150.00000000", "max_X=inf"), "排样文件读取错误!"},
        {"truncated", good.substr(0, good.size() / 2), "排样文件读取错误!"},
        {"unknown part", replaced("PartID=2", "PartID=9"), "零件ID信息错误!"},
    };
    for (const Case& c : cases) {
        platform.messages.clear();
        test::writeFile(folder.file("bad.pck"), c.text);
        EXPECT_FALSE(importPackingInfo(ns, folder.file("bad.pck"))) << c.what;
        ASSERT_EQ(platform.messages.size(), 1u) << c.what;
        EXPECT_EQ(platform.messages[0].text, c.message) << c.what;
        EXPECT_EQ(platform.messages[0].caption, "Warning!");
        EXPECT_EQ(exportText(), good) << c.what;
        EXPECT_EQ(ns.activePlate, active) << c.what;
    }

    platform.messages.clear();
    EXPECT_FALSE(importPackingInfo(ns, folder.file("missing.pck")));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "排样文件读取错误!");
}

TEST_F(PackingInfo, UnwritablePathGivesBothMessages)
{
    EXPECT_FALSE(exportPackingInfo(ns, folder.file("no/such/folder.pck")));
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0].text,
              "文件保存失败! " + folder.file("no/such/folder.pck") + ": No such file or directory");
    EXPECT_EQ(platform.messages[1].text, "有可能是当前存储介质无法写入,建议更换保存路径.");
}

}  // namespace
}  // namespace orvo
