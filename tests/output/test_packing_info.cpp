#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <filesystem>
#include <regex>

#include "app/open_library.h"
#include "nesting/layout_all.h"
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

    // The part blocks of the three part types, on no plate.
    static std::string unplacedBlocks()
    {
        std::string text;
        for (int id = 0; id < 3; ++id) {
            text += "PartID=" + std::to_string(id) +
                    "\n\tLocated PlateID=-1\n\tMirrored=0\n\tBasePt.x=0\n\tBasePt.y=0\n"
                    "\tRotation Angle=0\n";
        }
        return text;
    }
};

TEST_F(PackingInfo, EmptyLayoutIsTwoLinesAndImportsAsEmpty)
{
    // A library without parts: an import must hold every part of the library.
    ns.nestParts.clear();
    ns.trueShapes.clear();
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
                     "\tmin_Y=0\n\tmax_Y=100\nPart Number=3\n" + unplacedBlocks());
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
        {"truncated", good.substr(0, good.size() / 2), "排样文件读取错误!"},
        // Files that read but do not match the library: the first offending entry is named.
        {"not finite", replaced("max_X=-150.00000000", "max_X=inf"),
         "排样文件数据错误! 第 1 个板材块 (PlateID=0): max_X=inf 不是有限数值"},
        {"unknown part", replaced("PartID=2", "PartID=9"),
         "零件ID信息错误! 第 3 个零件块 (PartID=9): 零件库中没有此零件"},
        {"part block twice", replaced("PartID=1", "PartID=0"),
         "零件ID信息错误! 第 2 个零件块 (PartID=0): 与第 1 个零件块重复"},
        {"missing part", replaced("Part Number=3", "Part Number=2").substr(0, good.find("PartID=2")),
         "零件ID信息错误! 零件库中的零件 PartID=2 (C) 在排样文件中没有零件块"},
        {"plate id without a plate", replaced("Located PlateID=1", "Located PlateID=7"),
         "排样文件数据错误! 第 2 个零件块 (PartID=1): Located PlateID=7 没有对应的板材"},
        {"repeated plate id", replaced("PlateID=1\r\n", "PlateID=0\r\n"),
         "排样文件数据错误! 第 2 个板材块 (PlateID=0): PlateID 重复出现"},
        {"negative plate id", replaced("PlateID=0\r\n", "PlateID=-2\r\n"),
         "排样文件数据错误! 第 1 个板材块 (PlateID=-2): PlateID 不能为负"},
        {"inverted plate", replaced("max_X=-150.00000000", "max_X=-4000"),
         "排样文件数据错误! 第 1 个板材块 (PlateID=0): 包围盒颠倒: min_X -3150 大于 max_X -4000"},
        {"plate too long", replaced("min_X=-3150.00000000", "min_X=-3000000"),
         "排样文件数据错误! 第 1 个板材块 (PlateID=0): 板材长度 2999850 须大于 0 且不大于 1000000 mm"},
        {"plate of no width", replaced("max_Y=1500.00000000", "max_Y=0"),
         "排样文件数据错误! 第 1 个板材块 (PlateID=0): 板材宽度 0 须大于 0 且不大于 1000000 mm"},
        {"plate far away", replaced("min_Y=1650.00000000", "min_Y=-2e9"),
         "排样文件数据错误! 第 2 个板材块 (PlateID=1): min_Y=-2000000000 超出范围 ±1000000000"},
        {"pose far away", replaced("BasePt.x=-2500.00000000", "BasePt.x=1e308"),
         "排样文件数据错误! 第 2 个零件块 (PartID=1): BasePt.x=1e+308 超出范围 ±1000000000"},
        {"huge rotation", replaced("Rotation Angle=0.30000000", "Rotation Angle=-1e300"),
         "排样文件数据错误! 第 2 个零件块 (PartID=1): Rotation Angle=-1e+300 超出范围 ±1000000"},
        {"rotation not a number", replaced("Rotation Angle=0.30000000", "Rotation Angle=nan"),
         "排样文件数据错误! 第 2 个零件块 (PartID=1): Rotation Angle=nan 不是有限数值"},
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

