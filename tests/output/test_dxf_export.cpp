#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>

#include "dxf/layout_fixture.h"
#include "output/dxf_export.h"
#include "support/recording_platform.h"

namespace orvo {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using test::crlfLines;

// One DXF entity: its kind and its group code / value pairs.
struct Entity {
    std::string kind;
    std::vector<std::pair<std::string, std::string>> groups;

    std::string get(const std::string& code) const
    {
        for (const auto& [c, v] : groups) {
            if (c == code) return v;
        }
        return "";
    }
    double num(const std::string& code) const { return std::stod(get(code)); }
};

// The entities of a written section (the frame lines are checked elsewhere).
std::vector<Entity> parseEntities(const std::string& text)
{
    const std::vector<std::string> lines = crlfLines(text);
    std::vector<Entity> entities;
    for (size_t i = 0; i + 1 < lines.size(); i += 2) {
        if (lines[i] == "  0") {
            if (lines[i + 1] == "SECTION" || lines[i + 1] == "ENDSEC" || lines[i + 1] == "EOF") {
                continue;
            }
            entities.push_back({lines[i + 1], {}});
        } else if (lines[i] == "  2") {
            continue;
        } else if (!entities.empty()) {
            entities.back().groups.emplace_back(lines[i], lines[i + 1]);
        }
    }
    return entities;
}

std::vector<Entity> ofKind(const std::vector<Entity>& all, const std::string& kind)
{
    std::vector<Entity> some;
    std::copy_if(all.begin(), all.end(), std::back_inserter(some),
                 [&](const Entity& e) { return e.kind == kind; });
    return some;
}

class DxfExport : public ::testing::Test {
protected:
    test::TempFolder folder;
    test::RecordingPlatform platform;
    NestSystem ns{platform, folder.path()};

    std::vector<Entity> plateEntities(const Plate& plate)
    {
        LineSink out;
        writePlateLayout(ns, plate, out);
        return parseEntities("  0\r\n" + out.text());
    }
};

TEST_F(DxfExport, EmptyPlateHasFramePackingLineAtLeftEdgeAndUnknownUtilisation)
{
    const Plate& plate = test::addPlateAt(ns, 0, 0, 0, 3000, 1500);
    const std::vector<Entity> all = plateEntities(plate);

    ASSERT_EQ(all.size(), 4u + 1u + 4u);
    const std::pair<Point, Point> frame[] = {{{0, 0}, {3000, 0}},
                                             {{3000, 0}, {3000, 1500}},
                                             {{3000, 1500}, {0, 1500}},
                                             {{0, 1500}, {0, 0}}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(all[i].kind, "LINE");
        EXPECT_EQ(all[i].get("  8"), "1");
        EXPECT_EQ(all[i].get(" 62"), "4");
        EXPECT_EQ(all[i].num(" 10"), frame[i].first.x);
        EXPECT_EQ(all[i].num(" 20"), frame[i].first.y);
        EXPECT_EQ(all[i].num(" 11"), frame[i].second.x);
        EXPECT_EQ(all[i].num(" 21"), frame[i].second.y);
    }
    const Entity& packingLine = all[4];
    EXPECT_EQ(packingLine.get(" 62"), "");
    EXPECT_EQ(packingLine.get(" 10"), "0");
    EXPECT_EQ(packingLine.get(" 11"), "0");
    EXPECT_EQ(packingLine.get(" 21"), "1500");

    const std::vector<Entity> texts = ofKind(all, "TEXT");
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].get("  1"), "ID=0,Name:Plt");
    EXPECT_EQ(texts[0].get(" 10"), "3000");
    EXPECT_EQ(texts[0].get(" 20"), "1500");
    EXPECT_EQ(texts[0].get(" 40"), "30");
    EXPECT_EQ(texts[1].get("  1"), "Length=3000 , Width=1500 ");
    EXPECT_EQ(texts[1].get(" 20"), "1440");
    EXPECT_EQ(texts[2].get("  1"), "PackingLength=0    , MaterialUtilization Unknown");
    EXPECT_EQ(texts[2].get(" 10"), "0");
    EXPECT_EQ(texts[2].get(" 20"), "1380");
    EXPECT_EQ(texts[3].get("  1"), "Packed Parts Number=0,Packed Parts Area=0");
    EXPECT_EQ(texts[3].get(" 20"), "1320");
    for (const Entity& t : texts) EXPECT_EQ(t.get("  8"), "1");
}

