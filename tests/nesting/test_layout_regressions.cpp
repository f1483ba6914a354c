// Layouts that the whole-pipeline fuzzing found illegal, reduced to small libraries.
#include <gtest/gtest.h>

#include <string>

#include "nesting/layout_all.h"
#include "nesting/gravity.h"
#include "app/open_library.h"
#include "nesting/nest_system.h"
#include "support/layout_checks.h"
#include "support/library_text.h"
#include "support/nest_fixture.h"

namespace orvo {
namespace {

struct LayoutRegressions : test::NestFixture {
    // Opens the library text with the given rotation number.
    void open(const std::string& text, int32_t rotationNumber)
    {
        ASSERT_TRUE(openLibraryText(text));
        ns.rotationNumber = rotationNumber;
    }
};

// Shape matching tests each candidate where the pushes left it, then places the part by
// carrying it to the winning pose afresh (applyPose): a new translation and rotation,
// whose rounding differs from that of the tested copy. A candidate that cleared its
// neighbour by a rounding error in the test could so land on it. Here the second
// triangle, turned by half a turn and matched against the first along their long sides,
// ended on it: two parts with no gap at all. Box stacking places in the same way. Both
// now take the tested copy when the fresh one fails the fit test.
TEST_F(LayoutRegressions, MatchedPartLiesWhereItWasTested)
{
    const std::vector<test::LoopVertex> triangle = {{0, 0, 0}, {0.1, 0.05, 0}, {0, 0.05, 0}};
    open(test::configSection(0, 0, 0.5, 200, false) + test::partRecord("A", {triangle}) +
             test::partRecord("B", {triangle}),
         1);

    layoutAll(ns, LayoutMethod::MultiStep);

    EXPECT_EQ(test::expectLegalLayout(ns), 2);
}

// A standard plate 1e20 mm wide had its packing points 1e18 mm apart. The gravity
// placement put the triangle on the second row, where its 10 mm height was lost in the
// rounding of its coordinates: the fit test passed the flattened copy, the push could
// not move it, and the part stayed on the plate as a line. Such a plate is refused when
// the library is opened, and nothing is laid out.
TEST_F(LayoutRegressions, AHugePlateIsRefusedWhenTheLibraryIsOpened)
{
    const std::vector<test::LoopVertex> triangle = {{0, 0, 0}, {20, 10, 0}, {0, 10, 0}};
    const std::string path = folder.file("library.preSrc");
    test::writeFile(path, test::configSection(0, 0, 400, 1e20, false) +
                              test::partRecord("TRI", {triangle}));

    EXPECT_EQ(openLibraryFile(ns, path), LibraryStatus::SettingRefused);
    EXPECT_TRUE(ns.nestParts.empty());
    EXPECT_EQ(ns.plateWidth, 0.0);
}

}  // namespace
}  // namespace orvo
