#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "nest_test_helpers.h"
#include "nesting/gravity.h"
#include "nesting/nest_system.h"

namespace orvo {
namespace {

struct LaidOut {
    std::vector<test::Placement> placements;
    std::vector<double> outerCoordinates;  // the outlines too must be the same bit for bit
    size_t plates = 0;
    int placed = 0;
    bool timingFileWritten = false;
};

const char* timingFileName(LayoutMethod method)
{
    return method == LayoutMethod::Gravity ? "重力排样计算时间.txt" : "多步排样计算时间.txt";
}

// Opens the library in a NestSystem of its own with the rotation number its header asks
// for, lays it out and checks that every placed part is legal.
LaidOut layOut(const std::string& library, LayoutMethod method)
{
    test::RecordingPlatform platform;
    test::TempFolder folder;
    NestSystem ns(platform, folder.path());
    const std::string path = std::string(ORVO_BENCHMARK_DIR) + "/" + library + ".preSrc";
    EXPECT_TRUE(openPartLibrary(ns, path)) << path;
    const int rn = test::headerRotationNumber(path);
    if (rn > 0) ns.setRotationNumber(rn);
    layoutAll(ns, method);

    LaidOut result;
    result.placed = test::expectLegalLayout(ns, library);
    result.placements = test::placements(ns);
    for (const Part& part : ns.nestParts) {
        for (const Point& v : part.outer.points) {
            result.outerCoordinates.push_back(v.x);
            result.outerCoordinates.push_back(v.y);
        }
    }
    result.plates = ns.plates.size();
    result.timingFileWritten = std::filesystem::exists(ns.outputPath(timingFileName(method)));
    return result;
}

// Small libraries of both kinds: strip instances with one long plate, and sheet-metal
// parts with holes, gaps and turning over on several plates.
class LayoutProperties
    : public ::testing::TestWithParam<std::tuple<const char*, LayoutMethod>> {};

TEST_P(LayoutProperties, LegalAndRepeatableBitForBit)
{
    const auto [library, method] = GetParam();
    const LaidOut first = layOut(library, method);
    const LaidOut second = layOut(library, method);
    EXPECT_GT(first.placed, 0);
    EXPECT_TRUE(first.timingFileWritten);
    EXPECT_EQ(first.plates, second.plates);
    EXPECT_TRUE(first.placements == second.placements);
    EXPECT_TRUE(first.outerCoordinates == second.outerCoordinates);
}

INSTANTIATE_TEST_SUITE_P(
    BenchmarkLibraries, LayoutProperties,
    ::testing::Combine(::testing::Values("esicup/jakobs1", "esicup/shapes0", "esicup/blaz",
                                         "synthetic/sheet50"),
                       ::testing::Values(LayoutMethod::Gravity, LayoutMethod::MultiStep)),
    [](const auto& info) {
        const std::string library = std::get<0>(info.param);
        const bool gravity = std::get<1>(info.param) == LayoutMethod::Gravity;
        return library.substr(library.find('/') + 1) + (gravity ? "_hape" : "_multistep");
    });

}  // namespace
}  // namespace orvo
