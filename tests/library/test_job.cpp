#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "library/job.h"
#include "library/library_writer.h"
#include "library/part_library.h"
#include "support/library_text.h"
#include "support/temp_folder.h"

namespace orvo {
namespace {

JobResult parse(const std::string& text, Job& job) { return parseJob(text, "/jobs", job); }

// Bad job files: each is refused with a message that names the key or entry at fault.
TEST(JobFile, BadInputIsRefusedNamingTheEntry)
{
    const std::string plate = R"("plate": {"length": 3000, "width": 1500})";
    struct Case {
        std::string text;
        std::string named;  // a text the message must hold
    };
    const std::vector<Case> cases = {
        {"{", "不是有效的 JSON"},
        {"[1, 2]", "JSON 对象"},
        {R"({"parts": ["a.dxf"]})", "\"plate\""},
        {R"({"plate": {"length": 0, "width": 1500}, "parts": ["a.dxf"]})", "\"length\" 应为大于 0"},
        {R"({"plate": {"length": 3000}, "parts": ["a.dxf"]})", "缺少 \"width\""},
        {R"({"plate": "3000x1500", "parts": ["a.dxf"]})", "\"plate\""},
        {"{" + plate + R"(, "gap": -1, "parts": ["a.dxf"]})", "\"gap\" 应为不小于 0"},
        {"{" + plate + R"(, "margin": "10", "parts": ["a.dxf"]})", "\"margin\""},
        {"{" + plate + R"(, "rn": 0, "parts": ["a.dxf"]})", "\"rn\""},
        {"{" + plate + R"(, "ppd": -5, "parts": ["a.dxf"]})", "\"ppd\""},
        {"{" + plate + R"(, "turnOver": 1, "parts": ["a.dxf"]})", "\"turnOver\""},
        {"{" + plate + R"(, "gpa": 5, "parts": ["a.dxf"]})", "未知的键 \"gpa\""},
        {"{" + plate + R"(, "parts": []})", "\"parts\""},
        {"{" + plate + R"(, "parts": ["a.dxf", {"file": "b.dxf", "qty": 2}]})",
         "parts[1] (b.dxf): 未知的键 \"qty\""},
        {"{" + plate + R"(, "parts": [{"quantity": 2}]})", "parts[0]: 缺少零件文件"},
        {"{" + plate + R"(, "parts": [{"file": "b.dxf", "quantity": 0}]})", "parts[0] (b.dxf): 数量"},
        {"{" + plate + R"(, "parts": [{"file": "b.dxf", "quantity": -3}]})", "不是 -3"},
        {"{" + plate + R"(, "parts": [{"file": "b.dxf", "quantity": 2.5}]})", "不是 2.5"},
        {"{" + plate + R"(, "parts": [{"file": "b.dxf", "quantity": "4"}]})", "不是 \"4\""},
        {"{" + plate + R"(, "parts": [{"file": "b.dxf", "quantity": 10001}]})", "不是 10001"},
        {"{" + plate + R"(, "parts": [{"file": "b.dxf", "quantity": 18446744073709551615}]})",
         "不是 18446744073709551615"},
        {"{" + plate + R"(, "parts": [{"file": "b.dxf", "records": {"A": 2}}]})",
         "parts[0] (b.dxf): \"records\" 只用于 preSrc"},
        {"{" + plate + R"(, "parts": [{"file": "b.preSrc", "records": {"A": 0}}]})",
         "零件 \"A\" 的数量"},
        {"{" + plate + R"(, "parts": [{"file": "b.dxf", "rotations": 0}]})", "\"rotations\""},
    };
    for (const Case& c : cases) {
        Job job;
        const JobResult result = parse(c.text, job);
        EXPECT_EQ(result.fault, JobFault::Refused) << c.text;
        EXPECT_EQ(result.message.rfind("作业文件错误! ", 0), 0u) << result.message;
        EXPECT_NE(result.message.find(c.named), std::string::npos) << c.text << "\n" << result.message;
    }
}

// The settings reaching the NestSystem are checked in test_open_job.
TEST(JobFile, EntriesTakeRelativeFilesInTheJobsFolderAndSettingsHaveDefaults)
{
    Job job;
    const JobResult result = parse(R"({"plate": {"length": 10, "width": 5},
        "parts": ["a.dxf", {"file": "/abs/lib.preSrc", "quantity": 3, "records": {"P-1": 2}}]})",
                                   job);
    ASSERT_EQ(result.fault, JobFault::None) << result.message;
    ASSERT_EQ(job.entries.size(), 2u);
    EXPECT_EQ(job.entries[0].path, "/jobs/a.dxf");
    EXPECT_EQ(job.entries[0].quantity, 1);
    EXPECT_EQ(job.entries[1].path, "/abs/lib.preSrc");
    EXPECT_EQ(job.entries[1].quantity, 3);
    EXPECT_EQ(job.entries[1].recordQuantities.at("P-1"), 2);
    // Left out: no gaps, turn-over allowed, RN and PPD the program's own.
    EXPECT_EQ(job.settings.partGap, 0.0);
    EXPECT_EQ(job.settings.plateMargin, 0.0);
    EXPECT_TRUE(job.settings.turnOver);
    EXPECT_FALSE(job.settings.rotationNumber);
    EXPECT_FALSE(job.settings.packingPointDistance);
}

