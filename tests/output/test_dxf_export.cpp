#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "app/open_library.h"
#include "nesting/layout_all.h"
#include "support/library_text.h"
#include "output/dxf_export.h"
#include "support/hand_layout.h"
#include "support/nest_fixture.h"
#include "support/shapes.h"

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

class DxfExport : public test::NestFixture {
protected:
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

TEST(PartFileName, NamesFromTheLibraryStayInsideTheOutputFolderInUtf8)
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
        // GBK names become UTF-8 ("垫片-1"); a GBK character whose second byte is '\' (0x5C)
        // or '|' (0x7C) is one character, not a separator ("誠眧").
        {"\xB5\xE6\xC6\xAC-1", "垫片-1.dxf"},
        {"\xD5\x5C\xB1\x7C", "誠眧.dxf"},
        // A UTF-8 name stays as it is; a '\' after a multi-byte character used to be taken
        // for the second byte of a GBK character and kept.
        {"垫片-1", "垫片-1.dxf"},
        {"垫\\1", "垫_1.dxf"},
        // Neither UTF-8 nor GBK: the bytes stay, a lone lead byte before a separator is no
        // character and the '/' goes.
        {"\xD5/", "\xD5_.dxf"},
        {"\xFF\xD5\x5C", "\xFF\xD5\x5C.dxf"},
    };
    for (const Case& c : cases) EXPECT_EQ(partFileName(c.label, 5), c.file) << c.label;
}

TEST_F(DxfExport, GbkPartNameGivesAUtf8FileAndTheDrawingKeepsTheNameBytes)
{
    const std::string gbkName = "\xB5\xE6\xC6\xAC-1";  // 垫片-1 as a GBK library holds it
    test::addPartType(ns, gbkName, test::rectangleLoop(0, 0, 40, 20));
    EXPECT_TRUE(exportPartFiles(ns));

    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        if (entry.path().extension() == ".dxf") files.push_back(entry.path().filename());
    }
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].string(), "垫片-1.dxf");  // the bytes of the name as the folder lists it
    const std::vector<Entity> all = parseEntities(test::readFile(folder.file(files[0].string())));
    ASSERT_EQ(ofKind(all, "TEXT").size(), 1u);
    EXPECT_EQ(ofKind(all, "TEXT")[0].get("  1"), gbkName);
}

// Part drawings used to replace each other on equal names, and a part could replace a
// plate drawing of the same run.
TEST_F(DxfExport, PartDrawingsNeverReplaceEachOtherNorThePlateDrawings)
{
    const char* names[] = {"A", "A", "a/b", "a_b", "AllPlts", "PltID=0", "a", "A (2)", "pltid=7",
                           "PltID=x"};
    double width = 10;
    for (const char* name : names) test::addPartType(ns, name, test::rectangleLoop(0, 0, width++, 5));
    EXPECT_THAT(partFileNames(ns),
                ElementsAre("A.dxf", "A (2).dxf", "a_b.dxf", "a_b (2).dxf", "AllPlts (2).dxf",
                            "PltID=0 (2).dxf", "a (3).dxf", "A (2) (2).dxf", "pltid=7 (2).dxf",
                            "PltID=x.dxf"));

    test::addPlateAt(ns, 0, 0, 0, 100, 50).selected = true;
    ASSERT_TRUE(exportAllPlates(ns));
    ASSERT_TRUE(exportPickedPlates(ns));
    const std::string allPlates = test::readFile(folder.file("AllPlts.dxf"));
    const std::string plate = test::readFile(folder.file("PltID=0.dxf"));
    ASSERT_TRUE(exportPartFiles(ns));
    EXPECT_EQ(test::readFile(folder.file("AllPlts.dxf")), allPlates);
    EXPECT_EQ(test::readFile(folder.file("PltID=0.dxf")), plate);
    // Each part in its own file: the drawing of the k-th part is k + 10 wide.
    width = 10;
    for (const std::string& file : partFileNames(ns)) {
        const std::vector<Entity> lines = ofKind(parseEntities(test::readFile(folder.file(file))), "LINE");
        ASSERT_EQ(lines.size(), 4u) << file;
        double minX = lines[0].num(" 10"), maxX = minX;
        for (const Entity& line : lines) {
            minX = std::min(minX, line.num(" 10"));
            maxX = std::max(maxX, line.num(" 10"));
        }
        EXPECT_EQ(maxX - minX, width++) << file;
    }
}

