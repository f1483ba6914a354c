#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <filesystem>

#include "base/text_encoding.h"
#include "output/packing_report.h"
#include "support/hand_layout.h"
#include "support/nest_fixture.h"
#include "support/shapes.h"

namespace orvo {
namespace {

using ::testing::ElementsAre;
using test::crlfLines;

class PackingReport : public test::NestFixture {
protected:
    PackingReport() { ns.plateGap = 0; }

    std::vector<std::string> report()
    {
        EXPECT_TRUE(writePackingReport(ns, folder.file("Report.txt")));
        return crlfLines(test::readFile(folder.file("Report.txt")));
    }
    std::vector<bool> selection() const
    {
        std::vector<bool> flags;
        for (const Part& part : ns.nestParts) flags.push_back(part.selected);
        return flags;
    }
};

TEST_F(PackingReport, LengthDensityAreaAndCountOfTheTrueShapes)
{
    ns.partGap = 10;  // the nesting parts are grown; the report measures the true shapes
    test::addPartType(ns, "BIG", test::rectangleLoop(0, 0, 2400, 1125));
    test::addPlateAt(ns, 0, 0, 0, 3000, 1500);
    test::placePart(ns, 0, 0, Point(0, 0));

    EXPECT_THAT(report(), ElementsAre("Packed length:2400", "Packing density=75%",
                                      "Area of all parts=2.7e+06", utf8ToGbk("已排样零件数量=") + "1",
                                      utf8ToGbk("已排样零件:"), "BIG"));
}

TEST_F(PackingReport, OverlappingPartsAreSelectedAndStillListed)
{
    for (const char* name : {"P1", "P2", "P3"}) {
        test::addPartType(ns, name, test::rectangleLoop(0, 0, 100, 100));
    }
    test::addPlateAt(ns, 0, 0, 0, 1000, 500);
    test::placePart(ns, 0, 0, Point(10, 10));
    test::placePart(ns, 1, 0, Point(300, 10));
    test::placePart(ns, 2, 0, Point(350, 50));
    ns.nestParts.front().selected = true;

    const std::vector<std::string> lines = report();
    EXPECT_EQ(lines.back(), "P1,P2,P3");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "活动母板内零件冲突!");
    EXPECT_EQ(platform.messages[0].caption, "Warning!");
    EXPECT_THAT(selection(), ElementsAre(false, true, true));
}

TEST_F(PackingReport, PartOutsideTheInnerBoxConflicts)
{
    ns.plateGap = 20;
    test::addPartType(ns, "EDGE", test::rectangleLoop(0, 0, 100, 100));
    test::addPlateAt(ns, 0, 0, 0, 1000, 500);
    test::placePart(ns, 0, 0, Point(5, 50));
    report();
    EXPECT_THAT(selection(), ElementsAre(true));
}

TEST_F(PackingReport, WaitingPartOverThePlateIsSelectedButNotCounted)
{
    test::addPartType(ns, "ON", test::rectangleLoop(0, 0, 100, 100));
    test::addPartType(ns, "OVER", test::rectangleLoop(0, 0, 100, 100));
    test::addPartType(ns, "AWAY", test::rectangleLoop(0, 0, 100, 100));
    test::addPlateAt(ns, 0, 0, 0, 1000, 500);
    test::placePart(ns, 0, 0, Point(0, 0));
    test::placePart(ns, 1, -1, Point(500, 200));
    test::placePart(ns, 2, -1, Point(2000, 200));

    const std::vector<std::string> lines = report();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "待排零件与活动母板冲突!");
    EXPECT_THAT(selection(), ElementsAre(false, true, false));
    EXPECT_EQ(lines[3], utf8ToGbk("已排样零件数量=") + "1");
    EXPECT_EQ(lines.back(), "ON");
}

TEST_F(PackingReport, NamesAreWrittenTenToALine)
{
    test::addPlateAt(ns, 0, 0, 0, 3000, 1500);
    for (int i = 0; i < 23; ++i) {
        test::addPartType(ns, std::string("N").append(std::to_string(i)),
                          test::rectangleLoop(0, 0, 50, 50));
        test::placePart(ns, i, 0, Point(100.0 * (i % 10), 100.0 * (i / 10)));
    }
    const std::vector<std::string> lines = report();
    ASSERT_EQ(lines.size(), 5u + 3u);
    EXPECT_EQ(lines[5], "N0,N1,N2,N3,N4,N5,N6,N7,N8,N9");
    EXPECT_EQ(lines[6], "N10,N11,N12,N13,N14,N15,N16,N17,N18,N19");
    EXPECT_EQ(lines[7], "N20,N21,N22");
}

TEST_F(PackingReport, EmptyPlateHasZeroDensityAndNoNameLine)
{
    test::addPlateAt(ns, 0, 0, 0, 3000, 1500);
    EXPECT_THAT(report(), ElementsAre("Packed length:0", "Packing density=0%",
                                      "Area of all parts=0", utf8ToGbk("已排样零件数量=") + "0",
                                      utf8ToGbk("已排样零件:")));
}

TEST_F(PackingReport, PartsLeftOfThePlateDoNotShortenTheLength)
{
    test::addPartType(ns, "LEFT", test::rectangleLoop(0, 0, 100, 100));
    test::addPlateAt(ns, 0, 1000, 0, 3000, 1500);
    test::placePart(ns, 0, 0, Point(500, 0));
    EXPECT_EQ(report()[0], "Packed length:0");
}

TEST_F(PackingReport, WithoutActivePlateNothingIsWritten)
{
    EXPECT_FALSE(showPackingReport(ns));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].caption, "Warning!");
    EXPECT_FALSE(std::filesystem::exists(folder.file("Report.txt")));
    EXPECT_TRUE(platform.openedFiles.empty());
}

TEST_F(PackingReport, ShownReportIsOpenedInTheViewer)
{
    test::addPlateAt(ns, 0, 0, 0, 3000, 1500);
    EXPECT_TRUE(showPackingReport(ns));
    EXPECT_THAT(platform.openedFiles, ElementsAre(folder.file("Report.txt")));

    std::filesystem::remove(folder.file("Report.txt"));
    std::filesystem::create_directory(folder.file("Report.txt"));
    platform.openedFiles.clear();
    EXPECT_FALSE(showPackingReport(ns));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].caption, "Warning!");
    EXPECT_TRUE(platform.openedFiles.empty());
}

}  // namespace
}  // namespace orvo
