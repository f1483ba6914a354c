#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "nesting/layout_all.h"
#include "nesting/nest_system.h"
#include "nesting/optimise.h"
#include "nesting/optimise_search.h"
#include "output/packing_report.h"
#include "support/hand_layout.h"
#include "support/layout_checks.h"
#include "support/nest_fixture.h"
#include "support/recording_platform.h"
#include "support/shapes.h"
#include "support/temp_folder.h"

namespace orvo {
namespace {

using test::polygonPart;
using test::rectPart;

// Lying below the x axis from the origin, as the parts are parked.
Part parked(Part part)
{
    part.translatePart(-part.box.min_X, -part.box.max_Y);
    return part;
}

// A small library of rectangles, right triangles and L shapes, fixed by the seed.
void addRandomParts(NestSystem& ns, uint32_t seed, int count)
{
    std::mt19937 random(seed);
    auto size = [&](int low, int high) { return static_cast<double>(low + static_cast<int>(random() % (high - low + 1))); };
    for (int i = 0; i < count; ++i) {
        const double w = size(40, 320);
        const double h = size(40, 220);
        Part part;
        switch (random() % 3) {
        case 0: part = rectPart(0, 0, w, h, i); break;
        case 1: part = polygonPart({{0, 0}, {w, 0}, {0, h}}, i); break;
        default:
            part = polygonPart({{0, 0}, {w, 0}, {w, h / 3}, {w / 3, h / 3}, {w / 3, h}, {0, h}}, i);
            break;
        }
        part.partId = i;
        ns.nestParts.push_back(parked(part));
    }
}

OptimiseSettings iterationBudget(int64_t iterations, int32_t threads, uint64_t seed = 1)
{
    OptimiseSettings settings;
    settings.seconds = 0.0;
    settings.iterations = iterations;
    settings.threads = threads;
    settings.seed = seed;
    return settings;
}

// The layout check every returned layout must pass: the independent legality test and the
// packing report's conflict check on every plate.
void expectLegal(NestSystem& ns, const std::string& label)
{
    test::expectLegalLayout(ns, label);
    for (const Plate& plate : ns.plates) EXPECT_TRUE(markActivePlateConflicts(ns, plate)) << label << " plate " << plate.id;
}

struct OptimiseFixture : test::NestFixture {
    void SetUp() override { test::useSmallPlates(ns); }
};

// Over small libraries and a small budget: never fewer parts, never more plates, never a
// longer last plate than the start, and always legal; the score reported is the layout's.
TEST_F(OptimiseFixture, NeverWorseThanTheStartAndAlwaysLegal)
{
    bool improvedOnce = false;
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        ns.nestParts.clear();
        addRandomParts(ns, seed, 12 + static_cast<int>(seed) * 3);
        const std::atomic<bool> stop{false};
        const OptimiseOutcome outcome = optimiseLayoutAll(ns, iterationBudget(60, 2, seed), stop);
        const std::string label = "library " + std::to_string(seed);

        // The start is the better of the two greedy layouts (laid out again from parts that
        // moved, so equal up to rounding).
        layoutAll(ns, LayoutMethod::Gravity);
        const LayoutScore hape = scoreLayout(ns);
        layoutAll(ns, LayoutMethod::MultiStep);
        const LayoutScore multi = scoreLayout(ns);
        const LayoutScore start = betterScore(hape, multi) ? hape : multi;
        EXPECT_EQ(outcome.startScore.plates, start.plates) << label;
        EXPECT_NEAR(outcome.startScore.lastPlateLength, start.lastPlateLength, 1e-6) << label;

        // Laid out again to inspect the optimised layout (the runs above replaced it).
        const OptimiseOutcome again = optimiseLayoutAll(ns, iterationBudget(60, 2, seed), stop);
        const LayoutScore score = scoreLayout(ns);
        EXPECT_EQ(score.placed, start.placed) << label;
        EXPECT_FALSE(betterScore(again.startScore, score)) << label;
        EXPECT_EQ(again.score.plates, score.plates) << label;
        EXPECT_EQ(again.score.lastPlateLength, score.lastPlateLength) << label;
        EXPECT_EQ(again.iterations, 60) << label;
        expectLegal(ns, label);
        improvedOnce = improvedOnce || betterScore(score, again.startScore);
    }
    EXPECT_TRUE(improvedOnce) << "the search never improved on a start";
}

// A seed, a thread count and an iteration budget give the same layout bit for bit, also
// when two searches run at once in one process.
TEST(Optimise, SameSeedThreadsAndIterationsGiveTheSameLayoutEvenSideBySide)
{
    auto run = [](int32_t threads, uint64_t seed, std::vector<test::Placement>& result) {
        test::RecordingPlatform platform;
        test::TempFolder folder;
        NestSystem ns(platform, folder.path());
        test::useSmallPlates(ns);
        addRandomParts(ns, 7, 30);
        const std::atomic<bool> stop{false};
        optimiseLayoutAll(ns, iterationBudget(48, threads, seed), stop);
        result = test::placements(ns);
    };
    std::vector<test::Placement> first, second, third, fourth;
    run(2, 5, first);
    {
        std::jthread a([&] { run(2, 5, second); });
        std::jthread b([&] { run(1, 5, third); });
    }
    EXPECT_EQ(first, second);
    run(1, 5, fourth);
    EXPECT_EQ(third, fourth);
}

// A small library whose start needs a second plate: the strip search on the odd threads
// and the large-neighbourhood search beside them bring it down to one plate, where the
// strip arrangement takes over (with four threads, the fourth turns back to the large-
// neighbourhood search); legal, and the same for a seed, threads and budget.
TEST(Optimise, ALibraryLaidOnTwoPlatesEndsOnOneLegalAndRepeatable)
{
    auto run = [](int32_t threads, std::vector<test::Placement>& result) {
        test::RecordingPlatform platform;
        test::TempFolder folder;
        NestSystem ns(platform, folder.path());
        test::useSmallPlates(ns);
        addRandomParts(ns, 5, 16);
        const std::atomic<bool> stop{false};
        const OptimiseOutcome outcome = optimiseLayoutAll(ns, iterationBudget(1600, threads, 3), stop);
        EXPECT_EQ(outcome.startScore.plates, 2);
        EXPECT_EQ(outcome.score.plates, 1) << threads;
        EXPECT_EQ(scoreLayout(ns).placed, 16);
        expectLegal(ns, "two plates to one");
        result = test::placements(ns);
    };
    for (int32_t threads : {2, 4}) {
        std::vector<test::Placement> first, second;
        run(threads, first);
        run(threads, second);
        EXPECT_EQ(first, second) << threads;
    }
}

// The platform that asks the search to stop at its first status report (the greedy start
// layouts report progress too, with another text).
struct StoppingPlatform : test::RecordingPlatform {
    std::atomic<bool> stop{false};
    void setStatusText(const std::string& text) override
    {
        RecordingPlatform::setStatusText(text);
        if (text.rfind("优化排样中", 0) == 0) stop.store(true);
    }
};

TEST(Optimise, AStopRequestEndsTheSearchAfterTheCurrentAttemptsWithTheBestLayout)
{
    StoppingPlatform platform;
    test::TempFolder folder;
    NestSystem ns(platform, folder.path());
    test::useSmallPlates(ns);
    addRandomParts(ns, 3, 25);
    const OptimiseSettings settings = iterationBudget(100000, 2);
    const OptimiseOutcome stopped = optimiseLayoutAll(ns, settings, platform.stop);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_GE(stopped.iterations, 1);
    EXPECT_LE(stopped.iterations, 2 * kOptimiseRoundSteps);  // one round of attempts per thread
    EXPECT_FALSE(betterScore(stopped.startScore, stopped.score));
    EXPECT_EQ(scoreLayout(ns).placed, stopped.startScore.placed);
    EXPECT_EQ(scoreLayout(ns).lastPlateLength, stopped.score.lastPlateLength);
    expectLegal(ns, "stopped");

    // A stop requested before the call: the start layout, no search.
    const std::atomic<bool> early{true};
    const OptimiseOutcome none = optimiseLayoutAll(ns, settings, early);
    EXPECT_TRUE(none.stopped);
    EXPECT_EQ(none.iterations, 0);
    EXPECT_EQ(none.score.lastPlateLength, none.startScore.lastPlateLength);
}

TEST_F(OptimiseFixture, TheTimeBudgetIsReadOnThePlatformClock)
{
    addRandomParts(ns, 4, 20);
    platform.clockStep = 0.25;  // every reading a quarter second later
    OptimiseSettings settings;
    settings.seconds = 2.0;
    settings.threads = 1;
    const std::atomic<bool> stop{false};
    const OptimiseOutcome outcome = optimiseLayoutAll(ns, settings, stop);
    EXPECT_FALSE(outcome.stopped);
    EXPECT_GE(outcome.iterations, 1);
    EXPECT_LE(outcome.iterations, 8);  // one clock reading per attempt
    ASSERT_FALSE(platform.percents.empty());
    EXPECT_EQ(platform.percents.back(), 100);
    ASSERT_FALSE(platform.statusTexts.empty());
    EXPECT_NE(platform.statusTexts.back().find("板材 " + std::to_string(outcome.score.plates)), std::string::npos);
}

TEST_F(OptimiseFixture, APartLargerThanEveryPlateStaysUnplaced)
{
    ns.nestParts.push_back(parked(rectPart(0, 0, 1200, 100, 0)));
    addRandomParts(ns, 9, 10);
    const std::atomic<bool> stop{false};
    const OptimiseOutcome outcome = optimiseLayoutAll(ns, iterationBudget(30, 2), stop);
    EXPECT_EQ(ns.nestParts.front().plateId, -1);
    EXPECT_EQ(ns.unplacedCount(), 1);
    EXPECT_EQ(outcome.score.placed, 10);
    expectLegal(ns, "oversize");
}

// Two plates: a ring on the first, a small square alone on the second, which fits only in
// the ring's hole. The search saves the second plate.
TEST_F(OptimiseFixture, ASmallPartMovesIntoTheHoleOfARingToSaveAPlate)
{
    Plate& first = test::addPlateAt(ns, 0, -1050.0, 0.0, 1000.0, 500.0);
    test::addPlateAt(ns, 1, -1050.0, 550.0, 1000.0, 500.0);
    (void)first;
    Part ring = polygonPart({{0, 0}, {1000, 0}, {1000, 500}, {0, 500}},
                            {{{300, 100}, {300, 400}, {700, 400}, {700, 100}}});
    ring.translatePart(-1050.0, 0.0);
    ring.plateId = 0;
    ns.nestParts.push_back(ring);
    Part square = rectPart(-1050.0, 550.0, 150.0, 150.0, 1);
    square.plateId = 1;
    ns.nestParts.push_back(square);
    expectLegal(ns, "hand layout");

    LayoutSearch search(ns, 1, 0);
    const std::atomic<bool> halt{false};
    search.run(50, halt, halt);
    search.writeLayout(ns);
    ASSERT_EQ(ns.plates.size(), 1u);
    EXPECT_EQ(ns.nestParts.back().plateId, 0);
    const BoundingBox& box = ns.nestParts.back().box;
    EXPECT_GE(box.min_X, -1050.0 + 300.0 - 1e-3);
    EXPECT_LE(box.max_X, -1050.0 + 700.0 + 1e-3);
    expectLegal(ns, "after the search");
}

// A copy's placements go back and forth without a change: the holes keep their order.
TEST_F(OptimiseFixture, ALayoutCopyWrittenBackIsTheSameLayout)
{
    Part ring = polygonPart({{0, 0}, {400, 0}, {400, 400}, {0, 400}},
                            {{{50, 50}, {50, 150}, {150, 150}, {150, 50}}, {{200, 200}, {200, 300}, {300, 300}, {300, 200}}});
    ns.nestParts.push_back(parked(ring));
    addRandomParts(ns, 2, 5);
    layoutAll(ns, LayoutMethod::Gravity);
    const std::vector<test::Placement> before = test::placements(ns);
    std::vector<Contour> holes(ns.nestParts.front().holes.begin(), ns.nestParts.front().holes.end());
    LayoutSearch search(ns, 1, 0);
    search.writeLayout(ns);
    EXPECT_EQ(test::placements(ns), before);
    std::vector<Contour> after(ns.nestParts.front().holes.begin(), ns.nestParts.front().holes.end());
    ASSERT_EQ(after.size(), holes.size());
    for (size_t i = 0; i < holes.size(); ++i) {
        ASSERT_EQ(after[i].points.size(), holes[i].points.size());
        for (size_t k = 0; k < holes[i].points.size(); ++k) {
            EXPECT_EQ(after[i].points[k].x, holes[i].points[k].x);
            EXPECT_EQ(after[i].points[k].y, holes[i].points[k].y);
        }
    }
}

}  // namespace
}  // namespace orvo
