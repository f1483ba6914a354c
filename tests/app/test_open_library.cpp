#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "app/open_library.h"
#include "nesting/nest_system.h"
#include "support/library_text.h"
#include "support/nest_fixture.h"

namespace orvo {
namespace {

class OpenLibrary : public test::NestFixture {
protected:
    std::vector<int32_t> nestPartIds() const
    {
        std::vector<int32_t> ids;
        for (const Part& part : ns.trueShapes) ids.push_back(part.partId);
        return ids;
    }

    // One warning with that text, and the NestSystem as it was (rotation number 7 set
    // before): no outline, no part, no library path, no part statistics written.
    void expectRefusedWith(const std::string& message)
    {
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text, message);
        EXPECT_EQ(platform.messages[0].caption, "Warning!");
        EXPECT_TRUE(ns.outlines.empty());
        EXPECT_TRUE(ns.nestParts.empty());
        EXPECT_TRUE(ns.libraryPath.empty());
        EXPECT_EQ(ns.rotationNumber, 7);
        EXPECT_FALSE(std::filesystem::exists(folder.file("PartInfo.txt")));
    }
};

TEST_F(OpenLibrary, AnUnreadableFileChangesNothing)
{
    ns.setRotationNumber(7);
    EXPECT_FALSE(openPartLibrary(ns, folder.file("missing.preSrc")));
    expectRefusedWith("零件数据文件读取失败!");
    EXPECT_DOUBLE_EQ(ns.packingPointDistance, 30.0);
}

// A negative part gap used to shrink every part, so that the cut outlines overlapped.
TEST_F(OpenLibrary, GapsBelowZeroOrNotFiniteAreTakenAsZeroWithAWarning)
{
    ASSERT_TRUE(openLibraryText("CONFIGINFO\npartToPartGap   =-4\npartToMplateGap =1e999\n"
                                "staPlate_0      =2500\nstaPlate_1      =1250\n_end_\n" +
                                test::partRecord("A", {test::rectLoop(0, 0, 100, 50)})));
    EXPECT_EQ(ns.partGap, 0.0);
    EXPECT_EQ(ns.plateGap, 0.0);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0].text, "间距数据错误, 按0处理!");
    EXPECT_EQ(platform.messages[0].caption, "Warning!");
    const Part& part = ns.nestParts.front();
    EXPECT_DOUBLE_EQ(part.box.max_X - part.box.min_X, 100.0);
}

// Plates of size 0, negative or 1e20 laid out every part unplaced (or on one base point)
// and exited 0; a gap of 1e20 as well. Such a library is refused before anything is taken.
TEST_F(OpenLibrary, PlateSizesAndGapsBeyondTheirBoundsRefuseTheLibrary)
{
    struct Case {
        std::string config;
        const char* message;
    };
    const Case cases[] = {
        {"", "板材尺寸错误! 板材长度 0 须在 0.001 到 1000000 mm 之间"},
        {test::configSection(5, 10, -3000, 1500, true),
         "板材尺寸错误! 板材长度 -3000 须在 0.001 到 1000000 mm 之间"},
        {test::configSection(5, 10, 3000, 1e20, true),
         "板材尺寸错误! 板材宽度 1e+20 须在 0.001 到 1000000 mm 之间"},
        {test::configSection(2e6, 10, 3000, 1500, true),
         "间距数据错误! partToPartGap 2000000 不能大于 1000000 mm"},
        {test::configSection(5, 1e20, 3000, 1500, true),
         "间距数据错误! partToMplateGap 1e+20 不能大于 1000000 mm"},
    };
    ns.setRotationNumber(7);
    for (const Case& c : cases) {
        platform.messages.clear();
        test::writeFile(folder.file("lib.preSrc"),
                        c.config + test::partRecord("A", {test::rectLoop(0, 0, 100, 50)}));
        EXPECT_EQ(openLibraryFile(ns, folder.file("lib.preSrc")), LibraryStatus::SettingRefused)
            << c.message;
        expectRefusedWith(c.message);
        EXPECT_EQ(ns.plateLength, 0.0);
    }
    EXPECT_EQ(openLibraryFile(ns, folder.file("missing.preSrc")), LibraryStatus::Unreadable);
    // A file without parts is refused as such, not for the configuration it lacks.
    platform.messages.clear();
    test::writeFile(folder.file("empty.preSrc"), "\r\r\r");
    NestSystem fresh(platform, folder.path());
    EXPECT_EQ(openLibraryFile(fresh, folder.file("empty.preSrc")), LibraryStatus::NoParts);
    EXPECT_TRUE(fresh.nestParts.empty());

    // The bounds themselves are taken.
    platform.messages.clear();
    test::writeFile(folder.file("lib.preSrc"),
                    test::configSection(1e6, 1e6, 1e6, 0.001, true) +
                        test::partRecord("A", {test::rectLoop(0, 0, 100, 50)}));
    EXPECT_EQ(openLibraryFile(ns, folder.file("lib.preSrc")), LibraryStatus::Opened);
    EXPECT_EQ(ns.plateLength, 1e6);
    EXPECT_EQ(ns.partGap, 1e6);
}