TEST(JobFile, CommandLineArgumentsAndPlateSizes)
{
    JobEntry entry;
    ASSERT_EQ(parsePartArgument("parts/flange.dxf:12", entry).fault, JobFault::None);
    EXPECT_EQ(entry.path, "parts/flange.dxf");
    EXPECT_EQ(entry.quantity, 12);
    EXPECT_EQ(entry.label, "parts/flange.dxf:12");
    ASSERT_EQ(parsePartArgument("a:b.dxf", entry).fault, JobFault::None);  // a colon in a name
    EXPECT_EQ(entry.path, "a:b.dxf");
    EXPECT_EQ(entry.quantity, 1);
    ASSERT_EQ(parsePartArgument("a.dxf:+3", entry).fault, JobFault::None);
    EXPECT_EQ(entry.quantity, 3);
    for (const char* bad : {"a.dxf:0", "a.dxf:-2", "a.dxf:10001", "a.dxf:99999999999999999999", "a.dxf:1-2"}) {
        const JobResult result = parsePartArgument(bad, entry);
        EXPECT_EQ(result.fault, JobFault::Refused) << bad;
        EXPECT_NE(result.message.find(bad), std::string::npos) << result.message;
    }

    double length = 0, width = 0;
    EXPECT_TRUE(parsePlateSize("3000x1500", length, width));
    EXPECT_EQ(length, 3000.0);
    EXPECT_EQ(width, 1500.0);
    EXPECT_TRUE(parsePlateSize("2500.5X1250", length, width));
    EXPECT_EQ(length, 2500.5);
    for (const char* bad : {"3000", "x1500", "3000x", "3000x1500mm", "3,000x1500"}) {
        EXPECT_FALSE(parsePlateSize(bad, length, width)) << bad;
    }
}

class JobLibrary : public ::testing::Test {
protected:
    // A library "lib.preSrc" of two parts A (100 x 50) and B (40 x 40, a hole) in the folder.
    void SetUp() override
    {
        test::writeFile(folder.file("lib.preSrc"),
                        test::configSection(7, 9, 500, 400, false) +
                            test::partRecord("A", {test::rectLoop(0, 0, 100, 50)}) +
                            test::partRecord("B", {test::rectLoop(0, 0, 40, 40), test::rectLoop(10, 10, 5, 5)}));
    }

    JobResult build(const std::string& parts)
    {
        Job job;
        const JobResult parsed =
            parseJob(R"({"plate": {"length": 3000, "width": 1500}, "gap": 5, "margin": 10, "parts": )" +
                         parts + "}",
                     folder.path(), job);
        if (parsed.fault != JobFault::None) return parsed;
        return buildJobLibrary(job, report, library);
    }

    std::vector<std::string> names() const
    {
        std::vector<std::string> result;
        for (const PartRecord& record : library.records) result.push_back(record.nameId);
        return result;
    }

