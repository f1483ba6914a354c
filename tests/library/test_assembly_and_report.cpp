#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "library/assembly.h"
#include "library/discretise.h"
#include "base/number_text.h"
#include "library/error_report.h"
#include "base/text_encoding.h"
#include "support/recording_platform.h"
#include "support/temp_folder.h"

namespace orvo {
namespace {

std::string fromHex(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return bytes;
}

// The report's line for a system text (UTF-8 in the code) and a raw part name.
std::string line(const std::string& text, const std::string& raw = {})
{
    return utf8ToGbk(text) + raw + "\r\n";
}

const std::string kStamp = "2026年12月8日, 9时5分7秒";
const std::string kRegion = "\t某个面域点的数目<=0, 错误!";
const std::string kPart = "以上错误发生于零件:";
const std::string kRepair1 = "圆弧半径绝对值|R|需要适当增加，以连接零件轮廓某段起讫点。";
const std::string kRepair2 = "圆弧半径绝对值|R|增加了0.1mm，问题得到修正。";
const std::string kRepair3 = "圆弧半径绝对值|R|增加了0.1mm，依然无法连接零件轮廓某段起讫点！";

// One point line: index, value, x, y.
std::string pointLine(int index, double value, double x, double y)
{
    return std::to_string(index) + ",0,L,0,0," + formatG(value) + "," + formatG(x) + "," +
           formatG(y) + "\n";
}

// A record of one loop; radii[k] is the radius of the edge leaving vertex k.
std::string loopRecord(const std::string& name, const std::vector<std::pair<double, double>>& v,
                       const std::vector<double>& radii, double countValue = -1)
{
    std::string points = pointLine(0, 0, 0, 0);
    const double m = static_cast<double>(v.size());
    for (size_t k = 0; k < v.size(); ++k) {
        const double value = k == 0 ? (countValue >= 0 ? countValue : m + 1) : radii[k - 1];
        points += pointLine(static_cast<int>(k + 1), value, v[k].first, v[k].second);
    }
    points += pointLine(static_cast<int>(v.size() + 1), radii.back(), v[0].first, v[0].second);
    return "PARTINFO\nNameID=" + name + "\npointNum=" + std::to_string(v.size() + 2) + "\n" +
           points + "_end_\n";
}

// The library opening as the nesting system runs it, over a text.
struct Opened {
    PartOutlineList outlines;
    std::string report;
};

Opened openText(const std::string& text, test::TempFolder& folder)
{
    test::RecordingPlatform platform;
    ErrorReport report(folder.path(), &platform);
    report.writeTimeStamp(platform);
    std::istringstream in(text);
    const PartLibrary library = readPartLibrary(in);
    Opened opened;
    int32_t position = 0;
    for (const PartRecord& record : library.records) {
        PartOutline outline;
        const bool plain = precheckRecord(record, report);
        if (assembleOutline(record, outline, !plain, report)) {
            outline.partId = position;
            opened.outlines.push_back(outline);
        }
        ++position;
    }
    dropBadOutlines(opened.outlines, report);
    opened.report = folder.read(ErrorReport::kFileName);
    EXPECT_TRUE(platform.messages.empty());
    return opened;
}

const std::vector<std::pair<double, double>> kArcSide = {{0, 0}, {20.05, 0}, {20.05, 50}, {0, 50}};

TEST(ErrorReportText, SystemTextsAreWrittenAsGbk)
{
    const std::pair<std::string, const char*> anchors[] = {
        {"排样错误报告文件输出失败!", "c5c5d1f9b4edcef3b1a8b8e6cec4bcfecae4b3f6caa7b0dc21"},
        {kPart, "d2d4c9cfb4edcef3b7a2c9fad3dac1e3bcfe3a"},
        {kRegion, "09c4b3b8f6c3e6d3f2b5e3b5c4cafdc4bf3c3d302c20b4edcef321"},
        {kRepair1, "d4b2bba1b0ebbeb6bef8b6d4d6b57c527cd0e8d2aacacab5b1d4f6bcd3a3acd2d4c1acbdd3c1e3bcfe"
                   "c2d6c0aac4b3b6cec6f0c6fdb5e3a1a3"},
        {kRepair3, "d4b2bba1b0ebbeb6bef8b6d4d6b57c527cd4f6bcd3c1cb302e316d6da3acd2c0c8bbcedeb7a8c1acbdd3"
                   "c1e3bcfec2d6c0aac4b3b6cec6f0c6fdb5e3a3a1"},
        {", 半径绝对值太小, 圆弧生成失败!", "2c20b0ebbeb6bef8b6d4d6b5ccabd0a12c20d4b2bba1c9fab3c9caa7b0dc21"},
        {"年月日, 时分秒", "c4ead4c2c8d52c20cab1b7d6c3eb"},
    };
    for (const auto& [text, hex] : anchors) EXPECT_EQ(utf8ToGbk(text), fromHex(hex)) << text;

    EXPECT_EQ(utf8ToGbk("A\xF0\x9F\x98\x80" "B"), "A?B");  // no GBK form
    EXPECT_EQ(utf8ToGbk("x\xFFy"), "x?y");                  // not UTF-8
    EXPECT_EQ(gbkToUtf8("P-001 零件"), "P-001 零件");        // UTF-8 stays
    EXPECT_EQ(gbkToUtf8(fromHex("c1e3bcfe")), "零件");
    EXPECT_EQ(gbkToUtf8("a\xFF"), "a\xEF\xBF\xBD");
}

TEST(ErrorReportText, NumbersAsPercentG)
{
    const std::pair<double, const char*> cases[] = {
        {20.05, "20.05"},      {100, "100"},           {0.1 + 0.2, "0.3"},  {1e-5, "1e-05"},
        {1234567, "1.23457e+06"}, {123456, "123456"}, {-0.0, "-0"},       {10.1, "10.1"},
        {-2.5, "-2.5"},        {std::numeric_limits<double>::infinity(), "inf"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(formatG(value), text);
    // Independent of the C locale.
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr) {
        EXPECT_EQ(formatG(2.5), "2.5");
        std::setlocale(LC_NUMERIC, "C");
    }
}

TEST(ErrorReportFile, AppendsAndStampsEveryOpening)
{
    test::TempFolder folder;
    test::RecordingPlatform platform;
    {
        std::ofstream old(folder.file("PackError.txt"), std::ios::binary);
        old << "old\r\n";
    }
    for (int i = 0; i < 2; ++i) {
        ErrorReport report(folder.path(), &platform);
        ASSERT_TRUE(report.isOpen());
        report.writeTimeStamp(platform);
        ErrorReport second(report.folder());
        second.writeLine(kPart, "\xC1\xE3");  // a GBK name passes as it is
    }
    EXPECT_EQ(folder.read("PackError.txt"), "old\r\n" + line(kStamp) + line(kPart, "\xC1\xE3") +
                                                line(kStamp) + line(kPart, "\xC1\xE3"));
    EXPECT_TRUE(platform.messages.empty());
}

TEST(ErrorReportFile, AReportThatCannotBeOpenedIsShownAndWritesNothing)
{
    test::RecordingPlatform platform;
    ErrorReport report("/nonexistent/folder", &platform);
    EXPECT_FALSE(report.isOpen());
    report.writeLine(kRegion);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              "排样错误报告文件输出失败! /nonexistent/folder/PackError.txt: No such file or directory");
    EXPECT_EQ(platform.messages[0].caption, "Warning!");
    // The library still assembles, without a report.
    std::istringstream in(loopRecord("X", kArcSide, {10, 0, 0, 0}));
    const PartLibrary library = readPartLibrary(in);
    ASSERT_EQ(library.records.size(), 1u);
    PartOutline outline;
    EXPECT_FALSE(precheckRecord(library.records[0], report));
    EXPECT_TRUE(assembleOutline(library.records[0], outline, true, report));
    EXPECT_EQ(platform.messages.size(), 1u);
}

// Two programs appending to one report must leave every line whole and none lost.
TEST(ErrorReportFile, LinesOfConcurrentWritersStayWhole)
{
    test::TempFolder folder;
    const std::string longName(3000, 'L');  // longer than a stdio buffer's share
    pid_t writers[2];
    for (int i = 0; i < 2; ++i) {
        writers[i] = fork();
        if (writers[i] == 0) {
            ErrorReport report(folder.path());
            for (int n = 0; n < 300; ++n) report.writeLine(kPart, i == 0 ? longName : "S");
            _exit(report.linesLost() == 0 ? 0 : 1);
        }
    }
    for (pid_t writer : writers) {
        int status = 0;
        ASSERT_EQ(waitpid(writer, &status, 0), writer);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::string text = folder.read("PackError.txt");
    int longLines = 0, shortLines = 0, other = 0;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find("\r\n", start);
        const std::string row = text.substr(start, end == std::string::npos ? end : end + 2 - start);
        if (row == line(kPart, longName)) {
            ++longLines;
        } else if (row == line(kPart, "S")) {
            ++shortLines;
        } else {
            ++other;
        }
        start = end == std::string::npos ? text.size() : end + 2;
    }
    EXPECT_EQ(longLines, 300);
    EXPECT_EQ(shortLines, 300);
    EXPECT_EQ(other, 0);
}

// A report that stops taking lines (disk full, size limit) says so once, naming the file.
TEST(ErrorReportFile, LostLinesAreCountedAndShownOnce)
{
    test::TempFolder folder;
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        test::RecordingPlatform platform;
        ErrorReport report(folder.path(), &platform);
        const rlimit limit{100, 100};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(2);
        for (int n = 0; n < 10; ++n) report.writeLine(kPart, std::string(40, 'x'));
        const bool shown = platform.messages.size() == 1 &&
                           platform.messages[0].text == "排样错误报告文件输出失败! " +
                                                            folder.file("PackError.txt") +
                                                            ": File too large";
        _exit(report.linesLost() >= 8 && shown ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(Assembly, WorkedExample)
{
    test::TempFolder folder;
    std::ifstream file(std::string(ORVO_SOURCE_DIR) + "/examples/worked_example.preSrc", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const Opened opened = openText(text, folder);
    EXPECT_EQ(opened.report, line(kStamp));
    ASSERT_EQ(opened.outlines.size(), 1u);
    const PartOutline& outline = opened.outlines.front();
    EXPECT_EQ(outline.label.text, "P-001");
    EXPECT_EQ(outline.outer.count(), 4);
    EXPECT_EQ(outline.outer.radii[1], 60.0);
    ASSERT_EQ(outline.holes.count(), 1);
    EXPECT_EQ(outline.holes.front().vertex(0).x, 50.0);
    EXPECT_EQ(outline.pose.basePt.x, 0.0);
    EXPECT_EQ(outline.pose.basePt.y, 0.0);
    const Part part = outline.toPart();
    EXPECT_EQ(part.outer.count(), 8);
    ASSERT_EQ(part.holes.count(), 1);
    EXPECT_EQ(part.holes.front().count(), 4);
    const double segment = 1800 * (2 * std::asin(50.0 / 60) - std::sin(2 * std::asin(50.0 / 60)));
    EXPECT_GT(part.netArea, 20000 - 1500 + segment * 0.9);
    EXPECT_LT(part.netArea, 20000 - 1500 + segment);
}

OutlineLoop loopOf(const std::vector<Point>& vertices, const std::vector<double>& radii)
{
    OutlineLoop loop;
    loop.setLoop(static_cast<int32_t>(vertices.size()), vertices.data(), radii.data());
    return loop;
}

// setShape works each loop's polygon out once for the net area and the centroid; the
// measures must be those that the outline works out afresh from its own loops, bit for
// bit, with the holes taken in the same order (their sums round differently otherwise).
TEST(Assembly, ShapeMeasuresMatchTheOutlinesOwnBitForBit)
{
    const OutlineLoop outer = loopOf({{0.3, 0.7}, {203.1, 0.2}, {203.7, 101.9}, {0.1, 100.3}}, {0, 61.7, 0, 0});
    OutlineLoopList holes;
    holes.insert(loopOf({{50.3, 25.1}, {50.7, 75.3}, {80.9, 75.2}, {80.1, 25.9}}, {0, 0, 0, 0}));
    holes.insert(loopOf({{120.13, 20.7}, {120.9, 40.3}, {150.37, 40.11}, {150.71, 20.29}}, {0, -13.3, 0, 0}));
    holes.insert(loopOf({{160.3, 60.7}, {161.1, 90.9}, {190.7, 90.3}}, {0, 0, 0}));
    PartOutline outline;
    outline.chordError = 0.05;
    outline.setShape(outer, holes);
    const double netArea = outline.netArea;
    const Point centroid = outline.centroid;
    EXPECT_EQ(outline.updateNetArea(), netArea);
    const Point fresh = outline.updateCentroid();
    EXPECT_EQ(fresh.x, centroid.x);
    EXPECT_EQ(fresh.y, centroid.y);
    EXPECT_GT(netArea, 0.0);
}

TEST(Assembly, ReportLinesOfTheChecksByteForByte)
{
    test::TempFolder folder;
    const std::string text =
        loopRecord("REPAIRED", kArcSide, {10, 0, 0, 0}) +
        loopRecord("TOO-FAR", {{0, 0}, {20.3, 0}, {20.3, 50}, {0, 50}}, {10, 0, 0, 0}) +
        "PARTINFO\nNameID=NO-VERTEX\npointNum=3\n0,0\n1,0,L,0,0,1,5,5\n2,0\n_end_\n" +
        loopRecord("SMALL", {{0, 0}, {1, 0}, {1, 10}, {0, 10}}, {0.8, 0, 0, 0}) +
        loopRecord("GOOD", kArcSide, {0, 0, 0, 0});
    const Opened opened = openText(text, folder);
    const std::string expected =
        line(kStamp) +
        line("\t报警圆弧:起点(0,0),终点(20.05,0), 错误细节:起讫点距离d=20.05超过两倍半径的绝对值"
             "=2*|R|=2*10=20, 圆弧无法生成!") +
        line(kPart, "REPAIRED") + line(kRepair1) + line(kRepair2) +
        line("\t报警圆弧:起点(0,0),终点(20.3,0), 错误细节:起讫点距离d=20.3超过两倍半径的绝对值"
             "=2*|R|=2*10=20, 圆弧无法生成!") +
        line(kPart, "TOO-FAR") + line(kRepair1) + line(kRepair3) +
        line(kRegion) + line(kPart, "NO-VERTEX") + line(kRegion) +
        line("\t报警圆弧:起点(0,0),终点(1,0), 错误细节:圆弧半径的绝对值=0.8<弓高误差=1, 半径绝对值太小!") +
        line(kPart, "SMALL");
    EXPECT_EQ(opened.report, expected);
    ASSERT_EQ(opened.outlines.size(), 2u);
    EXPECT_EQ(opened.outlines.front().label.text, "REPAIRED");
    EXPECT_EQ(opened.outlines.front().partId, 0);
    EXPECT_DOUBLE_EQ(opened.outlines.front().outer.radii[0], 10.1);
    EXPECT_EQ(opened.outlines.back().label.text, "GOOD");
    EXPECT_EQ(opened.outlines.back().partId, 4);
}

// Two 10 x 10 squares of equal area, the first at x 0, the second at x 50.
std::string equalSquares(const std::string& name)
{
    return "PARTINFO\nNameID=" + name + "\npointNum=12\n0,0\n" + pointLine(1, 5, 0, 0) +
           pointLine(2, 0, 10, 0) + pointLine(3, 0, 10, 10) + pointLine(4, 0, 0, 10) +
           pointLine(5, 0, 0, 0) + "6,0\n" + pointLine(7, 5, 50, 0) + pointLine(8, 0, 60, 0) +
           pointLine(9, 0, 60, 10) + pointLine(10, 0, 50, 10) + pointLine(11, 0, 0, 0) + "_end_\n";
}

TEST(Assembly, BadRecordsOfOurOwn)
{
    test::TempFolder folder;
    const double inf = std::numeric_limits<double>::infinity();
    std::string overrun = loopRecord("OVERRUN", kArcSide, {0, 0, 0, 0}, 9);
    std::string huge = loopRecord("HUGE", {{0, 0}, {inf, 0}, {10, 10}}, {0, 0, 0});
    huge.replace(huge.find("inf"), 3, "1e999");
    const Opened opened = openText(
        overrun + huge + loopRecord("FLAT", {{0, 0}, {10, 0}, {20, 0}}, {0, 0, 0}), folder);
    const std::string notFinite = "\t某个面域的坐标或半径不是有限数值, 错误!";
    const std::string noArea = "\t零件面积为零或无法计算, 错误!";
    EXPECT_EQ(opened.report, line(kStamp) + line(kRegion) + line(kPart, "OVERRUN") + line(kRegion) +
                                 line(notFinite) + line(kPart, "HUGE") + line(notFinite) +
                                 line(noArea) + line(kPart, "FLAT"));
    EXPECT_TRUE(opened.outlines.empty());

    // A record of fewer than two points (not from the reader) holds no loop: refused,
    // never an outer boundary taken from an empty list.
    PartRecord bare;
    bare.points.resize(1);
    PartOutline outline;
    EXPECT_FALSE(precheckRecord(bare, ErrorReport()));
    EXPECT_FALSE(assembleOutline(bare, outline, true, ErrorReport()));
}

// Parts with legs of 1e-9 mm were laid out into the plate margin: every coordinate of
// theirs is lost in the rounding of the plate's. Too small to be cut, they are faulty.
TEST(Assembly, PartsTooSmallToBeCutAreFaultyOutlines)
{
    test::TempFolder folder;
    const Opened opened = openText(
        loopRecord("LEGS", {{0, 0}, {1e-9, 0}, {0, 1e-9}}, {0, 0, 0}) +
            loopRecord("THIN", {{0, 0}, {100, 0}, {100, 5e-4}, {0, 5e-4}}, {0, 0, 0, 0}) +
            loopRecord("SLIVER", {{0, 0}, {0.0015, 0}, {0, 0.0012}}, {0, 0, 0}) +
            loopRecord("SMALL", {{0, 0}, {2e-3, 0}, {2e-3, 2e-3}, {0, 2e-3}}, {0, 0, 0, 0}),
        folder);
    const std::string tooSmall = "\t零件尺寸过小无法切割, 错误!";
    // SLIVER's box (1.5e-3 x 1.2e-3) would do, its area (9e-7 mm²) does not.
    EXPECT_EQ(opened.report, line(kStamp) + line(tooSmall) + line(kPart, "LEGS") + line(tooSmall) +
                                 line(kPart, "THIN") + line(tooSmall) + line(kPart, "SLIVER"));
    ASSERT_EQ(opened.outlines.size(), 1u);
    EXPECT_EQ(opened.outlines.front().partId, 3);
}

TEST(Assembly, LoopsOfEqualAreaKeepThePartWithTheLaterLoopOutside)
{
    // Regression: such parts were refused for their zero net area, although holes are
    // never checked against the outer boundary.
    test::TempFolder folder;
    const Opened opened = openText(equalSquares("EQ"), folder);
    EXPECT_EQ(opened.report, line(kStamp));
    ASSERT_EQ(opened.outlines.size(), 1u);
    const PartOutline& outline = opened.outlines.front();
    EXPECT_EQ(outline.outer.vertex(0).x, 50.0);
    ASSERT_EQ(outline.holes.count(), 1);
    EXPECT_EQ(outline.holes.front().vertex(0).x, 0.0);
    EXPECT_EQ(outline.netArea, 0.0);
    // Without net area the outer boundary's centroid stands in, never 0/0.
    EXPECT_NEAR(outline.centroid.x, 55.0, 1e-9);
    EXPECT_NEAR(outline.centroid.y, 5.0, 1e-9);
}

TEST(Assembly, LoopsAndTheOuterBoundary)
{
    // The scan keeps the loops in reverse file order; of equal areas the first in the
    // list (the later one in the file) is the largest.
    std::istringstream in(equalSquares("EQ"));
    const PartLibrary library = readPartLibrary(in);
    ASSERT_EQ(library.records.size(), 1u);
    auto loops = scanLoops(library.records[0]);
    ASSERT_TRUE(loops.has_value());
    ASSERT_EQ(loops->count(), 2);
    EXPECT_EQ(loops->front().vertex(0).x, 50.0);
    OutlineLoopList& list = *loops;
    EXPECT_EQ(largestLoop(list, 1.0)->vertex(0).x, 50.0);
    list.front().vertices[1].x = 59;  // now the earlier loop in the file is larger
    EXPECT_EQ(largestLoop(list, 1.0)->vertex(0).x, 0.0);
    PartOutline outline;

    // A name longer than the label keeps its first 49 characters.
    std::istringstream longName(loopRecord(std::string(60, 'N'), kArcSide, {0, 0, 0, 0}));
    const PartLibrary named = readPartLibrary(longName);
    ASSERT_TRUE(assembleOutline(named.records[0], outline, false, ErrorReport()));
    EXPECT_EQ(outline.label.text, std::string(49, 'N'));
}

TEST(Assembly, EveryBenchmarkLibraryAssembles)
{
    const std::filesystem::path root(ORVO_BENCHMARK_DIR);
    if (!std::filesystem::is_directory(root)) GTEST_SKIP() << "no benchmark libraries";
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.path().extension() != ".preSrc") continue;
        ++files;
        std::ifstream in(entry.path(), std::ios::binary);
        const PartLibrary library = readPartLibrary(in);
        EXPECT_FALSE(library.records.empty()) << entry.path();
        for (const PartRecord& record : library.records) {
            PartOutline outline;
            EXPECT_TRUE(precheckRecord(record, ErrorReport())) << entry.path() << record.nameId;
            ASSERT_TRUE(assembleOutline(record, outline, false, ErrorReport())) << record.nameId;
            EXPECT_GT(outline.toPart().netArea, 0.0);
        }
    }
    EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace orvo
