#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "nesting/layout_all.h"
#include "nesting/gravity.h"
#include "app/open_library.h"
#include "nesting/nest_system.h"
#include "support/layout_checks.h"
#include "support/layout_fingerprint.h"
#include "support/nest_session.h"

namespace orvo {
namespace {

struct LaidOut {
    std::vector<test::Placement> placements;
    std::vector<double> outerCoordinates;  // the outlines too must be the same bit for bit
    size_t plates = 0;
    int placed = 0;
    bool timingFileWritten = false;
};

// The names are pinned here, not taken from the code under test.
const char* expectedTimingFile(LayoutMethod method)
{
    return method == LayoutMethod::Gravity ? "重力排样计算时间.txt" : "多步排样计算时间.txt";
}

// Opens the library in a NestSystem of its own with the rotation number its header asks
// for, lays it out and checks that every placed part is legal.
LaidOut layOut(const std::string& library, LayoutMethod method)
{
    test::NestSession session;
    NestSystem& ns = session.ns;
    const std::string path = std::string(ORVO_BENCHMARK_DIR) + "/" + library + ".preSrc";
    EXPECT_TRUE(session.openBenchmarkLibrary(path)) << path;
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
    result.timingFileWritten = std::filesystem::exists(ns.outputPath(expectedTimingFile(method)));
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

struct PinnedLayout {
    const char* library;
    LayoutMethod method;
    uint64_t fingerprint;
};

// The layouts as the methods gave them before the collision tests were sped up (x86-64,
// SSE arithmetic). A speed-up must leave every one of them bit for bit; a change of the
// methods themselves that moves a part must say so by updating this table.
TEST(PinnedLayouts, SpeedUpsLeaveEveryPlacementBitForBit)
{
    const PinnedLayout pinned[] = {
        {"esicup/shirts", LayoutMethod::Gravity, 0xdff65046f80cdd34ull},
        {"esicup/shirts", LayoutMethod::MultiStep, 0xdd65b3894c19dcc1ull},
        {"esicup/shapes1", LayoutMethod::Gravity, 0x3df395f004b96644ull},
        {"esicup/shapes1", LayoutMethod::MultiStep, 0x0f8ea5dd386e7571ull},
        {"synthetic/sheet50", LayoutMethod::Gravity, 0x61bcf2e3bf99afa0ull},
        {"synthetic/sheet50", LayoutMethod::MultiStep, 0xacb25b8ce770d97aull},
        {"gardeyn/gardeyn1", LayoutMethod::Gravity, 0xcce096c6cf0d617dull},
        {"gardeyn/gardeyn1", LayoutMethod::MultiStep, 0x572f37d66908e819ull},
    };
    for (const PinnedLayout& p : pinned) {
        test::NestSession session;
        const std::string path = std::string(ORVO_BENCHMARK_DIR) + "/" + p.library + ".preSrc";
        ASSERT_TRUE(session.openBenchmarkLibrary(path)) << path;
        layoutAll(session.ns, p.method);
        EXPECT_EQ(test::layoutFingerprint(session.ns), p.fingerprint)
            << p.library << (p.method == LayoutMethod::Gravity ? " hape" : " multistep");
    }
}

}  // namespace
}  // namespace orvo