    test::TempFolder folder;
    ErrorReport report;
    PartLibrary library;
};

TEST_F(JobLibrary, EveryCopyIsARecordNamedWithItsCopyNumber)
{
    ASSERT_EQ(build(R"([{"file": "lib.preSrc", "quantity": 3, "records": {"B": 1}}, "lib.preSrc"])").fault,
              JobFault::None);
    EXPECT_EQ(names(), (std::vector<std::string>{"A#1", "A#2", "A#3", "B", "A", "B"}));
    EXPECT_EQ(library.records[1].points.size(), library.records[4].points.size());
    // The job's settings, not the library's own configuration.
    EXPECT_EQ(library.config.staPlate_0, 3000.0);
    EXPECT_EQ(library.config.staPlate_1, 1500.0);
    EXPECT_EQ(library.config.partToPartGap, 5.0);
    EXPECT_EQ(library.config.partToMplateGap, 10.0);
    EXPECT_TRUE(library.config.bPartTurnover);
}

// A library's names are GBK bytes, while the job file names them in UTF-8.
TEST_F(JobLibrary, RecordsAreFoundByTheirNamesInUtf8)
{
    test::writeFile(folder.file("gbk.preSrc"), test::partRecord(utf8ToGbk("垫片-01"), {test::rectLoop(0, 0, 10, 10)}));
    ASSERT_EQ(build(R"([{"file": "gbk.preSrc", "records": {"垫片-01": 2}}])").fault, JobFault::None);
    EXPECT_EQ(names(), (std::vector<std::string>{utf8ToGbk("垫片-01#1"), utf8ToGbk("垫片-01#2")}));
}

TEST_F(JobLibrary, UnnamedPartsTakeTheFilesName)
{
    std::string text = test::partRecord("", {test::rectLoop(0, 0, 10, 10)}) +
                       test::partRecord("", {test::rectLoop(0, 0, 20, 10)});
    test::writeFile(folder.file("plate.preSrc"), text);
    test::writeFile(folder.file("one_end_.preSrc"), test::partRecord("", {test::rectLoop(0, 0, 10, 10)}));
    ASSERT_EQ(build(R"([{"file": "plate.preSrc", "quantity": 2}, "one_end_.preSrc"])").fault, JobFault::None);
    // "_end_" in a line ends a library record, so the name cannot keep it.
    EXPECT_EQ(names(), (std::vector<std::string>{"plate-1#1", "plate-1#2", "plate-2#1", "plate-2#2", "one_end-"}));
}

TEST_F(JobLibrary, FilesThatCannotBeReadAndUnknownRecordsAreRefusedNamingTheEntry)
{
    JobResult result = build(R"(["lib.preSrc", {"file": "gone.preSrc", "quantity": 2}])");
    EXPECT_EQ(result.fault, JobFault::Unreadable);
    EXPECT_NE(result.message.find("parts[1] (gone.preSrc)"), std::string::npos) << result.message;

    test::writeFile(folder.file("empty.preSrc"), "CONFIGINFO\n_end_\n");
    result = build(R"(["empty.preSrc"])");
    EXPECT_EQ(result.fault, JobFault::Unreadable);
    EXPECT_NE(result.message.find("没有零件! parts[0] (empty.preSrc)"), std::string::npos) << result.message;

    result = build(R"([{"file": "lib.preSrc", "records": {"C": 2}}])");
    EXPECT_EQ(result.fault, JobFault::Refused);
    EXPECT_NE(result.message.find("parts[0] (lib.preSrc): 零件库中没有零件 \"C\""), std::string::npos);

    // The DXF reader's own reason reaches the message.
    test::writeFile(folder.file("bracket.dxf"), "0\nEOF\n");
    result = build(R"(["lib.preSrc", "bracket.dxf"])");
    if (result.fault != JobFault::None) {
        EXPECT_EQ(result.fault, JobFault::Unreadable);
        EXPECT_NE(result.message.find("parts[1] (bracket.dxf)"), std::string::npos) << result.message;
    }
}

