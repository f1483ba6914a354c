#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <cmath>
#include <string>

#include "output/dxf_writer.h"
#include "support/temp_folder.h"

namespace orvo {
namespace {

using ::testing::ElementsAreArray;
using test::crlfLines;

TEST(DxfWriter, EmptyFileIsTheEightFrameLines)
{
    LineSink out;
    beginDxfEntities(out);
    endDxfEntities(out);
    EXPECT_EQ(out.text(), "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n");
}

TEST(DxfWriter, OneColouredLineFileHasTwentySixLines)
{
    LineSink out;
    beginDxfEntities(out);
    writeDxfColouredLine(out, Point(0, 0), Point(100, 0), 1, 4);
    endDxfEntities(out);
    EXPECT_THAT(crlfLines(out.text()),
                ElementsAreArray({"  0", "SECTION", "  2", "ENTITIES", "  0", "LINE", "  8", "1",
                                  " 62", "4", " 10", "0", " 20", "0", " 30", "0.0", " 11", "100",
                                  " 21", "0", " 31", "0.0", "  0", "ENDSEC", "  0", "EOF"}));
}

TEST(DxfWriter, LineWithoutColourHasNoColourGroup)
{
    LineSink out;
    writeDxfLine(out, Point(1.5, -2), Point(3, 4), 0);
    EXPECT_THAT(crlfLines(out.text()),
                ElementsAreArray({"LINE", "  8", "0", " 10", "1.5", " 20", "-2", " 30", "0.0",
                                  " 11", "3", " 21", "4", " 31", "0.0", "  0"}));
}

TEST(DxfWriter, ArcWritesItsDegreesUnchanged)
{
    LineSink out;
    writeDxfArc(out, Arc{Point(10, 3.2016), 10.5, 342.5, 377.25}, 1, 2);
    EXPECT_THAT(crlfLines(out.text()),
                ElementsAreArray({"ARC", "  8", "1", " 62", "2", " 10", "10", " 20", "3.2016",
                                  " 30", "0.0", " 40", "10.5", " 50", "342.5", " 51", "377.25",
                                  "  0"}));
}

TEST(DxfWriter, TextHasAnIntegerZAndItsBytesVerbatim)
{
    LineSink out;
    const std::string gbkName = "\xC1\xE3\xBC\xFE A,b";  // GBK bytes, a space and a comma
    writeDxfText(out, gbkName, 2, 3000, 1440, 30, 0);
    EXPECT_THAT(crlfLines(out.text()),
                ElementsAreArray(std::vector<std::string>{"TEXT", "  8", "2", " 10", "3000", " 20",
                                                          "1440", " 30", "0", " 40", "30", "  1",
                                                          gbkName, " 50", "0", "  0"}));
}

// A part name with a lone CR (a library line may hold one) used to split the text value
// over two lines, so that every group code after it was read as a value.
TEST(DxfWriter, LineBreakInATextNeverSplitsTheValue)
{
    LineSink out;
    writeDxfText(out, "A\rB\nC", 2, 0, 0, 10, 0);
    const std::vector<std::string> lines = crlfLines(out.text());
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[12], "A B C");
    EXPECT_EQ(lines[13], " 50");
}

TEST(DxfWriter, PointHasTenLines)
{
    LineSink out;
    writeDxfPoint(out, Point(-7, 0.25), 0);
    EXPECT_THAT(crlfLines(out.text()), ElementsAreArray({"POINT", "  8", "0", " 10", "-7", " 20",
                                                         "0.25", " 30", "0.0", "  0"}));
}

// Numbers used to be written with six significant digits ("%g"), so that edges on plates
// far to the left of the origin were off by up to a millimetre. They keep the "%g" form
// (no trailing zeros, exponents for tiny values) with twelve digits, and more from 1e6 on.
TEST(DxfWriter, CoordinatesKeepSixDecimalsInTheFormOfPercentG)
{
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {1500, "1500"},
        {1234.5678, "1234.5678"},
        {0.5, "0.5"},
        {0.00001, "1e-05"},
        {0.000012, "1.2e-05"},
        {123456789, "123456789"},
        {2999.9996, "2999.9996"},
        {2999.995, "2999.995"},
        {1.0 / 3.0, "0.333333333333"},
        {-12600.123456789, "-12600.1234568"},
        {-497123.45678912, "-497123.456789"},
        {-1234567.1234567, "-1234567.123457"},
        {1e20, "1e+20"},
    };
    for (const Case& c : cases) {
        LineSink out;
        writeDxfPoint(out, Point(c.value, 0), 0);
        EXPECT_EQ(crlfLines(out.text()).at(4), c.text) << c.value;
    }
}

TEST(DxfWriter, EveryNumberReadsBackWithinAMillionthOfAMillimetre)
{
    for (double magnitude = 1e-3; magnitude < 1e16; magnitude *= 7.3) {
        for (const double value : {magnitude / 3.0, -magnitude * 0.7071067811865476}) {
            const std::string text = formatDxfNumber(value);
            EXPECT_EQ(text.find(','), std::string::npos);
            const double back = std::stod(text);
            // Beyond 1e11 the double itself is coarser than 1e-6: there it must read back as itself.
            if (std::fabs(value) < 1e11) {
                EXPECT_LE(std::fabs(back - value), 5e-7) << text;
            } else {
                EXPECT_EQ(back, value) << text;
            }
        }
    }
}

// An arc's end points come from its centre, radius and angles: the angles carry enough
// digits for end points within 1e-6 mm on radii up to 1e8 mm.
TEST(DxfWriter, ArcAnglesCarryFifteenDigits)
{
    LineSink out;
    writeDxfArc(out, Arc{Point(0, 0), 1e6, 100.0 / 3.0, 359.123456789012345}, 1, 3);
    const std::vector<std::string> lines = crlfLines(out.text());
    EXPECT_EQ(lines.at(14), "33.3333333333333");
    EXPECT_EQ(lines.at(16), "359.123456789012");
    EXPECT_EQ(lines.at(12), "1000000");
}

}  // namespace
}  // namespace orvo
