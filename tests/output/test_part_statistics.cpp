#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "nesting/nest_system.h"
#include "output/part_statistics.h"
#include "support/nest_fixture.h"
#include "support/shapes.h"

namespace orvo {
namespace {

// The table's lines as printf writes them, to check the writer character for character.
std::string headLine(int count, double total)
{
    char line[128];
    std::snprintf(line, sizeof line, "PartQuantity = %d, OrAreaOfAllPartsArea = %.3g\r\n", count, total);
    return line;
}

std::string headerLine()
{
    char line[128];
    int n = std::snprintf(line, sizeof line, "%15s", " ");
    std::snprintf(line + n, sizeof line - n, "%15s%15s%15s\r\n", "Quantity", "OrArea", "AreaRatio");
    return line;
}

std::string row(const char* name, int count, double area, double total)
{
    char line[128];
    std::snprintf(line, sizeof line, "%15s%15d%15.3g%14.1lf%%\r\n", name, count, area, area / total * 100);
    return line;
}

class PartStatistics : public test::NestFixture {
protected:
    void setWidth(double w)
    {
        ns.plateWidth = w;
        ns.bigArea = (w * 0.25) * (w * 0.25);
        ns.mediumArea = (w / 6) * (w / 6);
    }
    std::string write()
    {
        EXPECT_TRUE(writePartStatistics(ns, folder.file("PartInfo.txt")));
        return test::readFile(folder.file("PartInfo.txt"));
    }
};

TEST_F(PartStatistics, ClassesAtTheirThresholdsAndTheLinesOfPrintf)
{
    setWidth(3000);  // big from 562 500, medium from 250 000
    ns.nestParts.push_back(test::rectPart(0, 0, 750, 750));     // exactly big, square
    ns.nestParts.push_back(test::rectPart(0, 0, 500, 500));     // exactly medium
    ns.nestParts.push_back(test::rectPart(0, 0, 1, 249999));    // just small
    // An L filling 85 % of its box: small and not square.
    ns.nestParts.push_back(test::partOf(
        test::contourOf({{0, 0}, {100, 0}, {100, 50}, {70, 50}, {70, 100}, {0, 100}})));
    const double total = 562500 + 250000 + 249999 + 8500;
    const std::string expected = headLine(4, total) + headerLine() +
                                 row("BigPart", 1, 562500, total) + row("MediumPart", 1, 250000, total) +
                                 row("SmallPart", 2, 249999 + 8500, total) +
                                 row("SquarePart", 3, 562500 + 250000 + 249999, total) +
                                 row("Big&SquarePart", 1, 562500, total);
    EXPECT_EQ(write(), expected);
}

TEST_F(PartStatistics, TheBigRowOfTheExampleTable)
{
    setWidth(2000);  // big from 250 000
    for (int i = 0; i < 3; ++i) ns.nestParts.push_back(test::rectPart(0, 0, 410, 1000));
    for (int i = 0; i < 9; ++i) ns.nestParts.push_back(test::rectPart(0, 0, 1, 1470000.0 / 9));
    const std::string text = write();
    EXPECT_EQ(text.rfind("PartQuantity = 12, OrAreaOfAllPartsArea = 2.7e+06\r\n"
                         "                      Quantity         OrArea      AreaRatio\r\n"
                         "        BigPart              3       1.23e+06          45.6%\r\n",
                         0),
              0u);
}

// The area counted is that of the outer contour as it is now (grown), holes included;
// the fill ratio is the one the part carries.
TEST_F(PartStatistics, OuterAreaWithHolesAndTheCarriedFillRatio)
{
    setWidth(3000);
    Part framed = test::partOf(test::rectangle(0, 0, 800, 800), {test::rectangle(100, 100, 600, 600)});
    framed.fillRatio = 0.5;
    ns.nestParts.push_back(framed);
    const double total = 640000;
    EXPECT_EQ(write(), headLine(1, total) + headerLine() + row("BigPart", 1, total, total) +
                           row("MediumPart", 0, 0, total) + row("SmallPart", 0, 0, total) +
                           row("SquarePart", 0, 0, total) + row("Big&SquarePart", 0, 0, total));
}

TEST_F(PartStatistics, NoPartsGiveZeroRatios)
{
    setWidth(3000);
    const std::string text = write();
    EXPECT_EQ(text.rfind("PartQuantity = 0, OrAreaOfAllPartsArea = 0\r\n", 0), 0u);
    EXPECT_NE(text.find("        BigPart              0              0           0.0%\r\n"), std::string::npos);
}

TEST_F(PartStatistics, AFileThatCannotBeCreatedIsReported)
{
    EXPECT_FALSE(writePartStatistics(ns, folder.file("no/such/folder/PartInfo.txt")));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "零件信息文件输出错误! " +
                                             folder.file("no/such/folder/PartInfo.txt") +
                                             ": No such file or directory");
    EXPECT_EQ(platform.messages[0].caption, "Warning!");
}

}  // namespace
}  // namespace orvo
