#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>

#include "library/line_reader.h"
#include "library/part_library.h"
#include "support/recording_platform.h"

namespace orvo {
namespace {

PartLibrary readText(const std::string& text)
{
    std::istringstream in(text);
    return readPartLibrary(in);
}

NestConfig readConfig(const std::string& body)
{
    return readText("CONFIGINFO\n" + body + "_end_\n").config;
}

std::string withCrLf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

const std::string kPointLines =
    "0,0,L,0,0,0,0,0\n1,0,L,0,0,4,0,0\n2,0,L,0,0,0,10,0\n3,0,L,0,0,0,10,10\n4,0,L,0,0,0,0,0\n";

std::string record(const std::string& name, const std::string& count, const std::string& points,
                   const std::string& end = "_end_\n")
{
    return "PARTINFO\nNameID=" + name + "\npointNum=" + count + "\n" + points + end;
}

TEST(PartLibraryReader, WorkedExampleGivesConfigurationAndOneRecord)
{
    test::RecordingPlatform platform;
    const PartLibrary library =
        readPartLibrary(std::string(ORVO_SOURCE_DIR) + "/examples/worked_example.preSrc", platform);
    ASSERT_TRUE(library.opened);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(library.config.partToPartGap, 5.0);
    EXPECT_EQ(library.config.partToMplateGap, 10.0);
    EXPECT_EQ(library.config.staPlate_0, 3000.0);
    EXPECT_EQ(library.config.staPlate_1, 1500.0);
    EXPECT_TRUE(library.config.bPartTurnover);
    EXPECT_FALSE(library.config.bMirror);
    EXPECT_EQ(library.config.nestType, 0);

    ASSERT_EQ(library.records.size(), 1u);
    const PartRecord& r = library.records[0];
    EXPECT_EQ(r.nameId, "P-001");
    EXPECT_EQ(r.partName, "bracket");
    EXPECT_EQ(r.infoInt, 1);
    ASSERT_EQ(r.points.size(), 12u);
    EXPECT_EQ(r.points[3].value, 60.0);
    EXPECT_EQ(r.points[3].x, 200.0);
    EXPECT_EQ(r.points[3].y, 100.0);
    EXPECT_EQ(r.points[10].x, 80.0);
    EXPECT_EQ(r.points[10].text, "L");
}

TEST(PartLibraryReader, CrLfLinesAndAMissingLastLineEndReadLikeLf)
{
    const std::string text = "CONFIGINFO\nstaPlate_0      =3000\n_end_\n" +
                             record("P-7", "5", kPointLines, "_end_\n") +
                             record("Q-8", "5", kPointLines + "_end_", "");
    const PartLibrary lf = readText(text);
    const PartLibrary crlf = readText(withCrLf(text));
    ASSERT_EQ(lf.records.size(), 2u);
    ASSERT_EQ(crlf.records.size(), 2u);
    for (const PartLibrary* library : {&lf, &crlf}) {
        EXPECT_EQ(library->config.staPlate_0, 3000.0);
        EXPECT_EQ(library->records[0].nameId, "P-7");
        EXPECT_EQ(library->records[1].nameId, "Q-8");
        EXPECT_EQ(library->records[0].points[4].text, "L");
    }
    // The last line of a file without a line end keeps its last character.
    const PartLibrary cut = readText(record("R", "5", kPointLines.substr(0, kPointLines.size() - 1), ""));
    ASSERT_EQ(cut.records.size(), 1u);
    EXPECT_EQ(cut.records[0].points[4].y, 0.0);
    const PartLibrary lastDigit = readText("PARTINFO\npointNum=3\n0,0,L,0,0,0,0,0\n1,0,L,0,0,0,0,0\n2,0,L,0,0,0,0,75");
    ASSERT_EQ(lastDigit.records.size(), 1u);
    EXPECT_EQ(lastDigit.records[0].points[2].y, 75.0);
}

TEST(PartLibraryReader, KeysNeedTheirSixteenCharacterTextAndAnEqualsSign)
{
    EXPECT_EQ(readConfig("nestType=3\n").nestType, 0);
    EXPECT_EQ(readConfig("nestType =3\n").nestType, 0);
    EXPECT_EQ(readConfig("nestType        =3\n").nestType, 3);
    EXPECT_EQ(readConfig("  nestType          = 3\n").nestType, 3);
    EXPECT_EQ(readConfig("nestType        3\n").nestType, 0);
    EXPECT_EQ(readConfig("precision_length=1e-3\n").precision_length, 0.001);
    EXPECT_EQ(readConfig("partToPartGap   =2.5mm\n").partToPartGap, 2.5);
    EXPECT_EQ(readConfig("staPlate_0      =12=34\n").staPlate_0, 12.0);
    EXPECT_EQ(readConfig("maxNestPartNum  =  -12x\n").maxNestPartNum, -12);
    EXPECT_TRUE(readConfig("bMirror         = 7\n").bMirror);
    EXPECT_FALSE(readConfig("bMirror         =0.9\n").bMirror);
    // The key earlier in the order takes the line, with the value after the first "=".
    const NestConfig both = readConfig("partToMplateGap =4 nestType        =9\n");
    EXPECT_EQ(both.nestType, 4);
    EXPECT_EQ(both.partToMplateGap, 0.0);
    EXPECT_EQ(readConfig("staPlate_1      =7\nstaPlate_1      =8\n").staPlate_1, 8.0);
}

TEST(PartLibraryReader, ConfigurationSectionBoundaries)
{
    // A key line that also holds "_end_" is a key line; the section goes on.
    const NestConfig c = readConfig("staPlate_1      =7 _end_\nstaPlate_0      =6\n");
    EXPECT_EQ(c.staPlate_1, 7.0);
    EXPECT_EQ(c.staPlate_0, 6.0);
    // A second section starts again from zero.
    const PartLibrary twice = readText(
        "CONFIGINFO\nstaPlate_0      =6\n_end_\nCONFIGINFO\nstaPlate_1      =5\n_end_\n");
    EXPECT_EQ(twice.config.staPlate_0, 0.0);
    EXPECT_EQ(twice.config.staPlate_1, 5.0);
    // No section: all zero, parts still read.
    const PartLibrary none = readText(record("A", "5", kPointLines));
    EXPECT_EQ(none.config.partToPartGap, 0.0);
    EXPECT_EQ(none.records.size(), 1u);
    // A section without an end line runs to the end of the file.
    EXPECT_EQ(readText("CONFIGINFO\nstaPlate_0      =6\n" + record("A", "5", kPointLines))
                  .records.size(),
              0u);
}

TEST(PartLibraryReader, LenientNumbers)
{
    struct Case {
        const char* text;
        double value;
    };
    const Case reals[] = {{"2.5mm", 2.5}, {"  -3e2x", -300.0}, {".5", 0.5},  {"5.", 5.0},
                          {"e5", 0.0},    {"1e", 1.0},         {"1e+", 1.0}, {"abc", 0.0},
                          {"+7", 7.0},    {"0x10", 0.0},       {"nan", 0.0}, {"1e-999", 0.0},
                          {"-", 0.0},     {"\t12,5", 12.0},    {"1e308", 1e308}};
    for (const Case& c : reals) EXPECT_EQ(lenientReal(c.text), c.value) << c.text;
    EXPECT_EQ(lenientReal("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(lenientReal("-99999999999999999999e300"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(lenientReal("0.0000000000000000001e-320"), 0.0);

    EXPECT_EQ(lenientInt("12.9"), 12);
    EXPECT_EQ(lenientInt(" -7,3"), -7);
    EXPECT_EQ(lenientInt("x1"), 0);
    EXPECT_EQ(lenientInt("99999999999999999999"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(lenientInt("-2147483649"), std::numeric_limits<int32_t>::min());
}

TEST(PartLibraryReader, RecordFields)
{
    const PartLibrary library = readText(
        "PARTINFO\nNameID=  A12\npartName=x=y\npartinf=3,1,2.5\npointNum=4\n"
        "0,0,L,0,0,0,0,0\n1,4,TXT,1.5,2.5,4,7,8\n2,0,L\n3,0," +
        std::string(80, 'T') + ",9\n_end_\n");
    ASSERT_EQ(library.records.size(), 1u);
    const PartRecord& r = library.records[0];
    EXPECT_EQ(r.nameId, "  A12");
    EXPECT_EQ(r.partName, "x=y");
    EXPECT_EQ(r.infoInt, 3);
    EXPECT_TRUE(r.infoFlag);
    EXPECT_EQ(r.infoReal, 2.5);
    const PointRecord& p = r.points[1];
    EXPECT_EQ(p.code, 4);
    EXPECT_EQ(p.text, "TXT");
    EXPECT_EQ(p.aux1, 1.5);
    EXPECT_EQ(p.aux2, 2.5);
    EXPECT_EQ(p.value, 4.0);
    EXPECT_EQ(p.x, 7.0);
    EXPECT_EQ(p.y, 8.0);
    // Missing commas keep zeros; a long text is cut at 63 characters.
    EXPECT_EQ(r.points[2].text, "L");
    EXPECT_EQ(r.points[2].x, 0.0);
    EXPECT_EQ(r.points[3].text, std::string(63, 'T'));
    EXPECT_EQ(r.points[3].aux1, 9.0);
}

TEST(PartLibraryReader, PointCountRules)
{
    const std::string good = record("GOOD", "5", kPointLines);
    struct Case {
        const char* what;
        std::string text;
        size_t records;
    };
    const Case cases[] = {
        {"good", good, 1},
        {"fewer point lines than pointNum", record("A", "6", kPointLines) + good, 1},
        {"a line without its index", record("A", "5", "0,0\n1,0\n2,0\nzz\n4,0\n") + good, 1},
        {"pointNum 2", record("A", "2", "0,0\n1,0\n") + good, 1},
        {"negative pointNum", record("A", "-3", "") + good, 1},
        {"pointNum 2e9 at the end of the file", record("A", "2000000000", kPointLines), 0},
        {"end of file after all points", "PARTINFO\npointNum=5\n" + kPointLines, 1},
        {"two pointNum lines count together",
         "PARTINFO\npointNum=3\n0,0\n1,0\n2,0\npointNum=5\n0,0\n1,0\n_end_\n", 1},
        {"second block short", "PARTINFO\npointNum=3\n0,0\n1,0\n2,0\npointNum=3\n0,0\n_end_\n", 0},
        {"PARTINFO on the last line", "PARTINFO", 0},
    };
    for (const Case& c : cases) {
        const PartLibrary library = readText(c.text);
        EXPECT_EQ(library.records.size(), c.records) << c.what;
        if (c.records > 0 && !library.records.empty()) {
            EXPECT_GE(library.records.back().points.size(), 3u) << c.what;
        }
    }
}

TEST(PartLibraryReader, LinesLongerThan999CharactersAreReadInPieces)
{
    // 990 + 8 characters: one line; 995 + 8: "PARTINFO" is cut in two.
    const std::string body = "\nNameID=N\npointNum=5\n" + kPointLines + "_end_\n";
    EXPECT_EQ(readText(std::string(990, 'x') + "PARTINFO" + body).records.size(), 1u);
    EXPECT_EQ(readText(std::string(995, 'x') + "PARTINFO" + body).records.size(), 0u);
    // Regression: the CR of a CR LF line end once counted towards the 999 characters, so a
    // point line of 998 characters left a stray empty line that the count check rejected.
    const std::string longPoint = "0,0,L,0,0,0,0,0" + std::string(998 - 15, ' ') + "\n";
    const std::string padded = record("L", "5", longPoint + kPointLines.substr(kPointLines.find("1,")));
    EXPECT_EQ(readText(padded).records.size(), 1u);
    EXPECT_EQ(readText(withCrLf(padded)).records.size(), 1u);
    // A 100 kB line of text is harmless.
    EXPECT_EQ(readText(std::string(100000, '7') + "\n" + record("B", "5", kPointLines)).records.size(), 1u);
}

TEST(PartLibraryReader, AFileThatCannotBeOpenedIsReported)
{
    test::RecordingPlatform platform;
    for (const std::string& path : {std::string("/nonexistent/folder/lib.preSrc"), std::string(ORVO_SOURCE_DIR)}) {
        platform.messages.clear();
        const PartLibrary library = readPartLibrary(path, platform);
        EXPECT_FALSE(library.opened);
        EXPECT_TRUE(library.records.empty());
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text, "零件数据文件读取失败!");
        EXPECT_EQ(platform.messages[0].caption, "Warning!");
    }
}

}  // namespace
}  // namespace orvo
