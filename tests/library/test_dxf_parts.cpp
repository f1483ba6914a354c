#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "library/assembly.h"
#include "library/discretise.h"
#include "library/dxf_loops.h"
#include "library/dxf_parts.h"
#include "library/error_report.h"
#include "output/dxf_export.h"
#include "output/dxf_writer.h"
#include "support/hand_layout.h"
#include "support/nest_session.h"
#include "support/shapes.h"
#include "support/temp_folder.h"

namespace orvo {
namespace {

const std::string kData = std::string(ORVO_SOURCE_DIR) + "/tests/library/data/dxf/";

struct Measured {
    double area = 0.0;       // outer minus holes, arcs exact
    double perimeter = 0.0;  // of the vertex polygons
    int holes = 0;
    BoundingBox box;         // of the outer loop
};

// What a record holds, worked out from its loops as a library opening cuts them.
Measured measure(const PartRecord& record)
{
    const std::optional<OutlineLoopList> loops = scanLoops(record);
    EXPECT_TRUE(loops.has_value()) << record.nameId;
    Measured m;
    if (!loops) return m;
    double largest = 0.0, sum = 0.0;
    for (const OutlineLoop& loop : *loops) {
        const double a = std::fabs(loopArea(loop));
        if (a > largest) {
            // Arcs cut within 0.01 mm: the chords of n rounded down stay within 0.04 mm.
            Contour outer = loopToContour(loop, 0.01);
            m.box = contourBox(outer);
        }
        largest = std::max(largest, a);
        sum += a;
        for (int32_t i = 0; i < loop.count(); ++i) {
            m.perimeter += distance(loop.vertex(i), loop.vertex((i + 1) % loop.count()));
        }
    }
    m.area = 2.0 * largest - sum;
    m.holes = loops->count() - 1;
    return m;
}

// A report of its own in a fresh folder; its lines as UTF-8.
struct Report {
    test::TempFolder folder;
    ErrorReport report{folder.path()};

