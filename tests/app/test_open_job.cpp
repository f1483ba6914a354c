#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/open_job.h"
#include "library/library_writer.h"
#include "nesting/layout_all.h"
#include "nesting/nest_system.h"
#include "support/layout_checks.h"
#include "support/layout_fingerprint.h"
#include "support/library_text.h"
#include "support/nest_fixture.h"

namespace orvo {
namespace {

class OpenJob : public test::NestFixture {
protected:
    void SetUp() override
    {
        test::writeFile(folder.file("lib.preSrc"),
                        test::configSection(1, 2, 500, 400, false) +
                            test::partRecord("A", {{{0, 0, 0}, {300, 0, 200}, {300, 120, 0}, {0, 120, 0}}}) +
                            test::partRecord("B", {test::rectLoop(0, 0, 140, 90), test::rectLoop(20, 20, 30, 30)}));
    }

    // Writes the job file into the work folder and opens it.
    LibraryStatus openJobText(const std::string& text, PartLibrary* built = nullptr)
    {
        test::writeFile(folder.file("job.json"), text);
        return openJobFile(ns, folder.file("job.json"), built);
    }

    // The refusal left the NestSystem as it was and wrote no part statistics.
    void expectRefused(LibraryStatus status, LibraryStatus expected, const std::string& named)
    {
        EXPECT_EQ(status, expected);
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_NE(platform.messages[0].text.find(named), std::string::npos) << platform.messages[0].text;
        EXPECT_EQ(platform.messages[0].caption, "Warning!");
        EXPECT_TRUE(ns.nestParts.empty());
        EXPECT_EQ(ns.rotationNumber, 4);
        EXPECT_EQ(ns.plateLength, 0.0);
        EXPECT_FALSE(std::filesystem::exists(folder.file("PartInfo.txt")));
        platform.clear();
    }

    std::string job(const std::string& settings, const std::string& parts)
    {
        return R"({"plate": {"length": 2000, "width": 1000}, )" + settings + R"("parts": )" + parts + "}";
    }
};

TEST_F(OpenJob, AJobOpensWithItsSettingsAndOnePartPerCopy)
{
    ASSERT_EQ(openJobText(job(R"("gap": 6, "margin": 11, "rn": 8, "ppd": 7.5, "turnOver": false, )",
                              R"([{"file": "lib.preSrc", "records": {"A": 3}, "rotations": 8}])")),
              LibraryStatus::Opened);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(ns.partGap, 6.0);
    EXPECT_EQ(ns.plateGap, 11.0);
    EXPECT_EQ(ns.plateLength, 2000.0);
    EXPECT_EQ(ns.plateWidth, 1000.0);
    EXPECT_FALSE(ns.turnOver);
    EXPECT_EQ(ns.rotationNumber, 8);
    EXPECT_EQ(ns.packingPointDistance, 7.5);
    EXPECT_EQ(ns.recordNames, (std::vector<std::string>{"A#1", "A#2", "A#3", "B"}));
    EXPECT_EQ(ns.nestParts.size(), 4u);
    EXPECT_EQ(ns.libraryPath, folder.file("job.json"));
    // Every copy carries its own name to its label (drawings, report, statistics).
    std::vector<std::string> labels;
    for (const Part& part : ns.trueShapes) labels.push_back(part.label.text);
    EXPECT_EQ(labels, ns.recordNames);
    EXPECT_TRUE(std::filesystem::exists(folder.file("PartInfo.txt")));
}

// Nothing is laid out with a wrong setting: every refusal comes before a part is taken.
TEST_F(OpenJob, WrongSettingsAreRefusedBeforeAnythingOpens)
{
    expectRefused(openJobText(job("", R"([{"file": "lib.preSrc", "quantity": 0}])")),
                  LibraryStatus::SettingRefused, "parts[0] (lib.preSrc): 数量");
    expectRefused(openJobText(R"({"plate": {"length": 2e6, "width": 1000}, "parts": ["lib.preSrc"]})"),
                  LibraryStatus::SettingRefused, "板材尺寸错误!");
    expectRefused(openJobText(job(R"("gap": 2e6, )", R"(["lib.preSrc"])")), LibraryStatus::SettingRefused,
                  "间距数据错误! partToPartGap");
    expectRefused(openJobText(job(R"("rn": 361, )", R"(["lib.preSrc"])")), LibraryStatus::SettingRefused,
                  "旋转次数错误! RN 不能大于 360");
    expectRefused(openJobText(job(R"("ppd": 0.001, )", R"(["lib.preSrc"])")), LibraryStatus::SettingRefused,
                  "排样点错误! PPD 0.001");
    // The layout methods turn every part alike: an entry's own value is refused, not ignored.
    expectRefused(openJobText(job("", R"(["lib.preSrc", {"file": "lib.preSrc", "rotations": 2}])")),
                  LibraryStatus::SettingRefused, "parts[1] (lib.preSrc): \"rotations\" 2 与整个作业的 RN 4 不同");
    expectRefused(openJobText(job(R"("turnOver": true, )", R"([{"file": "lib.preSrc", "turnOver": false}])")),
                  LibraryStatus::SettingRefused, "parts[0] (lib.preSrc): \"turnOver\" false");
    expectRefused(openJobText(job("", R"(["lib.preSrc", "missing.dxf"])")), LibraryStatus::Unreadable,
                  "零件文件不存在! parts[1] (missing.dxf)");
    expectRefused(openJobFile(ns, folder.file("none.json")), LibraryStatus::Unreadable, "作业文件读取失败!");
}

// --write-library, then opening the library written, gives the same parts: the same
// names, outlines and layout.
TEST_F(OpenJob, AWrittenLibraryOpensToTheSameParts)
{
    PartLibrary built;
    ASSERT_EQ(openJobText(job(R"("gap": 5, "margin": 10, )", R"([{"file": "lib.preSrc", "quantity": 4}])"), &built),
              LibraryStatus::Opened);
    ASSERT_TRUE(writePartLibrary(built, folder.file("copies.preSrc"), nullptr));
    layoutAll(ns, LayoutMethod::Gravity);

    test::RecordingPlatform otherPlatform;
    test::TempFolder otherFolder;
    NestSystem reopened(otherPlatform, otherFolder.path());
    ASSERT_EQ(openPartsFile(reopened, folder.file("copies.preSrc")), LibraryStatus::Opened);
    EXPECT_EQ(reopened.recordNames, ns.recordNames);
    EXPECT_EQ(reopened.partGap, ns.partGap);
    EXPECT_EQ(reopened.plateGap, ns.plateGap);
    EXPECT_EQ(reopened.turnOver, ns.turnOver);
    ASSERT_EQ(reopened.trueShapes.size(), 8u);
    auto shape = ns.trueShapes.begin();
    for (const Part& part : reopened.trueShapes) {
        EXPECT_EQ(part.label.text, shape->label.text);
        ASSERT_EQ(part.outer.points.size(), shape->outer.points.size());
        for (size_t i = 0; i < part.outer.points.size(); ++i) {
            EXPECT_EQ(part.outer.points[i].x, shape->outer.points[i].x);
            EXPECT_EQ(part.outer.points[i].y, shape->outer.points[i].y);
        }
        EXPECT_EQ(part.netArea, shape->netArea);  // the holes too
        ++shape;
    }
    layoutAll(reopened, LayoutMethod::Gravity);
    EXPECT_EQ(test::layoutFingerprint(reopened), test::layoutFingerprint(ns));
    EXPECT_EQ(reopened.unplacedCount(), 0);
}

}  // namespace
}  // namespace orvo
