#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "geometry/overlap.h"
#include "nesting/gravity.h"
#include "nesting/nest_system.h"
#include "support/recording_platform.h"

namespace orvo {
namespace {

std::string freshFolder(const std::string& tag)
{
    const auto dir = std::filesystem::temp_directory_path() / ("orvo_layout_properties_" + tag);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

// The rotation number the library's header asks for ("# RN: n").
int headerRotationNumber(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line) && line.rfind("#", 0) == 0) {
        if (line.rfind("# RN:", 0) == 0) return std::atoi(line.c_str() + 5);
    }
    return 0;
}

struct LaidOut {
    test::RecordingPlatform platform;
    std::unique_ptr<NestSystem> ns;
};

std::unique_ptr<LaidOut> layOut(const std::string& library, const std::string& tag)
{
    auto run = std::make_unique<LaidOut>();
    run->ns = std::make_unique<NestSystem>(run->platform, freshFolder(tag));
    const std::string path = std::string(ORVO_BENCHMARK_DIR) + "/" + library + ".preSrc";
    EXPECT_TRUE(openPartLibrary(*run->ns, path)) << path;
    const int rn = headerRotationNumber(path);
    if (rn > 0) run->ns->setRotationNumber(rn);
    layoutAll(*run->ns, LayoutMethod::Gravity);
    return run;
}

void expectLegal(const NestSystem& ns, const std::string& library)
{
    int placed = 0;
    for (auto a = ns.nestParts.begin(); a != ns.nestParts.end(); ++a) {
        if (a->plateId == -1) continue;
        ++placed;
        const Plate* p = ns.findPlate(a->plateId);
        ASSERT_NE(p, nullptr) << library;
        EXPECT_TRUE(boxInsideRect(*a, p->innerBox)) << library << " part " << a->partId;
        for (auto b = std::next(a); b != ns.nestParts.end(); ++b) {
            if (b->plateId != a->plateId) continue;
            EXPECT_TRUE(partsDisjoint(*a, *b))
                << library << " parts " << a->partId << " and " << b->partId;
        }
    }
    EXPECT_GT(placed, 0) << library;
}

bool sameContour(const Contour& a, const Contour& b)
{
    if (a.points.size() != b.points.size()) return false;
    for (size_t i = 0; i < a.points.size(); ++i) {
        if (a.points[i].x != b.points[i].x || a.points[i].y != b.points[i].y) return false;
    }
    return true;
}

void expectIdentical(const NestSystem& a, const NestSystem& b, const std::string& library)
{
    ASSERT_EQ(a.plates.size(), b.plates.size()) << library;
    for (auto p = a.plates.begin(), q = b.plates.begin(); p != a.plates.end(); ++p, ++q) {
        EXPECT_EQ(p->id, q->id);
        EXPECT_EQ(p->outerBox.min_X, q->outerBox.min_X);
        EXPECT_EQ(p->outerBox.min_Y, q->outerBox.min_Y);
    }
    ASSERT_EQ(a.nestParts.size(), b.nestParts.size()) << library;
    for (auto p = a.nestParts.begin(), q = b.nestParts.begin(); p != a.nestParts.end(); ++p, ++q) {
        EXPECT_EQ(p->plateId, q->plateId) << library << " part " << p->partId;
        EXPECT_EQ(p->basePt.x, q->basePt.x) << library << " part " << p->partId;
        EXPECT_EQ(p->basePt.y, q->basePt.y) << library << " part " << p->partId;
        EXPECT_EQ(p->rotationAngle, q->rotationAngle) << library << " part " << p->partId;
        EXPECT_EQ(p->mirrored, q->mirrored) << library << " part " << p->partId;
        EXPECT_TRUE(sameContour(p->outer, q->outer)) << library << " part " << p->partId;
    }
}

// Small libraries of both kinds: strip instances with one long plate, and sheet-metal
// parts with holes, gaps and turning over on several plates.
class LayoutProperties : public ::testing::TestWithParam<const char*> {};

TEST_P(LayoutProperties, LegalAndRepeatableBitForBit)
{
    const std::string library = GetParam();
    const std::string tag = library.substr(library.find('/') + 1);
    const auto first = layOut(library, tag + "_1");
    const auto second = layOut(library, tag + "_2");
    expectLegal(*first->ns, library);
    expectIdentical(*first->ns, *second->ns, library);
}

INSTANTIATE_TEST_SUITE_P(BenchmarkLibraries, LayoutProperties,
                         ::testing::Values("esicup/jakobs1", "esicup/shapes0", "esicup/blaz",
                                           "synthetic/sheet50"));

}  // namespace
}  // namespace orvo