TEST_F(DxfExport, PlacedPartsAreDrawnInTheirPosesWithTheirColours)
{
    test::addPartType(ns, "PLAIN", test::rectangleLoop(0, 0, 200, 100));
    test::addPartType(ns, "TURNED", test::rectangleLoop(0, 0, 200, 100));
    test::addPartType(ns, "AWAY", test::rectangleLoop(0, 0, 200, 100));
    const Plate& plate = test::addPlateAt(ns, 7, 0, 0, 3000, 1500);
    test::placePart(ns, 0, 7, Point(300, 0), kPi / 2);
    test::placePart(ns, 1, 7, Point(400, 500), 0.0, true);
    test::placePart(ns, 2, 8, Point(0, 0));

    const std::vector<Entity> all = plateEntities(plate);
    std::vector<Entity> lines = ofKind(all, "LINE");
    ASSERT_EQ(lines.size(), 4u + 8u + 1u);
    for (int i = 4; i < 8; ++i) EXPECT_EQ(lines[i].get(" 62"), "3");
    for (int i = 8; i < 12; ++i) EXPECT_EQ(lines[i].get(" 62"), "2");
    // Rotated by 90 degrees about (300, 0): the 200 x 100 rectangle spans x 200..300.
    EXPECT_NEAR(lines[5].num(" 10"), 300, 1e-9);
    EXPECT_NEAR(lines[5].num(" 20"), 200, 1e-9);
    // Turned over about its reference point: it hangs below y = 500.
    EXPECT_NEAR(lines[10].num(" 20"), 400, 1e-9);

    const std::vector<Entity> texts = ofKind(all, "TEXT");
    ASSERT_EQ(texts.size(), 2u + 4u);
    EXPECT_EQ(texts[0].get("  1"), "PLAIN");
    EXPECT_EQ(texts[0].get("  8"), "2");
    EXPECT_EQ(texts[0].get(" 50"), "90");
    EXPECT_EQ(texts[1].get("  1"), "TURNED");
    EXPECT_EQ(texts[1].get("  8"), "2");
    // Packed edge at x = 600, two parts of 20000 each.
    EXPECT_EQ(lines[12].get(" 10"), "600");
    EXPECT_EQ(texts[4].get("  1"), "PackingLength=600  , MaterialUtilization=4.44 %");
    EXPECT_EQ(texts[4].get(" 10"), "600");
    EXPECT_EQ(texts[5].get("  1"), "Packed Parts Number=2,Packed Parts Area=40000");
}

TEST_F(DxfExport, ArcsAndHolesStayTrueArcsNeverCircles)
{
    // A disc of radius 50 from two half circles, with a square hole.
    test::addPartType(ns, "DISC", test::makeLoop({{0, 0}, {100, 0}}, {50, 50}),
                      {test::rectangleLoop(40, -10, 20, 20)});
    const Plate& plate = test::addPlateAt(ns, 0, 0, 0, 1000, 500);
    test::placePart(ns, 0, 0, Point(100, 250), 0.0, true);

    const std::vector<Entity> all = plateEntities(plate);
    EXPECT_TRUE(ofKind(all, "CIRCLE").empty());
    const std::vector<Entity> arcs = ofKind(all, "ARC");
    ASSERT_EQ(arcs.size(), 2u);
    for (const Entity& arc : arcs) {
        EXPECT_EQ(arc.get(" 62"), "2");
        EXPECT_NEAR(arc.num(" 40"), 50.5, 1e-9);  // a chord equal to the diameter gains 0.5
        EXPECT_NEAR(arc.num(" 10"), 150, 1e-6);
        EXPECT_NEAR(std::abs(arc.num(" 20") - 250), std::sqrt(50.5 * 50.5 - 2500), 1e-3);
    }
    EXPECT_EQ(ofKind(all, "LINE").size(), 4u + 4u + 1u);
}

TEST_F(DxfExport, PickedPlatesGetOneFileEachAndTheNotice)
{
    test::addPlateAt(ns, 0, 0, 0, 100, 50);
    test::addPlateAt(ns, 1, 0, 60, 100, 50).selected = true;

    EXPECT_TRUE(exportPickedPlates(ns));
    EXPECT_FALSE(std::filesystem::exists(folder.file("PltID=0.dxf")));
    const std::string text = test::readFile(folder.file("PltID=1.dxf"));
    EXPECT_EQ(text.substr(0, 34), "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\n");
    EXPECT_EQ(text.substr(text.size() - 18), "ENDSEC\r\n  0\r\nEOF\r\n");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "拾取母板的排样图已生成");
    EXPECT_EQ(platform.messages[0].caption, "提示!");

    ns.plates.back().selected = false;
    platform.messages.clear();
    EXPECT_TRUE(exportPickedPlates(ns));
    ASSERT_EQ(platform.messages.size(), 1u);
}