    std::vector<std::string> lines() const
    {
        std::vector<std::string> out;
        std::istringstream in(gbkToUtf8(test::readFile(folder.file(ErrorReport::kFileName))));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            out.push_back(line);
        }
        return out;
    }
    int skipped() const
    {
        const std::vector<std::string> all = lines();
        return static_cast<int>(std::count_if(all.begin(), all.end(), [](const std::string& l) {
            return l.find("未读入!") != std::string::npos;
        }));
    }
};

struct ExpectedPart {
    double area = 0.0;
    int holes = 0;
    BoundingBox box;
};

struct Expected {
    std::vector<ExpectedPart> parts;
    int faults = 0;
};

std::map<std::string, Expected> readExpectations()
{
    std::map<std::string, Expected> all;
    std::ifstream in(kData + "expected.txt");
    for (std::string kind, file; in >> kind >> file;) {
        if (kind == "part") {
            ExpectedPart part;
            in >> part.area >> part.holes >> part.box.min_X >> part.box.min_Y >> part.box.max_X >> part.box.max_Y;
            all[file].parts.push_back(part);
        } else {
            in >> all[file].faults;
        }
    }
    return all;
}

bool boxesNear(const BoundingBox& a, const BoundingBox& b, double tol)
{
    return std::fabs(a.min_X - b.min_X) <= tol && std::fabs(a.max_X - b.max_X) <= tol &&
           std::fabs(a.min_Y - b.min_Y) <= tol && std::fabs(a.max_Y - b.max_Y) <= tol;
}

DxfParts read(const std::string& file, Report& report, const DxfPartOptions& options = {})
{
    return readDxfParts(kData + file, options, report.report);
}

// Every drawing of the test set (written by ezdxf, R12 to R2018) gives the parts that
// ezdxf and shapely find in it: the same number, and each with its hole count, area and
// place. Lines and arcs are exact; ellipses and splines are chords within the chord
// tolerance.
TEST(DxfParts, ReadsTheDrawingsOfAnotherProgramAsItsGeneratorSeesThem)
{
    const std::map<std::string, Expected> expectations = readExpectations();
    ASSERT_EQ(expectations.size(), 6u);
    for (const auto& [file, expected] : expectations) {
        Report report;
        const DxfParts parts = read(file, report);
        ASSERT_TRUE(parts.readable) << file << ": " << parts.fault;
        std::vector<Measured> got;
        for (const PartRecord& record : parts.parts) got.push_back(measure(record));
        ASSERT_EQ(got.size(), expected.parts.size()) << file;
        const bool curves = file.find("spline") != std::string::npos;
        // ezdxf flattens to 0.001 mm; chords of sagitta h cut at most about h times the
        // perimeter off an area.
        const double h = curves ? DxfPartOptions().chordTolerance : 0.001;
        for (const ExpectedPart& want : expected.parts) {
            const auto match = std::find_if(got.begin(), got.end(), [&](const Measured& m) {
                return m.holes == want.holes && std::fabs(m.area - want.area) <= h * m.perimeter &&
                       boxesNear(m.box, want.box, h + 0.05);
            });
            EXPECT_NE(match, got.end()) << file << ": no part of area " << want.area << " with "
                                        << want.holes << " holes at " << want.box.min_X << ","
                                        << want.box.min_Y;
            if (match != got.end()) got.erase(match);
        }
        EXPECT_EQ(report.skipped(), expected.faults) << file;
    }
}

// The records are library records: each builds without repair, and its arcs pass the
// chord check, so opening them as a library keeps every part.
TEST(DxfParts, RecordsBuildAsLibraryOutlinesWithoutRepair)
{
    for (const char* file : {"r12_lines_arcs.dxf", "r2000_bulges.dxf", "r2010_spline_ellipse.dxf",
                             "r2018_inserts.dxf", "r2000_inches.dxf"}) {
        Report report;
        const DxfParts parts = read(file, report);
        PartOutlineList outlines;
        for (const PartRecord& record : parts.parts) {
            EXPECT_TRUE(precheckRecord(record, report.report)) << file << " " << record.nameId;
            PartOutline outline;
            ASSERT_TRUE(assembleOutline(record, outline, false, report.report));
            outlines.push_back(outline);
        }
        dropBadOutlines(outlines, report.report);
        EXPECT_EQ(outlines.size(), parts.parts.size()) << file;
        EXPECT_TRUE(report.lines().empty()) << file << ": " << report.lines().front();
    }
}

// Arcs stay arcs: the slot's half circles of radius 30 become two arcs each (no half
// circle in a record), the circle hole three arcs of radius 12, counter-clockwise on the
// outer boundary and clockwise on the hole.
TEST(DxfParts, ArcsAndBulgesBecomeSignedRadii)
{
    Report report;
    const DxfParts parts = read("r12_lines_arcs.dxf", report);
    ASSERT_EQ(parts.parts.size(), 3u);
    const PartRecord& slot = parts.parts[0];
    EXPECT_EQ(slot.nameId, "r12_lines_arcs-1");
    EXPECT_EQ(parts.parts[2].nameId, "r12_lines_arcs-3");
    std::map<double, int> radii;
    const OutlineLoopList slotLoops = scanLoops(slot).value();
    for (const OutlineLoop& loop : slotLoops) {
        for (double r : loop.radii) {
            if (r != 0.0) ++radii[std::round(r * 1e6) / 1e6];
        }
    }
    EXPECT_THAT(radii, testing::ElementsAre(testing::Pair(-12.0, 3), testing::Pair(30.0, 4)));

    // A polyline bulge of 1 (a half circle from (150, 0) to (150, 80)) and one of -0.4.
    const DxfParts bulges = read("r2000_bulges.dxf", report);
    ASSERT_FALSE(bulges.parts.empty());
    std::vector<double> values;
    const OutlineLoopList bulgeLoops = scanLoops(bulges.parts[0]).value();
    for (const OutlineLoop& loop : bulgeLoops) {
        values.insert(values.end(), loop.radii.begin(), loop.radii.end());
    }
    // The -0.4 bulge on a chord of 50: radius 50 (1 + 0.16) / 1.6 = 36.25, clockwise.
    EXPECT_THAT(values, testing::Contains(testing::DoubleNear(40.0, 1e-9)).Times(2));
    EXPECT_THAT(values, testing::Contains(testing::DoubleNear(-36.25, 1e-9)));
}

TEST(DxfParts, LayerFilterTakesOnlyThatLayerWithoutCase)
{
    Report report;
    DxfPartOptions options;
    options.layer = "mark";
    const DxfParts mark = read("r2010_faults.dxf", report, options);
    ASSERT_EQ(mark.parts.size(), 1u);
    EXPECT_EQ(mark.parts[0].partName, "MARK");
    EXPECT_NEAR(measure(mark.parts[0]).area, 900.0, 1e-9);
    EXPECT_EQ(mark.parts[0].nameId, "r2010_faults");
    EXPECT_EQ(report.skipped(), 0);

    options.layer = "NONE";
    EXPECT_TRUE(read("r2010_faults.dxf", report, options).parts.empty());
}

// Each refused chain has one line naming the file, the layer and the point; the other
// parts load.
TEST(DxfParts, FaultyChainsAreReportedWithFileLayerAndPoint)
{
    Report report;
    const DxfParts parts = read("r2010_faults.dxf", report);
    EXPECT_EQ(parts.parts.size(), 2u);
    const std::string where = "DXF文件" + kData + "r2010_faults.dxf, 图层BAD: ";
    EXPECT_THAT(report.lines(),
                testing::UnorderedElementsAre(
                    where + "轮廓不封闭, 在点(100,0)和点(100,50)处断开, 该轮廓未读入!",
                    where + "轮廓自相交于点(225,25), 该零件未读入!",
                    testing::StartsWith(where + "轮廓面积为零(经过点(3")));
}

// A crossing hole (a figure eight) takes its part with it, but a part drawn inside one of
// its lobes still loads.
TEST(DxfParts, ACrossingHoleSkipsItsPartOnly)
{
    const std::string dxf =
        "0\nSECTION\n2\nENTITIES\n"
        "0\nLWPOLYLINE\n8\nA\n90\n4\n70\n1\n10\n0\n20\n0\n10\n100\n20\n0\n10\n100\n20\n100\n10\n0\n20\n100\n"
        "0\nLWPOLYLINE\n8\nA\n90\n4\n70\n1\n10\n10\n20\n10\n10\n90\n20\n90\n10\n90\n20\n10\n10\n10\n20\n90\n"
        "0\nCIRCLE\n8\nA\n10\n75\n20\n50\n40\n5\n"
        "0\nENDSEC\n0\nEOF\n";
    Report report;
    const DxfParts parts = readDxfPartsFromBytes(dxf, "nest.dxf", {}, report.report);
    ASSERT_EQ(parts.parts.size(), 1u);
    EXPECT_NEAR(measure(parts.parts[0]).area, kPi * 25.0, 1e-9);
    EXPECT_EQ(report.skipped(), 1);
}

TEST(DxfParts, FilesThatAreNotWholeDxfLoadNothing)
{
    test::TempFolder files;
    const std::string whole = test::readFile(kData + "r2000_bulges.dxf");
    struct Case {
        std::string name;
        std::string bytes;
        std::string reason;
    };
    const Case cases[] = {
        {"text.dxf", "PARTINFO\nNameID=A\n", "不是DXF文件"},
        {"empty.dxf", "", "不是DXF文件"},
        {"half.dxf", whole.substr(0, whole.size() / 2), "DXF文件不完整(缺少结尾的EOF), 可能被截断"},
        {"binary.dxf", std::string("AutoCAD Binary DXF\r\n\x1a\0", 22), "二进制DXF文件不能读入, 请存为ASCII DXF"},
        {"broken.dxf", "0\nSECTION\n2\nENTITIES\nLINE\n0\n0\nEOF\n", "DXF文件第5行不是组码, 文件已损坏"},
    };
    for (const Case& c : cases) {
        Report report;
        std::ofstream(files.file(c.name), std::ios::binary) << c.bytes;
        const DxfParts parts = readDxfParts(files.file(c.name), {}, report.report);
        EXPECT_FALSE(parts.readable) << c.name;
        EXPECT_TRUE(parts.parts.empty()) << c.name;
        EXPECT_EQ(parts.fault, "DXF文件读取失败: " + files.file(c.name) + ": " + c.reason);
        EXPECT_THAT(report.lines(), testing::ElementsAre(parts.fault));
    }
    Report report;
    EXPECT_FALSE(readDxfParts(files.file("missing.dxf"), {}, report.report).readable);
}

// The DXF library trusts the counts and order of the file: a huge vertex count, a bulge
// before the first vertex, a block that inserts itself, numbers that are not numbers.
// (The file also starts with a UTF-8 byte order mark, as some editors write one.)
TEST(DxfParts, HostileDrawingsGiveWhatTheyHoldAndNoMore)
{
    const std::string square =
        "0\nLWPOLYLINE\n90\n2000000000\n42\n0.5\n70\n1\n10\n0\n20\n0\n10\n10\n20\n0\n10\n10\n20\n10\n10\n0\n20\n10\n";
    const std::string dxf =
        "\xEF\xBB\xBF" "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nSELF\n10\n0\n20\n0\n0\nINSERT\n2\nSELF\n10\n1\n20\n1\n0\nENDBLK\n0\nENDSEC\n"
        "0\nSECTION\n2\nENTITIES\n" + square +
        "0\nINSERT\n2\nSELF\n10\n0\n20\n0\n"
        "0\nLINE\n10\nnan\n20\n0\n11\n1e999\n21\n0\n"
        "0\nSPLINE\n71\n3\n72\n99999999\n73\n99999999\n40\n0\n10\n1\n20\n1\n"
        "0\nENDSEC\n0\nEOF\n";
    Report report;
    const DxfParts parts = readDxfPartsFromBytes(dxf, "hostile.dxf", {}, report.report);
    ASSERT_TRUE(parts.readable);
    ASSERT_EQ(parts.parts.size(), 1u);
    EXPECT_NEAR(measure(parts.parts[0]).area, 100.0, 1e-9);
    EXPECT_THAT(report.lines(), testing::Contains(testing::HasSubstr("块的嵌套过深")));
    EXPECT_THAT(report.lines(), testing::Contains(testing::HasSubstr("个图元的数值无效或超出范围")));
}

// Nested arrays of a block that gives no edge (here: filtered out by its layer) end at the
// drawing's budget instead of visiting 100^10 cells.
TEST(DxfParts, NestedArraysOfFilteredBlocksEndAtTheBudget)
{
    std::string blocks = "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nB0\n10\n0\n20\n0\n"
                         "0\nLINE\n8\nX\n10\n0\n20\n0\n11\n1\n21\n0\n0\nENDBLK\n";
    for (int level = 1; level <= 5; ++level) {
        blocks += "0\nBLOCK\n2\nB" + std::to_string(level) + "\n10\n0\n20\n0\n0\nINSERT\n2\nB" +
                  std::to_string(level - 1) + "\n10\n0\n20\n0\n70\n100\n71\n100\n44\n1\n45\n1\n0\nENDBLK\n";
    }
    const std::string dxf = blocks + "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nINSERT\n2\nB5\n10\n0\n20\n0\n"
                                     "0\nENDSEC\n0\nEOF\n";
    DxfPartOptions options;
    options.layer = "Y";
    Report report;
    const DxfParts parts = readDxfPartsFromBytes(dxf, "arrays.dxf", options, report.report);
    EXPECT_TRUE(parts.parts.empty());
}

// Whether every point of `want` is a vertex of `loop` (within 1e-6).
bool holdsVertices(const OutlineLoop& loop, const std::vector<Point>& want)
{
    return std::all_of(want.begin(), want.end(), [&](const Point& p) {
        return std::any_of(loop.vertices.begin(), loop.vertices.end(),
                           [&](const Point& v) { return distance(v, p) < 1e-6; });
    });
}

// The loops of a record, outer boundary first.
std::vector<OutlineLoop> loopsOf(const PartRecord& record)
{
    std::vector<OutlineLoop> loops;
    const OutlineLoopList scanned = scanLoops(record).value();
    for (const OutlineLoop& loop : scanned) loops.insert(loops.begin(), loop);
    return loops;
}

// A part drawn by the program's own exports reads back as the same part: the part
// drawing (its polygon) with the same area and vertices, the layout drawing's true
// arcs with the same vertices, radii and exact area.
TEST(DxfParts, OwnExportsReadBackAsTheSamePart)
{
    test::NestSession session;
    const OutlineLoop outer = test::makeLoop({{0, 0}, {200, 0}, {200, 100}, {0, 100}}, {0, 60, 0, 0});
    const OutlineLoop hole = test::makeLoop({{50, 25}, {50, 75}, {80, 75}, {80, 25}}, {0, -20, 0, 0});
    test::addPartType(session.ns, "RT", outer, {hole});
    ASSERT_TRUE(exportPartFiles(session.ns));

    Report report;
    const DxfParts polygon = readDxfParts(session.folder.file("RT.dxf"), {}, report.report);
    ASSERT_EQ(polygon.parts.size(), 1u);
    EXPECT_EQ(polygon.parts[0].nameId, "RT");
    Part shape = session.ns.trueShapes.front();
    double shapeArea = contourArea(shape.outer);
    for (Contour& k : shape.holes) shapeArea -= contourArea(k);
    EXPECT_NEAR(measure(polygon.parts[0]).area, shapeArea, 1e-6);
    const std::vector<OutlineLoop> polygonLoops = loopsOf(polygon.parts[0]);
    ASSERT_EQ(polygonLoops.size(), 2u);
    EXPECT_EQ(polygonLoops[0].count(), shape.outer.count());
    EXPECT_TRUE(holdsVertices(polygonLoops[0], shape.outer.points));

    LineSink drawing;
    beginDxfEntities(drawing);
    writeOutline(session.ns.outlines.front(), drawing, kDxfColourPart, 1, 2);
    endDxfEntities(drawing);
    const DxfParts arcs = readDxfPartsFromBytes(drawing.text(), "RT.dxf", {}, report.report);
    ASSERT_EQ(arcs.parts.size(), 1u);
    EXPECT_NEAR(measure(arcs.parts[0]).area, std::fabs(loopArea(outer)) - std::fabs(loopArea(hole)), 1e-6);
    const std::vector<OutlineLoop> arcLoops = loopsOf(arcs.parts[0]);
    ASSERT_EQ(arcLoops.size(), 2u);
    EXPECT_TRUE(holdsVertices(arcLoops[0], outer.vertices));
    EXPECT_TRUE(holdsVertices(arcLoops[1], hole.vertices));
    EXPECT_THAT(arcLoops[0].radii, testing::UnorderedElementsAre(0, 0, 0, testing::DoubleNear(60, 1e-6)));
    EXPECT_THAT(arcLoops[1].radii, testing::UnorderedElementsAre(0, 0, 0, testing::DoubleNear(-20, 1e-6)));
    EXPECT_TRUE(report.lines().empty());
}

}  // namespace
}  // namespace orvo
