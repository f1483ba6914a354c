#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "geometry/contour.h"
#include "geometry/part.h"
#include "base/text_encoding.h"
#include "nesting/layout_all.h"
#include "nesting/gravity.h"
#include "nesting/nest_system.h"
#include "support/layout_checks.h"
#include "support/nest_fixture.h"
#include "support/recording_platform.h"
#include "support/shapes.h"
#include "support/temp_folder.h"

namespace orvo {
namespace {

const char* const kGravityTimingFile = "重力排样计算时间.txt";
const char* const kMultiStepTimingFile = "多步排样计算时间.txt";

using test::polygonPart;

// Lying below the x axis from the origin, as the parts are parked.
Part parkedRectangle(double w, double h) { return test::rectPart(0, -h, w, h); }

struct LayoutAllFixture : test::NestFixture {
    void SetUp() override
    {
        test::useSmallPlates(ns);
    }

    void addCopies(const Part& part, int copies)
    {
        for (int i = 0; i < copies; ++i) ns.nestParts.push_back(part);
    }

    int placedOn(const Plate& p) const
    {
        int n = 0;
        for (const Part& part : ns.nestParts) n += part.plateId == p.id ? 1 : 0;
        return n;
    }
};

TEST_F(LayoutAllFixture, NoPartsCreatesNoPlateAndWritesTheComputingTime)
{
    struct Case {
        double clockStep;
        const char* text;
    };
    // The clock is read once at the start and once at the end.
    for (const Case& c : {Case{0.25, "排样计算时间为:250.00 毫秒"}, Case{1.5, "排样计算时间为:1.50 秒"}}) {
        platform.clockStep = c.clockStep;
        layoutAll(ns, LayoutMethod::Gravity);
        EXPECT_TRUE(ns.plates.empty());
        EXPECT_EQ(ns.activePlate, nullptr);
        EXPECT_TRUE(platform.percents.empty());
        EXPECT_EQ(test::readFile(ns.outputPath(kGravityTimingFile)), utf8ToGbk(c.text) + "\r\n");
    }
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(LayoutAllFixture, OneBigPartPerPlateInColumnsOfFiveWithProgressPerPlate)
{
    addCopies(parkedRectangle(900, 400), 6);  // each takes a plate of its own through placeFirstBig
    layoutAll(ns, LayoutMethod::Gravity);

    ASSERT_EQ(ns.plates.size(), 6u);
    int32_t id = 0;
    for (const Plate& p : ns.plates) {
        EXPECT_EQ(p.id, id);
        EXPECT_EQ(placedOn(p), 1);
        const double x = -(1000.0 + 50.0) * (id / 5 + 1);
        const double y = (500.0 + 50.0) * (id % 5);
        EXPECT_DOUBLE_EQ(p.outerBox.min_X, x);
        EXPECT_DOUBLE_EQ(p.outerBox.max_X, x + 1000.0);
        EXPECT_DOUBLE_EQ(p.outerBox.min_Y, y);
        EXPECT_DOUBLE_EQ(p.outerBox.max_Y, y + 500.0);
        ++id;
    }
    EXPECT_EQ(ns.activePlate, &ns.plates.back());
    EXPECT_EQ(platform.percents, (std::vector<int>{16, 33, 50, 66, 83, 100}));
    EXPECT_EQ(platform.statusTexts.back(), "排样中... 100%");
    EXPECT_EQ(platform.repaints, 6);
    ASSERT_EQ(platform.worldBoxes.size(), 6u);
    EXPECT_DOUBLE_EQ(platform.worldBoxes.back().min_X, -2100.0);
    EXPECT_DOUBLE_EQ(platform.worldBoxes.back().max_Y, 2700.0);
}

TEST_F(LayoutAllFixture, RotationNumberBelowOneGivesOnlyFirstBigParts)
{
    addCopies(parkedRectangle(400, 400), 2);  // more than a quarter of the plate
    addCopies(parkedRectangle(100, 100), 2);
    ns.rotationNumber = 0;
    layoutAll(ns, LayoutMethod::Gravity);

    ASSERT_EQ(ns.plates.size(), 2u);  // the third plate took nothing and was removed
    for (const Plate& p : ns.plates) EXPECT_EQ(placedOn(p), 1);
    EXPECT_EQ(ns.unplacedCount(), 2);
    EXPECT_EQ(ns.activePlate, &ns.plates.back());
    EXPECT_EQ(platform.percents.size(), 3u);
}

TEST_F(LayoutAllFixture, APartThatFitsNowhereEndsTheRunAndNeverReportsAHundred)
{
    addCopies(parkedRectangle(100, 100), 3);
    add(polygonPart({{0, 0}, {0, 1000}, {0, 2000}}));  // no area, longer than any plate
    layoutAll(ns, LayoutMethod::Gravity);

    ASSERT_EQ(ns.plates.size(), 1u);
    EXPECT_EQ(placedOn(ns.plates.front()), 3);
    EXPECT_EQ(ns.unplacedCount(), 1);
    EXPECT_EQ(ns.activePlate, &ns.plates.front());
    // Every part with area is placed, yet one part is not: the bar stops short of 100.
    EXPECT_EQ(platform.percents, (std::vector<int>{99, 99}));
}

TEST_F(LayoutAllFixture, PlacesEveryPartLegallyAndStartsAfreshEachRun)
{
    addCopies(parkedRectangle(300, 200), 3);
    addCopies(polygonPart({{0, 0}, {200, 0}, {0, 150}}), 8);
    addCopies(parkedRectangle(40, 40), 20);
    for (int run = 0; run < 2; ++run) {
        layoutAll(ns, LayoutMethod::Gravity);
        EXPECT_EQ(ns.unplacedCount(), 0);
        ASSERT_FALSE(ns.plates.empty());
        EXPECT_EQ(ns.plates.front().id, 0);
        test::expectLegalLayout(ns);
        EXPECT_EQ(ns.packingPoints.columns, 0);  // released after every plate
    }
}

TEST_F(LayoutAllFixture, MultiStepWritesItsOwnTimingFile)
{
    addCopies(parkedRectangle(100, 100), 4);
    layoutAll(ns, LayoutMethod::MultiStep);
    EXPECT_EQ(ns.unplacedCount(), 0);
    EXPECT_TRUE(std::filesystem::exists(ns.outputPath(kMultiStepTimingFile)));
    EXPECT_FALSE(std::filesystem::exists(ns.outputPath(kGravityTimingFile)));
}

TEST(LayoutAll, AMissingTimingFileIsAWarningAndTheLayoutStillRuns)
{
    test::RecordingPlatform platform;
    test::TempFolder folder;
    NestSystem ns(platform, folder.file("not/there"));
    ns.plateLength = 1000.0;
    ns.plateWidth = 500.0;
    ns.packingPointDistance = 10.0;
    ns.nestParts.push_back(parkedRectangle(100, 100));
    platform.messages.clear();  // the error report could not be opened there either

    layoutAll(ns, LayoutMethod::Gravity);

    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "记录排样计算时间的文件输出失败! " +
                                             folder.file("not/there/重力排样计算时间.txt") +
                                             ": No such file or directory");
    EXPECT_EQ(platform.messages[0].caption, "Warning!");
    EXPECT_EQ(ns.plates.size(), 1u);
    EXPECT_EQ(ns.unplacedCount(), 0);
}

// A stop raised while a plate is drawn ends the run before the next plate; the previous
// computing-time file stays.
TEST(LayoutAll, AStopRequestEndsTheRunBetweenPlatesAndKeepsTheTimingFile)
{
    struct StoppingPlatform : test::RecordingPlatform {
        std::atomic<bool> stop{false};
        void repaintNow() override
        {
            if (++repaints == 2) stop = true;
        }
    } platform;
    test::TempFolder folder;
    NestSystem ns(platform, folder.path());
    ns.plateLength = 1000.0;
    ns.plateWidth = 500.0;
    ns.packingPointDistance = 10.0;
    for (int i = 0; i < 5; ++i) ns.nestParts.push_back(parkedRectangle(900, 400));
    const std::string timing = folder.file(kGravityTimingFile);
    test::writeFile(timing, "before");

    layoutAll(ns, LayoutMethod::Gravity, &platform.stop);

    EXPECT_EQ(ns.plates.size(), 2u);
    EXPECT_EQ(ns.unplacedCount(), 3);
    EXPECT_EQ(test::readFile(timing), "before");
    EXPECT_TRUE(platform.messages.empty());
}

}  // namespace
}  // namespace orvo