TEST_F(DxfExport, AllPlatesInOneFileAtTheirOwnCoordinates)
{
    test::addPlateAt(ns, 0, -2100, 0, 2000, 1000);
    test::addPlateAt(ns, 1, -2100, 1100, 2000, 1000);

    EXPECT_TRUE(exportAllPlates(ns));
    const std::vector<Entity> all = parseEntities(test::readFile(folder.file("AllPlts.dxf")));
    EXPECT_EQ(all.size(), 2u * 9u);
    EXPECT_EQ(all[9].get(" 10"), "-2100");
    EXPECT_EQ(all[9].get(" 20"), "1100");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "所有母板的排样图\"AllPlts.dxf\"已生成");
    EXPECT_EQ(platform.messages[0].caption, "提示!");
}

TEST_F(DxfExport, PartFileHoldsThePolygonLabelAndReferencePoint)
{
    test::addPartType(ns, "SQ", test::rectangleLoop(10, 20, 50, 50));
    EXPECT_TRUE(exportPartFiles(ns));
    const std::vector<Entity> all = parseEntities(test::readFile(folder.file("SQ.dxf")));
    std::vector<std::string> kinds;
    for (const Entity& e : all) kinds.push_back(e.kind);
    EXPECT_THAT(kinds, ElementsAre("LINE", "LINE", "LINE", "LINE", "TEXT", "POINT"));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(all[i].get("  8"), "0");
    EXPECT_EQ(all[4].get("  8"), "2");
    EXPECT_EQ(all[4].get("  1"), "SQ");
    const Point first = ns.trueShapes.front().outer.vertex(0);
    EXPECT_EQ(all[5].num(" 10"), first.x);
    EXPECT_EQ(all[5].num(" 20"), first.y);
    EXPECT_TRUE(platform.messages.empty());
}

TEST(PartFileName, NamesFromTheLibraryStayInsideTheOutputFolder)
{
    struct Case {
        std::string label;
        std::string file;
    };
    const Case cases[] = {
        {"Flange-12", "Flange-12.dxf"},
        {"../../etc/passwd", ".._.._etc_passwd.dxf"},
        {"C:\\temp\\x", "C__temp_x.dxf"},
        {"a*b?c\"d<e>f|g", "a_b_c_d_e_f_g.dxf"},
        {"tab\there\x7F", "tab_here_.dxf"},
        {"", "part_5.dxf"},
        {".", "part_5.dxf"},
        {"..", "part_5.dxf"},
        {".hidden", ".hidden.dxf"},
        // GBK characters whose second byte is '\' (0x5C) or '|' (0x7C) are kept whole.
        {"\xD5\x5C\xB1\x7C", "\xD5\x5C\xB1\x7C.dxf"},
        // A lone lead byte before a separator is not a character: the '/' goes.
        {"\xD5/", "\xD5_.dxf"},
    };
    for (const Case& c : cases) EXPECT_EQ(partFileName(c.label, 5), c.file) << c.label;
}

TEST_F(DxfExport, UnwritableFileWarnsAndStopsTheCommand)
{
    test::addPartType(ns, "A", test::rectangleLoop(0, 0, 10, 10));
    test::addPlateAt(ns, 0, 0, 0, 100, 50).selected = true;
    std::filesystem::create_directory(folder.file("AllPlts.dxf"));
    std::filesystem::create_directory(folder.file("PltID=0.dxf"));
    std::filesystem::create_directory(folder.file("A.dxf"));

    EXPECT_FALSE(exportAllPlates(ns));
    EXPECT_FALSE(exportPickedPlates(ns));
    EXPECT_FALSE(exportPartFiles(ns));
    ASSERT_EQ(platform.messages.size(), 3u);
    const char* const names[] = {"AllPlts.dxf", "PltID=0.dxf", "A.dxf"};
    for (size_t i = 0; i < 3; ++i) {
        const auto& m = platform.messages[i];
        EXPECT_EQ(m.text, "排样文件输出失败! " + folder.file(names[i]) + ": Is a directory");
        EXPECT_EQ(m.caption, "Warning!");
    }
    EXPECT_TRUE(ns.plates.front().selected);
}

}  // namespace
}  // namespace orvo
