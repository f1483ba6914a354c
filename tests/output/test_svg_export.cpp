#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <regex>

#include "output/svg_export.h"
#include "support/hand_layout.h"
#include "support/nest_fixture.h"
#include "support/shapes.h"

namespace orvo {
namespace {

using ::testing::HasSubstr;

int occurrences(const std::string& text, const std::string& what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

using SvgExport = test::NestFixture;

TEST_F(SvgExport, PlatesAndPlacedPartsInTheirColoursWithYUp)
{
    test::addPartType(ns, "DISC", test::makeLoop({{0, 0}, {100, 0}}, {50, 50}));
    test::addPartType(ns, "R&D<1>", test::rectangleLoop(0, 0, 200, 100));
    test::addPartType(ns, "AWAY", test::rectangleLoop(0, 0, 200, 100));
    test::addPlateAt(ns, 0, 0, 0, 1000, 500);
    test::placePart(ns, 0, 0, Point(100, 250));
    test::placePart(ns, 1, 0, Point(400, 300), 0.0, true);

    const std::string svg = layoutSvgText(ns);
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_THAT(svg, HasSubstr("</svg>"));
    EXPECT_EQ(occurrences(svg, "class=\"plate\""), 2);  // outer and inner box
    EXPECT_EQ(occurrences(svg, "class=\"part\""), 1);
    EXPECT_EQ(occurrences(svg, "class=\"turned\""), 1);
    EXPECT_THAT(svg, HasSubstr(".plate{stroke:#0000ff}"));
    // The two half circles of the disc are arcs of the enlarged radius.
    EXPECT_EQ(occurrences(svg, "A50.5 50.5 0 0 "), 2);
    EXPECT_THAT(svg, HasSubstr("<title>R&amp;D&lt;1&gt;</title>"));
    // The turned-over rectangle hangs below y = 300, which reads -300 .. -200 with y down.
    EXPECT_THAT(svg, HasSubstr("M400 -300L600 -300L600 -200L400 -200L400 -300Z"));
    // The plate's top edge (y = 500) is at the top of the picture.
    EXPECT_THAT(svg, HasSubstr("y=\"-500\" width=\"1000\" height=\"500\""));
    EXPECT_THAT(svg, HasSubstr(">ID=0 Plt, MaterialUtilization="));
}

TEST_F(SvgExport, EmptyLayoutIsStillAPicture)
{
    EXPECT_TRUE(exportLayoutSvg(ns, folder.file("empty.svg")));
    const std::string svg = test::readFile(folder.file("empty.svg"));
    EXPECT_TRUE(std::regex_search(svg, std::regex("viewBox=\"[-0-9.e+ ]+\"")));
    EXPECT_FALSE(exportLayoutSvg(ns, folder.file("no/folder.svg")));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].caption, "Warning!");
}

}  // namespace
}  // namespace orvo