TEST_F(OpenLibrary, TakesTheFiveConfigurationValues)
{
    ASSERT_TRUE(openLibraryText(test::configSection(6, 12, 2500, 1250, false) +
                                test::partRecord("A", {test::rectLoop(0, 0, 100, 50)})));
    EXPECT_DOUBLE_EQ(ns.partGap, 6);
    EXPECT_DOUBLE_EQ(ns.plateGap, 12);
    EXPECT_DOUBLE_EQ(ns.plateLength, 2500);
    EXPECT_DOUBLE_EQ(ns.plateWidth, 1250);
    EXPECT_FALSE(ns.turnOver);
    EXPECT_DOUBLE_EQ(ns.config.staPlate_0, 2500);
    EXPECT_EQ(ns.libraryPath, libraryFile());
    EXPECT_EQ(ns.recordsRead, 1);
    EXPECT_EQ(ns.rotationNumber, 4);
}

// A record that fails its assembly keeps its position: later parts keep their partIds,
// and two records of the same name are two parts.
TEST_F(OpenLibrary, DroppedRecordsLeaveGapsInThePartIds)
{
    const std::string badLoop =
        "PARTINFO\nNameID=BAD\npointNum=4\n0,0,L,0,0,0,0,0\n1,0,L,0,0,1,0,0\n"
        "2,0,L,0,0,0,10,0\n3,0,L,0,0,0,10,10\n_end_\n";
    ASSERT_TRUE(openLibraryText(test::configSection(4, 6, 1000, 500, true) +
                                test::partRecord("SAME", {test::rectLoop(0, 0, 100, 50)}) + badLoop +
                                test::partRecord("SAME", {test::rectLoop(0, 0, 80, 50)})));
    EXPECT_EQ(nestPartIds(), (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(ns.recordNames, (std::vector<std::string>{"SAME", "BAD", "SAME"}));
    EXPECT_EQ(ns.trueShapes.front().label.text, "SAME");
    EXPECT_EQ(ns.trueShapes.back().label.text, "SAME");
    const std::string report = gbkToUtf8(test::readFile(folder.file("PackError.txt")));
    EXPECT_NE(report.find("以上错误发生于零件:BAD\r\n"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(folder.file("PartInfo.txt")));
}

TEST_F(OpenLibrary, TheFaultyArcsExampleKeepsThreeOfFiveParts)
{
    ASSERT_TRUE(openPartLibrary(ns, ORVO_SOURCE_DIR "/examples/bad_arc.preSrc"));
    // SHORT-ARC (1) fails its repair; TINY-ARC (2) is removed by the chord check.
    EXPECT_EQ(nestPartIds(), (std::vector<int32_t>{0, 3, 4}));
    EXPECT_EQ(ns.recordsRead, 5);
    const std::string report = gbkToUtf8(test::readFile(folder.file("PackError.txt")));
    EXPECT_NE(report.find("以上错误发生于零件:TINY-ARC"), std::string::npos);
    EXPECT_NE(report.find("以上错误发生于零件:SHORT-ARC"), std::string::npos);
    EXPECT_EQ(test::readFile(folder.file("PartInfo.txt")).rfind("PartQuantity = 3, ", 0), 0u);
}

// An empty, binary or CR-only file was taken as a library and the layout then failed
// with the unrelated "排样点错误!".
TEST_F(OpenLibrary, AFileWithoutPartsIsRefusedWithItsOwnMessage)
{
    const char elf[] = "\x7f" "ELF\x02\x01\x01\0\0\0\x03\0>\0\xff\xfe";
    const std::string binary(elf, sizeof elf - 1);
    for (const std::string& text : {std::string(), std::string("\r\r\r\r"), binary}) {
        test::writeFile(folder.file("lib.preSrc"), text);
        test::RecordingPlatform quiet;
        NestSystem fresh(quiet, folder.path());
        EXPECT_FALSE(openPartLibrary(fresh, folder.file("lib.preSrc")));
        ASSERT_EQ(quiet.messages.size(), 1u);
        EXPECT_EQ(quiet.messages[0].text, "零件数据文件中没有零件!");
        EXPECT_EQ(quiet.messages[0].caption, "Warning!");
    }
    // Records that were all faulty: the report holds the reasons.
    test::writeFile(folder.file("lib.preSrc"),
                    test::configSection(5, 10, 3000, 1500, true) +
                        test::partRecord("TINY", {{{0, 0, 0}, {1, 0, 0.8}, {1, 1, 0}}}));
    EXPECT_EQ(openLibraryFile(ns, folder.file("lib.preSrc")), LibraryStatus::NoParts);
    ASSERT_FALSE(platform.messages.empty());
    EXPECT_EQ(platform.messages.back().text, "零件数据文件中没有可用的零件, 原因见PackError.txt!");
    EXPECT_FALSE(std::filesystem::exists(folder.file("PartInfo.txt")));
}

}  // namespace
}  // namespace orvo
