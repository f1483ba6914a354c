#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <limits>
#include <ostream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/open_library.h"
#include "nesting/nest_system.h"
#include "support/library_text.h"
#include "support/nest_fixture.h"
#include "support/shapes.h"

namespace orvo {
namespace {

struct SortCase {
    std::vector<double> areas;
    std::vector<int32_t> order;  // positions of the input parts after the sort
};

// The areas, not the bytes of the vectors, in gtest's messages.
void PrintTo(const SortCase& c, std::ostream* out)
{
    *out << "areas";
    for (double area : c.areas) *out << ' ' << area;
}

class SortByArea : public ::testing::TestWithParam<SortCase> {};

TEST_P(SortByArea, DecreasingAreaWithTheOrderOfEqualAreasOfTheSelectionProcedure)
{
    PartList parts;
    int32_t position = 0;
    for (double area : GetParam().areas) {
        parts.push_back(test::rectPart(0, 0, area, 1, position++));
    }
    sortByArea(parts);
    std::vector<int32_t> order;
    for (const Part& part : parts) order.push_back(part.partId);
    EXPECT_EQ(order, GetParam().order);
}

INSTANTIATE_TEST_SUITE_P(
    Areas, SortByArea,
    ::testing::Values(SortCase{{2, 3, 4, 4, 2, 4}, {2, 3, 5, 1, 4, 0}},  // the first 2 ends last
                      SortCase{{1, 1, 2}, {2, 1, 0}}, SortCase{{5, 5, 5}, {0, 1, 2}},
                      SortCase{{1, 2, 3}, {2, 1, 0}}, SortCase{{3, 1, 2}, {0, 2, 1}},
                      SortCase{{}, {}}, SortCase{{7}, {0}}),
    [](const ::testing::TestParamInfo<SortCase>& info) {
        std::string name = "areas";
        for (double area : info.param.areas) {
            name += '_';
            name += std::to_string(static_cast<int>(area));
        }
        return info.param.areas.empty() ? std::string("none") : name;
    });

// The selection sort that defined the order of equal areas, kept as the reference.
void referenceSortByArea(PartList& parts)
{
    if (parts.size() < 2) return;
    auto cur = std::prev(parts.end());
    while (true) {
        auto candidate = cur;
        for (auto it = parts.begin(); it != cur; ++it) {
            if (it->netArea < candidate->netArea) candidate = it;
        }
        if (candidate != cur) {
            parts.splice(std::next(cur), parts, candidate);
            continue;
        }
        if (cur == parts.begin()) return;
        --cur;
    }
}

std::vector<int32_t> idsAfter(void (*sort)(PartList&), const std::vector<double>& areas)
{
    PartList parts;
    int32_t id = 0;
    for (double area : areas) {
        Part part = test::rectPart(0, 0, 1, 1, id++);
        part.netArea = area;  // the sort reads nothing else
        parts.push_back(part);
    }
    sort(parts);
    std::vector<int32_t> ids;
    for (const Part& part : parts) ids.push_back(part.partId);
    return ids;
}

TEST(SortByAreaOrder, MatchesTheSelectionSortOnRandomListsWithManyTies)
{
    std::mt19937 random(12);
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> pool = {0.0, -0.0, 1.0, 2.0, 2.0 + 1e-12, 3.5, -4.0, inf, -inf, 1e300};
    for (int round = 0; round < 3000; ++round) {
        const size_t n = random() % 40;
        const size_t values = 1 + random() % pool.size();  // few values, many ties
        std::vector<double> areas;
        for (size_t i = 0; i < n; ++i) areas.push_back(pool[random() % values]);
        if (round % 10 == 0 && n > 0) areas[random() % n] = std::nan("");
        ASSERT_EQ(idsAfter(sortByArea, areas), idsAfter(referenceSortByArea, areas))
            << "round " << round;
    }
}

class PrepareNestParts : public test::NestFixture {
protected:
    void open(const std::string& text) { ASSERT_TRUE(openLibraryText(text)); }
    const Part& nestPart(int32_t partId)
    {
        for (const Part& part : ns.nestParts) {
            if (part.partId == partId) return part;
        }
        throw std::runtime_error("no such part");
    }
};

// A 100 x 20 bar laid in the library at 30 degrees.
std::vector<test::LoopVertex> tiltedBar()
{
    const double c = std::cos(kPi / 6), s = std::sin(kPi / 6);
    return {{0, 0, 0}, {100 * c, 100 * s, 0}, {100 * c - 20 * s, 100 * s + 20 * c, 0}, {-20 * s, 20 * c, 0}};
}

TEST_F(PrepareNestParts, OrientsSortsGrowsAndParksEveryPart)
{
    // The part of the worked example: an arc of radius 60 on its right edge, a 30 x 50 hole.
    const std::vector<test::LoopVertex> arcOuter = {{0, 0, 0}, {200, 0, 60}, {200, 100, 0}, {0, 100, 0}};
    open(test::configSection(4, 10, 3000, 1500, true) + test::partRecord("BAR", {tiltedBar()}) +
         test::partRecord("ARC", {arcOuter, test::rectLoop(50, 25, 30, 50)}) +
         test::partRecord("RECT", {test::rectLoop(0, 0, 100, 50)}));

    // The size classes and the derived values of a 3000 x 1500 plate.
    EXPECT_DOUBLE_EQ(ns.bigArea, 375.0 * 375.0);
    EXPECT_DOUBLE_EQ(ns.mediumArea, 250.0 * 250.0);
    EXPECT_DOUBLE_EQ(ns.hugeArea, 500.0 * 500.0);
    EXPECT_DOUBLE_EQ(ns.smallArea, 125.0 * 125.0);
    EXPECT_DOUBLE_EQ(ns.plateSpacing, 150.0);
    EXPECT_EQ(ns.platesPerColumn, 5);
    EXPECT_DOUBLE_EQ(ns.packingPointDistance, 15.0);

    // trueShapes: file order, loaded pose, not grown.
    std::vector<int32_t> ids;
    for (const Part& part : ns.trueShapes) ids.push_back(part.partId);
    EXPECT_EQ(ids, (std::vector<int32_t>{0, 1, 2}));
    const Part& trueRect = ns.trueShapes.back();
    EXPECT_DOUBLE_EQ(trueRect.netArea, 5000.0);
    EXPECT_DOUBLE_EQ(trueRect.box.min_X, 0.0);

    // nestParts: by decreasing area, grown by half the gap (2), parked below right of 0.
    ids.clear();
    for (const Part& part : ns.nestParts) ids.push_back(part.partId);
    EXPECT_EQ(ids, (std::vector<int32_t>{1, 2, 0}));
    for (const Part& part : ns.nestParts) {
        EXPECT_NEAR(part.box.min_X, 0.0, 1e-9);
        EXPECT_NEAR(part.box.max_Y, 0.0, 1e-9);
        EXPECT_EQ(part.plateId, -1);
    }
    EXPECT_NEAR(nestPart(2).outer.area, 104.0 * 54.0, 1e-6);
    EXPECT_NEAR(nestPart(2).netArea, 104.0 * 54.0, 1e-6);
    ASSERT_EQ(nestPart(1).holes.count(), 1);
    EXPECT_NEAR(nestPart(1).holes.front().area, 26.0 * 46.0, 1e-6);  // the hole shrinks
    EXPECT_GT(nestPart(1).netArea, ns.trueShapes.front().netArea);

    // The tilted bar is turned to its smallest box before it is grown: 104 x 24.
    const BoundingBox& bar = nestPart(0).box;
    const double w = bar.max_X - bar.min_X, h = bar.max_Y - bar.min_Y;
    EXPECT_NEAR(std::max(w, h), 104.0, 0.5);
    EXPECT_NEAR(std::min(w, h), 24.0, 0.5);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(PrepareNestParts, WithoutAGapThePartsKeepTheirSize)
{
    open(test::configSection(0, 10, 3000, 1500, true) + test::partRecord("RECT", {test::rectLoop(5, 5, 100, 50)}));
    EXPECT_DOUBLE_EQ(ns.nestParts.front().outer.area, 5000.0);
    EXPECT_DOUBLE_EQ(ns.nestParts.front().box.max_X, 100.0);
}

// A plate of the narrowest width and the greatest length would give a PPD of 1e-5 mm and
// a grid of 1e13 points, which every grid refuses later: the value is refused at once
// and PPD keeps its value.
TEST_F(PrepareNestParts, AnAbsurdGridKeepsTheOldPackingPointDistance)
{
    open(test::configSection(0, 0, 1e6, 0.001, true) +
         test::partRecord("RECT", {test::rectLoop(0, 0, 100, 50)}));
    EXPECT_DOUBLE_EQ(ns.packingPointDistance, 30.0);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              "排样点错误! PPD 0.00001 过小: 标准板材 1000000 x 0.001 上 PPD 不能小于 0.0200002");
    EXPECT_EQ(ns.nestParts.size(), 1u);
}

}  // namespace
}  // namespace orvo