// A library of tilted bars with an arc edge and a hole, one bar per plate, so that the
// plates run in columns far to the left of the origin.
std::string farPlatesLibrary(int parts)
{
    std::string text = test::configSection(5, 5, 3000, 400, true);
    for (int k = 0; k < parts; ++k) {
        const double w = 2000 + 13.7 * k, h = 300 - 1.3 * k, tilt = (3.0 + 7.0 * k) * kPi / 180.0;
        const double c = std::cos(tilt), s = std::sin(tilt);
        auto at = [&](double x, double y, double radius) {
            return test::LoopVertex{x * c - y * s, x * s + y * c, radius};
        };
        const std::vector<test::LoopVertex> outer = {at(0, 0, 0), at(w, 0, 0.8 * h), at(w, h, 0),
                                                     at(0, h, 0)};
        const std::vector<test::LoopVertex> hole = {at(0.2 * w, 0.3 * h, 0), at(0.4 * w, 0.3 * h, 0),
                                                    at(0.4 * w, 0.7 * h, 0), at(0.2 * w, 0.7 * h, 0)};
        text += test::partRecord("BAR" + std::to_string(k), {outer, hole});
    }
    return text;
}

// The outline carried to the part's pose, computed here on its own: turned over about the
// horizontal through the outline's basePt, moved to the part's basePt, rotated about it.
Point posed(Point v, const PartOutline& outline, const Part& part)
{
    const Point from = outline.pose.basePt, to = part.pose.basePt;
    if (part.pose.mirrored) v.y = 2.0 * from.y - v.y;
    const double dx = v.x - from.x, dy = v.y - from.y;
    const double c = std::cos(part.pose.rotationAngle), s = std::sin(part.pose.rotationAngle);
    return Point(to.x + c * dx - s * dy, to.y + s * dx + c * dy);
}

Point arcEnd(const Entity& arc, const char* angleCode)
{
    const double a = arc.num(angleCode) * kPi / 180.0;
    return Point(arc.num(" 10") + arc.num(" 40") * std::cos(a), arc.num(" 20") + arc.num(" 40") * std::sin(a));
}

double gap(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

// Numbers of six significant digits put the edges of plates at x near -12,600 up to 0.05 mm
// away from the placed parts; a cutting machine cuts what the drawing says.
TEST_F(DxfExport, EdgesOnPlatesFarFromTheOriginLieWithinAMillionthOfTheTrueOutline)
{
    test::writeFile(folder.file("far.preSrc"), farPlatesLibrary(22));
    ASSERT_TRUE(openPartLibrary(ns, folder.file("far.preSrc")));
    layoutAll(ns, LayoutMethod::Gravity);
    ASSERT_EQ(ns.unplacedCount(), 0);
    ASSERT_GE(ns.plates.size(), 16u);
    EXPECT_LT(ns.plates.back().outerBox.min_X, -12000.0);

    ASSERT_TRUE(exportAllPlates(ns));
    const std::vector<Entity> all = parseEntities(test::readFile(folder.file("AllPlts.dxf")));
    size_t next = 0;
    int edgesChecked = 0;
    double farthest = 0.0;
    for (const Plate& plate : ns.plates) {
        next += 4;  // the frame
        for (const Part& part : ns.nestParts) {
            if (part.plateId != plate.id) continue;
            const auto found = std::find_if(ns.outlines.begin(), ns.outlines.end(),
                                            [&](const PartOutline& o) { return o.partId == part.partId; });
            ASSERT_NE(found, ns.outlines.end());
            const PartOutline& outline = *found;
            std::vector<const OutlineLoop*> loops = {&outline.outer};
            for (const OutlineLoop& hole : outline.holes) loops.push_back(&hole);
            for (const OutlineLoop* loop : loops) {
                const int32_t n = loop->count();
                for (int32_t i = 0; i < n; ++i) {
                    ASSERT_LT(next, all.size());
                    const Entity& edge = all[next++];
                    const Point from = posed(loop->vertex(i), outline, part);
                    const Point to = posed(loop->vertex(i + 1 < n ? i + 1 : 0), outline, part);
                    farthest = std::max(farthest, std::fabs(from.x));
                    if (loop->radii[static_cast<size_t>(i)] == 0.0) {
                        ASSERT_EQ(edge.kind, "LINE");
                        EXPECT_LE(gap(Point(edge.num(" 10"), edge.num(" 20")), from), 1e-6);
                        EXPECT_LE(gap(Point(edge.num(" 11"), edge.num(" 21")), to), 1e-6);
                    } else {
                        ASSERT_EQ(edge.kind, "ARC");
                        const Point start = arcEnd(edge, " 50"), end = arcEnd(edge, " 51");
                        EXPECT_LE(std::min(std::max(gap(start, from), gap(end, to)),
                                           std::max(gap(start, to), gap(end, from))),
                                  1e-6);
                    }
                    ++edgesChecked;
                }
            }
            ASSERT_EQ(all.at(next++).kind, "TEXT");  // the part's label
        }
        next += 1 + 4;  // the packing-length line and the annotations
    }
    EXPECT_EQ(next, all.size());
    EXPECT_EQ(edgesChecked, 22 * 8);
    EXPECT_GT(farthest, 12000.0);
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