TEST_F(JobLibrary, TooManyCopiesInAllAreRefusedBeforeAnyIsMade)
{
    std::string parts = "[";
    for (int i = 0; i < 5; ++i) parts += R"({"file": "lib.preSrc", "quantity": 10000}, )";
    parts += R"({"file": "lib.preSrc", "records": {"B": 1}}])";  // 100001 copies
    const JobResult result = build(parts);
    EXPECT_EQ(result.fault, JobFault::Refused);
    EXPECT_NE(result.message.find("parts[5] (lib.preSrc): 零件总数超过 100000"), std::string::npos)
        << result.message;
    EXPECT_TRUE(library.records.empty());
}

// The records as the system uses them: names and every point's value, x and y, bit for bit.
void expectSameRecords(const std::vector<PartRecord>& back, const std::vector<PartRecord>& written,
                       const std::string& source)
{
    ASSERT_EQ(back.size(), written.size()) << source;
    for (size_t r = 0; r < written.size(); ++r) {
        const PartRecord& a = written[r];
        const PartRecord& b = back[r];
        EXPECT_EQ(b.nameId, a.nameId) << source;
        EXPECT_EQ(b.partName, a.partName) << source;
        ASSERT_EQ(b.points.size(), a.points.size()) << source << " " << a.nameId;
        for (size_t i = 0; i < a.points.size(); ++i) {
            EXPECT_EQ(b.points[i].value, a.points[i].value) << source << " " << a.nameId << " " << i;
            EXPECT_EQ(b.points[i].x, a.points[i].x) << source << " " << a.nameId << " " << i;
            EXPECT_EQ(b.points[i].y, a.points[i].y) << source << " " << a.nameId << " " << i;
        }
    }
}

// What the writer writes reads back to the same records and settings.
TEST(LibraryWriter, ALibraryReadsBackToTheSameRecords)
{
    PartLibrary library;
    library.config.staPlate_0 = 3000.25;
    library.config.staPlate_1 = 1e-3;
    library.config.partToPartGap = 0.1;
    library.config.partToMplateGap = 12345.678901234567;
    library.config.bPartTurnover = true;
    std::istringstream source(test::partRecord("  P 1", {{{0, 0, 0}, {200, 0, 60}, {200, 100, -0.3}, {0, 100, 0}},
                                                        test::rectLoop(50.125, 25, 1.0 / 3.0, 50)}) +
                              test::partRecord("部件", {test::rectLoop(-1e-7, 2e7, 7, 9)}));
    library.records = readPartLibrary(source).records;
    ASSERT_EQ(library.records.size(), 2u);
    library.records[0].partName = "bracket";
    library.records[0].points[3].text = "a,b";  // cannot pass: left out
    library.records[1].points[2].text = "ARC";

    const std::string text = partLibraryText(library);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);  // CR LF lines
    std::istringstream written(text);
    const PartLibrary back = readPartLibrary(written);
    EXPECT_EQ(back.config.staPlate_0, library.config.staPlate_0);
    EXPECT_EQ(back.config.staPlate_1, library.config.staPlate_1);
    EXPECT_EQ(back.config.partToPartGap, library.config.partToPartGap);
    EXPECT_EQ(back.config.partToMplateGap, library.config.partToMplateGap);
    EXPECT_EQ(back.config.bPartTurnover, true);
    expectSameRecords(back.records, library.records, "");
    EXPECT_EQ(back.records[0].points[3].text, "");
    EXPECT_EQ(back.records[1].points[2].text, "ARC");
}

TEST(LibraryWriter, EveryExampleAndBenchmarkLibraryReadsBackTheSame)
{
    int files = 0;
    for (const char* folder : {ORVO_SOURCE_DIR "/examples", ORVO_BENCHMARK_DIR}) {
        if (!std::filesystem::is_directory(folder)) continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            if (entry.path().extension() != ".preSrc") continue;
            ++files;
            std::ifstream in(entry.path(), std::ios::binary);
            const PartLibrary library = readPartLibrary(in);
            std::istringstream written(partLibraryText(library));
            expectSameRecords(readPartLibrary(written).records, library.records, entry.path().string());
        }
    }
    EXPECT_GT(files, 2);
}

}  // namespace
}  // namespace orvo