// A layout edited by hand may hold parts on top of each other or off their plate: it is
// taken as it is, and the warning lists them.
TEST_F(PackingInfo, OverlappingAndOffPlatePartsAreTakenWithAWarning)
{
    layOut();
    const std::string good = exportText();
    std::string text = good;
    // Part 1 onto plate 0, where it lies outside; part 2 onto part 0.
    text.replace(text.find("Located PlateID=1"), 17, "Located PlateID=0");
    const size_t last = text.find("PartID=2");
    text.replace(last, std::string::npos,
                 "PartID=2\n\tLocated PlateID=0\n\tMirrored=0\n\tBasePt.x=-3000\n"
                 "\tBasePt.y=100\n\tRotation Angle=1.57079633\n");
    test::writeFile(folder.file("edited.pck"), text);

    ASSERT_TRUE(importPackingInfo(ns, folder.file("edited.pck")));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              "排样文件已读入, 但有 2 处零件重叠或超出板材: PartID=0 与 PartID=2 重叠; PartID=1 超出板材 0");
    EXPECT_EQ(platform.messages[0].caption, "Warning!");
    const LayoutConflicts conflicts = findLayoutConflicts(ns);
    EXPECT_THAT(conflicts.overlapping, ElementsAre(std::pair(0, 2)));
    EXPECT_THAT(conflicts.offPlate, ElementsAre(std::pair(1, 0)));

    // The layout as saved has none.
    platform.messages.clear();
    test::writeFile(folder.file("good.pck"), good);
    ASSERT_TRUE(importPackingInfo(ns, folder.file("good.pck")));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(findLayoutConflicts(ns).empty());
}

// A layout at the bounds (a plate of the largest size at the farthest coordinate, the
// largest angle) is written and taken again unchanged.
TEST_F(PackingInfo, ALayoutAtTheBoundsIsTakenAgain)
{
    const double far = -NestSystem::kMaxCoordinate;
    test::addPlateAt(ns, 0, far, 0, NestSystem::kMaxPlateSize, NestSystem::kMaxPlateSize);
    test::placePart(ns, 0, 0, Point(far + 500, 500), NestSystem::kMaxRotationAngle);
    const std::string first = exportText();
    ASSERT_TRUE(importPackingInfo(ns, folder.file("layout.pck")));
    EXPECT_EQ(exportText(), first);
    ASSERT_TRUE(importPackingInfo(ns, folder.file("layout.pck")));
    EXPECT_TRUE(platform.messages.empty());
}

// The 8 decimals of the file move parts that the layout set in contact by a rounding:
// a saved layout of a benchmark library used to come back with parts "overlapping".
TEST(PackingInfoRoundTrip, ASavedLayoutOfPartsInContactComesBackWithoutConflicts)
{
    const std::string library = std::string(ORVO_BENCHMARK_DIR) + "/gardeyn/gardeyn0.preSrc";
    if (!std::filesystem::exists(library)) GTEST_SKIP() << "no benchmark libraries";
    test::TempFolder folder;
    test::RecordingPlatform platform;
    NestSystem ns(platform, folder.path());
    ASSERT_TRUE(openPartLibrary(ns, library));
    for (const LayoutMethod method : {LayoutMethod::Gravity, LayoutMethod::MultiStep}) {
        layoutAll(ns, method);
        ASSERT_TRUE(findLayoutConflicts(ns).empty());
        ASSERT_TRUE(exportPackingInfo(ns, folder.file("layout.pck")));
        platform.messages.clear();
        ASSERT_TRUE(importPackingInfo(ns, folder.file("layout.pck")));
        EXPECT_TRUE(platform.messages.empty());
        EXPECT_TRUE(findLayoutConflicts(ns).empty());
    }
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
