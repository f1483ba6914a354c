#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "geometry/contour.h"
#include "geometry/overlap.h"
#include "nesting/gravity.h"
#include "nesting/multistep.h"
#include "nesting/nest_system.h"
#include "support/recording_platform.h"

namespace orvo {
namespace {

std::string freshFolder(const std::string& suffix = "")
{
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    const auto dir = std::filesystem::temp_directory_path() / ("orvo_multistep_" + name + suffix);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

Part polygonPart(const std::vector<Point>& points)
{
    Contour outer;
    outer.setPoints(points);
    Part part;
    part.initShape(outer, ContourList());
    return part;
}

Part rectangle(double w, double h) { return polygonPart({{0, 0}, {w, 0}, {w, h}, {0, h}}); }

Part regularPolygon(int corners, double radius)
{
    std::vector<Point> points;
    for (int i = 0; i < corners; ++i) {
        const double a = 2 * kPi * i / corners;
        points.emplace_back(radius * std::cos(a), radius * std::sin(a));
    }
    return polygonPart(points);
}

int firstPass(const NestSystem& ns, const Part& part)
{
    for (int pass = 1; pass <= 5; ++pass) {
        if (multiStepPassTakes(ns, part, pass)) return pass;
    }
    return 0;
}

TEST(MultiStepPasses, EachSizeClassGoesToItsPass)
{
    test::RecordingPlatform platform;
    NestSystem ns(platform, freshFolder());
    ns.plateLength = 2000;
    ns.plateWidth = 1000;
    ns.prepareNestParts();  // no outlines: only the size classes are set

    // A circle-like 64-gon of the 80 x 80 square's area (6400): fill about 0.785.
    const double radius = std::sqrt(6400 / (32 * std::sin(2 * kPi / 64)));
    struct Case {
        const char* name;
        Part part;
        int pass;
        bool gravityAtLast;
    };
    const Case cases[] = {
        {"400 x 300", rectangle(400, 300), 1, false},
        {"300 x 250", rectangle(300, 250), 2, false},
        {"triangle of 70000", polygonPart({{0, 0}, {500, 0}, {0, 280}}), 3, false},
        {"200 x 150", rectangle(200, 150), 4, false},
        {"80 x 80", rectangle(80, 80), 5, true},
        {"circle of 6400", regularPolygon(64, radius), 5, false},
        {"85 x 85", rectangle(85, 85), 5, false},  // 7225, above smallArea
    };
    for (const Case& c : cases) {
        EXPECT_EQ(firstPass(ns, c.part), c.pass) << c.name;
        EXPECT_EQ(isSmallSquarePart(ns, c.part), c.gravityAtLast) << c.name;
    }
    // Big parts not taken by the box-stacking passes meet shape matching in pass 3.
    EXPECT_TRUE(multiStepPassTakes(ns, rectangle(400, 300), 3));
    EXPECT_TRUE(multiStepPassTakes(ns, rectangle(300, 250), 3));
    EXPECT_FALSE(multiStepPassTakes(ns, rectangle(200, 150), 3));
}

class MultiStepPlateTest : public ::testing::Test {
protected:
    MultiStepPlateTest() : ns(platform, freshFolder())
    {
        ns.plateLength = 2000;
        ns.plateWidth = 1000;
        ns.prepareNestParts();
        ns.turnOver = false;
        ns.packingPointDistance = 20.0;
        ns.plates.push_back(ns.createPlate(0, 2000, 1000));
    }

    Part& add(const Part& part)
    {
        ns.nestParts.push_back(part);
        Part& added = ns.nestParts.back();
        added.translatePart(-added.box.max_X, -added.box.max_Y);
        return added;
    }

    void expectLegal()
    {
        const Plate& p = ns.plates.front();
        for (const Part& a : ns.nestParts) {
            if (a.plateId != p.id) continue;
            EXPECT_TRUE(boxInsideRect(a, p.innerBox));
            for (const Part& b : ns.nestParts) {
                if (&a == &b || b.plateId != p.id) continue;
                EXPECT_TRUE(partsDisjoint(a, b));
            }
        }
    }

    test::RecordingPlatform platform;
    NestSystem ns;
};

TEST_F(MultiStepPlateTest, NothingSelectedChangesNothingButRegeneratesTheGrid)
{
    add(rectangle(300, 200));
    EXPECT_FALSE(multiStepSelected(ns, ns.plates.front()));
    EXPECT_EQ(ns.unplacedCount(), 1);
    EXPECT_EQ(ns.packingPoints.columns, 101);
    EXPECT_EQ(ns.packingPoints.rows, 51);
}

TEST_F(MultiStepPlateTest, SelectedPartsOnlyAndTheGridStays)
{
    Part& big = add(rectangle(1200, 900));
    Part& medium = add(polygonPart({{0, 0}, {300, 0}, {300, 100}, {100, 300}, {0, 300}}));
    Part& left = add(rectangle(100, 100));
    big.selected = medium.selected = true;

    EXPECT_TRUE(multiStepSelected(ns, ns.plates.front()));
    EXPECT_EQ(big.plateId, 0);
    EXPECT_EQ(medium.plateId, 0);
    EXPECT_EQ(left.plateId, -1);
    EXPECT_GT(ns.packingPoints.columns, 0);
    // The first big part sits in the lower left corner.
    EXPECT_NEAR(big.box.min_X, 0, 1e-6);
    EXPECT_NEAR(big.box.min_Y, 0, 1e-6);
    expectLegal();
}

TEST_F(MultiStepPlateTest, LayoutOfOnePlateIsLegalAndReleasesTheGrid)
{
    for (int i = 0; i < 3; ++i) add(rectangle(450, 320));                       // pass 1
    for (int i = 0; i < 3; ++i) add(rectangle(290, 260));                       // pass 2
    for (int i = 0; i < 4; ++i) add(polygonPart({{0, 0}, {500, 0}, {0, 280}}));  // pass 3
    for (int i = 0; i < 6; ++i) add(regularPolygon(12, 110));                  // pass 4
    for (int i = 0; i < 20; ++i) add(rectangle(60, 60));                       // pass 5
    sortByArea(ns.nestParts);

    EXPECT_TRUE(multiStepLayoutPlate(ns, ns.plates.front()));
    EXPECT_EQ(ns.unplacedCount(), 0);
    EXPECT_EQ(ns.packingPoints.columns, 0);
    expectLegal();
}

// The benchmark libraries give "# RN: n" in their header comment.
int32_t rotationNumberOf(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("# RN:", 0) == 0) return std::stoi(line.substr(5));
    }
    return 4;
}

struct Placement {
    int32_t plateId;
    double x, y, angle;
    bool mirrored;
    bool operator==(const Placement&) const = default;
};

std::vector<Placement> layOut(const std::string& library, const std::string& folder,
                              size_t& plates)
{
    test::RecordingPlatform platform;
    NestSystem ns(platform, folder);
    EXPECT_TRUE(openPartLibrary(ns, library));
    ns.setRotationNumber(rotationNumberOf(library));
    layoutAll(ns, LayoutMethod::MultiStep);
    EXPECT_TRUE(std::filesystem::exists(ns.outputPath("多步排样计算时间.txt")));

    std::vector<Placement> result;
    for (const Part& a : ns.nestParts) {
        result.push_back({a.plateId, a.basePt.x, a.basePt.y, a.rotationAngle, a.mirrored});
        if (a.plateId == -1) continue;
        const Plate* p = ns.findPlate(a.plateId);
        EXPECT_NE(p, nullptr);
        if (p == nullptr) continue;
        EXPECT_TRUE(boxInsideRect(a, p->innerBox)) << library << " part " << a.partId;
        for (const Part& b : ns.nestParts) {
            if (&a == &b || b.plateId != a.plateId) continue;
            EXPECT_TRUE(partsDisjoint(a, b))
                << library << " parts " << a.partId << " and " << b.partId;
        }
    }
    plates = ns.plates.size();
    return result;
}

class MultiStepLibraryTest : public ::testing::TestWithParam<const char*> {};

TEST_P(MultiStepLibraryTest, LayoutIsLegalAndRepeatable)
{
    const std::string library = std::string(ORVO_BENCHMARK_DIR) + "/" + GetParam();
    size_t platesFirst = 0, platesSecond = 0;
    const auto first = layOut(library, freshFolder("_1"), platesFirst);
    const auto second = layOut(library, freshFolder("_2"), platesSecond);
    EXPECT_GT(platesFirst, 0u);
    EXPECT_EQ(platesFirst, platesSecond);
    EXPECT_TRUE(first == second);
}

INSTANTIATE_TEST_SUITE_P(SmallLibraries, MultiStepLibraryTest,
                         ::testing::Values("esicup/jakobs1.preSrc", "esicup/blaz.preSrc",
                                           "synthetic/sheet50.preSrc"));

}  // namespace
}  // namespace orvo
