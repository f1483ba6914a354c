// Layouts that the whole-pipeline fuzzing found illegal, reduced to small libraries.
#include <gtest/gtest.h>

#include <string>

#include "library_text.h"
#include "nest_test_helpers.h"
#include "nesting/gravity.h"
#include "nesting/nest_system.h"
#include "output/packing_info.h"

namespace orvo {
namespace {

// Opens the library text in the fixture's NestSystem with the given rotation number.
void openLibrary(test::NestFixture& f, const std::string& text, int32_t rotationNumber)
{
    const std::string path = f.folder.file("library.preSrc");
    test::writeFile(path, text);
    ASSERT_TRUE(openPartLibrary(f.ns, path));
    f.ns.rotationNumber = rotationNumber;
}

using LayoutRegressions = test::NestFixture;

// Shape matching tests each candidate where the pushes left it, then places the part by
// carrying it to the winning pose afresh (applyPose): a new translation and a rotation
// about the new reference point, whose rounding differs from that of the tested copy.
// Here the needle of the second part cleared the L's top edge by 3e-14 in the test and
// lands exactly on it: the layout holds two touching parts with no gap at all. Stacking
// places by applyPose in the same way. Disabled until both place the tested outline.
TEST_F(LayoutRegressions, DISABLED_MatchedPartLiesWhereItWasTested)
{
    const std::vector<test::LoopVertex> lShape = {
        {0, 0, 0}, {200, 0, 0}, {200, 40, 0}, {40, 40, 0}, {40, 150, 0}, {0, 150, 0}};
    // The L with its inner corner pulled back to the origin: a needle along the y axis.
    const std::vector<test::LoopVertex> needle = {
        {0, 0, 0}, {200, 0, 0}, {200, 40, 0}, {40, 40, 0}, {0, 0, 0}, {0, 150, 0}};
    const std::vector<test::LoopVertex> triangle = {{0, 0, 0}, {180, 0, 0}, {30, 90, 0}};
    openLibrary(*this,
                test::configSection(0, 0, 400, 200, false) + test::partRecord("L", {lShape}) +
                    test::partRecord("NEEDLE", {needle}) + test::partRecord("TRI", {triangle}),
                2);

    // The round trip through the packing-information file leaves the turned parts a few
    // 1e-9 rad off their half turn, which puts the needle's tip just inside the edge.
    layoutAll(ns, LayoutMethod::Gravity);
    ASSERT_TRUE(exportPackingInfo(ns, folder.file("layout.pck")));
    ASSERT_TRUE(importPackingInfo(ns, folder.file("layout.pck")));
    layoutAll(ns, LayoutMethod::MultiStep);

    EXPECT_EQ(test::expectLegalLayout(ns), 3);
}

// A standard plate 1e20 mm wide has its packing points 1e18 mm apart. The gravity
// placement puts the triangle on the second row, where its 10 mm height is lost in the
// rounding of its coordinates: the fit test passes the flattened copy, the push cannot
// move it, and the part stays on the plate as a line. Disabled until such plates are
// refused when the library is opened.
TEST_F(LayoutRegressions, DISABLED_PlacedPartKeepsItsShapeOnAHugePlate)
{
    const std::vector<test::LoopVertex> triangle = {{0, 0, 0}, {20, 10, 0}, {0, 10, 0}};
    openLibrary(*this,
                test::configSection(0, 0, 400, 1e20, false) + test::partRecord("TRI", {triangle}),
                1);

    layoutAll(ns, LayoutMethod::Gravity);

    for (const Part& part : ns.nestParts) {
        if (part.plateId == -1) continue;
        EXPECT_NEAR(part.box.max_X - part.box.min_X, 20.0, 1e-6);
        EXPECT_NEAR(part.box.max_Y - part.box.min_Y, 10.0, 1e-6);
    }
}

}  // namespace
}  // namespace orvo
