#include <gtest/gtest.h>

#include <filesystem>

#include "app/layout_dxf.h"
#include "base/number_text.h"
#include "app/scene.h"
#include "support/nest_session.h"
#include "support/shapes.h"

namespace orvo {
namespace {

// An L-shaped part with a hole, so that a wrong turn-over or rotation shows.
Part lShape(int32_t id)
{
    return test::partOf(test::contourOf({{0, 0}, {30, 0}, {30, 10}, {10, 10}, {10, 20}, {0, 20}}),
                        {test::rectangle(2, 2, 4, 4)}, id);
}

void expectSameVertices(const Contour& a, const Contour& b)
{
    ASSERT_EQ(a.count(), b.count());
    for (int32_t i = 0; i < a.count(); ++i) {
        EXPECT_NEAR(a.vertex(i).x, b.vertex(i).x, 1e-9) << i;
        EXPECT_NEAR(a.vertex(i).y, b.vertex(i).y, 1e-9) << i;
    }
}

// The layout turns and moves a part in any order (rotate about a pivot, turn over about
// a packing point, push); the pose alone must carry the true shape to the same place.
TEST(PlacedTrueShape, FollowsThePoseWhateverOrderTheLayoutMovedThePartIn)
{
    const Part shape = lShape(7);
    Part placed = shape;
    placed.rotatePart(Point(3, 4), 0.7);
    placed.mirrorPart(Point(50, -20));
    placed.translatePart(-120, 35);
    placed.rotatePart(Point(-100, 0), -2.1);
    placed.selected = true;
    placed.plateId = 3;

    const Part drawn = placedTrueShape(shape, placed);
    expectSameVertices(drawn.outer, placed.outer);
    expectSameVertices(drawn.holes.front(), placed.holes.front());
    EXPECT_TRUE(drawn.pose.mirrored);
    EXPECT_TRUE(drawn.selected);
    EXPECT_EQ(drawn.plateId, 3);
}

TEST(PlacedTrueShape, EveryNestingPartIsDrawnOnceEvenWithARepeatedId)
{
    test::NestSession session;
    NestSystem& ns = session.ns;
    ns.trueShapes.push_back(lShape(1));
    ns.trueShapes.push_back(lShape(1));
    ns.nestParts.push_back(lShape(1));
    ns.nestParts.back().translatePart(100, 0);
    ns.nestParts.push_back(lShape(1));
    ns.nestParts.back().translatePart(200, 0);
    ns.nestParts.push_back(lShape(9));  // no true shape: drawn as it is
    std::vector<double> left;
    forEachPlacedShape(ns, [&](const Part& shape, const Part&) { left.push_back(shape.box.min_X); });
    ASSERT_EQ(left.size(), 3u);
    EXPECT_NEAR(left[0], 100, 1e-9);
    EXPECT_NEAR(left[1], 200, 1e-9);
    EXPECT_NEAR(left[2], 0, 1e-9);
}

TEST(LayoutDxf, WritesEveryPlateToTheChosenFileAndSaysWhere)
{
    test::NestSession session;
    NestSystem& ns = session.ns;
    const test::RecordingPlatform& platform = session.platform;
    ns.addPlate(300, 150);
    ns.addPlate(300, 150);
    const std::string path = session.folder.file("mine.dxf");
    ASSERT_TRUE(exportLayoutDxf(ns, path));
    EXPECT_TRUE(std::filesystem::file_size(path) > 0);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "所有母板的排样图\"" + path + "\"已生成");
    EXPECT_EQ(platform.messages[0].caption, kCaptionNotice);

    const std::string unwritable = session.folder.file("missing/x.dxf");
    EXPECT_FALSE(exportLayoutDxf(ns, unwritable));
    EXPECT_EQ(platform.messages.back().text, "排样文件输出失败! " + unwritable + ": No such file or directory");
    EXPECT_EQ(platform.messages.back().caption, kCaptionWarning);
}

TEST(NumberText, EditBoxesReadAsTheCLibraryWouldInAnyLocale)
{
    const std::pair<const char*, double> decimals[] = {
        {"3000", 3000}, {" 12.5mm", 12.5}, {"+7", 7}, {"-0.25", -0.25}, {"abc", 0},
        {"", 0},        {"1e3", 1000},     {"1e999", 0}, {"nan", 0},    {"12,5", 12}};
    for (const auto& [text, value] : decimals) EXPECT_EQ(leadingDouble(text), value) << text;
    const std::pair<const char*, int32_t> integers[] = {
        {"4", 4}, {" 16 ", 16}, {"7.9", 7}, {"-3", -3}, {"x", 0}, {"99999999999", INT32_MAX},
        {"-99999999999", INT32_MIN}};
    for (const auto& [text, value] : integers) EXPECT_EQ(leadingInt(text), value) << text;
}

}  // namespace
}  // namespace orvo
