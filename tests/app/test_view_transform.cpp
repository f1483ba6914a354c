#include <gtest/gtest.h>

#include <cmath>

#include "app/view_transform.h"

namespace orvo {
namespace {

ViewTransform fitted(int w, int h, BoundingBox box)
{
    ViewTransform v;
    v.setClientSize(w, h, box);
    return v;
}

TEST(ViewTransform, FitCentresTheWorldBoxWithAFivePercentMargin)
{
    const ViewTransform v = fitted(800, 600, {0, 100, 0, 50});
    EXPECT_DOUBLE_EQ(v.scale(), 7.6);  // min(800/100, 600/50) * 0.95
    EXPECT_EQ(v.originX(), 400);
    EXPECT_EQ(v.originY(), 300);
    EXPECT_DOUBLE_EQ(v.centreX(), 50);
    EXPECT_DOUBLE_EQ(v.centreY(), 25);
    EXPECT_EQ(fitted(801, 601, {0, 100, 0, 50}).originX(), 400);  // integer half
}

TEST(ViewTransform, WorldYGrowsUpwardsOnScreen)
{
    const ViewTransform v = fitted(800, 600, {0, 100, 0, 50});
    EXPECT_LT(v.worldToScreen({50, 40}).y, v.worldToScreen({50, 10}).y);
    EXPECT_EQ(v.worldToScreen({50, 25}), (PixelPoint{400, 300}));
    // Truncation toward zero on both sides of the centre: 1.3 mm is 9.88 px.
    EXPECT_EQ(v.worldToScreen({51.3, 25}).x, 409);
    EXPECT_EQ(v.worldToScreen({48.7, 25}).x, 391);
}

TEST(ViewTransform, ScreenToWorldRoundTripsWithinOnePixel)
{
    ViewTransform v = fitted(640, 480, {-1234.5, 777, -20, 3000});
    v.zoomAt(17, 400, v.scale() * 3.3);
    for (PixelPoint p : {PixelPoint{0, 0}, PixelPoint{639, 479}, PixelPoint{123, 321}}) {
        const PixelPoint back = v.worldToScreen(v.screenToWorld(p));
        EXPECT_LE(std::abs(back.x - p.x), 1);
        EXPECT_LE(std::abs(back.y - p.y), 1);
    }
}

TEST(ViewTransform, ZoomAtKeepsTheWorldPointUnderTheCursor)
{
    ViewTransform v = fitted(800, 600, {0, 100, 0, 50});
    const Point before = v.screenToWorld(123, 456);
    v.zoomAt(123, 456, v.scale() * 1.1);
    const Point after = v.screenToWorld(123, 456);
    EXPECT_NEAR(after.x, before.x, 1e-12);
    EXPECT_NEAR(after.y, before.y, 1e-12);
    EXPECT_DOUBLE_EQ(v.scale(), 7.6 * 1.1);
}

TEST(ViewTransform, PanAndZoomKeepTheWorldBoxSoFitReturns)
{
    ViewTransform v = fitted(800, 600, {0, 100, 0, 50});
    v.pan(30, -12);
    EXPECT_EQ(v.originX(), 430);
    EXPECT_EQ(v.originY(), 288);
    v.zoomWindow(100, 100, 300, 200);
    v.fit();
    EXPECT_DOUBLE_EQ(v.scale(), 7.6);
    EXPECT_EQ(v.originX(), 400);
    EXPECT_DOUBLE_EQ(v.centreX(), 50);
}

TEST(ViewTransform, ZoomWindowShowsTheRectangleWithoutMargin)
{
    ViewTransform v = fitted(800, 600, {0, 100, 0, 50});
    const Point a = v.screenToWorld(200, 100);
    const Point b = v.screenToWorld(400, 400);
    v.zoomWindow(200, 100, 400, 400);
    EXPECT_DOUBLE_EQ(v.scale(), std::min(800 / std::abs(b.x - a.x), 600 / std::abs(b.y - a.y)));
    EXPECT_DOUBLE_EQ(v.centreX(), (a.x + b.x) / 2);
    EXPECT_DOUBLE_EQ(v.centreY(), (a.y + b.y) / 2);
    EXPECT_EQ(v.originX(), 400);
    EXPECT_EQ(v.originY(), 300);
}

// Before a library is open the world box is all zero; a fit then must not divide by
// zero and leave an infinite scale behind.
TEST(ViewTransform, DegenerateBoxesAndClicksChangeNothing)
{
    ViewTransform v;
    v.setClientSize(800, 600, {});
    EXPECT_EQ(v.scale(), 0.0);
    EXPECT_EQ(v.originX(), 0);
    v.setWorldBox({5, 5, 7, 7});
    EXPECT_EQ(v.scale(), 0.0);

    v.setWorldBox({0, 100, 0, 50});
    v.setClientSize(0, 0, {0, 100, 0, 50});  // a minimised window keeps the last view
    EXPECT_DOUBLE_EQ(v.scale(), 7.6);
    v.setClientSize(800, 600, {0, 100, 0, 50});
    v.zoomWindow(250, 250, 250, 250);  // both clicks on one pixel
    EXPECT_DOUBLE_EQ(v.scale(), 7.6);
    // A box of one dimension only (a straight part) still fits along it.
    v.setWorldBox({0, 100, 3, 3});
    EXPECT_DOUBLE_EQ(v.scale(), 7.6);
}

TEST(ViewTransform, FarAwayPointsStayInsideTheIntegerRange)
{
    ViewTransform v = fitted(800, 600, {0, 1, 0, 1});
    v.zoomAt(0, 0, 1e12);
    const PixelPoint p = v.worldToScreen({1e9, -1e9});
    EXPECT_GT(p.x, 0);
    EXPECT_GT(p.y, 0);
    // An infinite plate edge minus an infinite centre is not a number: the origin.
    const PixelPoint nan = v.worldToScreen({std::nan(""), std::nan("")});
    EXPECT_EQ(nan, (PixelPoint{v.originX(), v.originY()}));
}

}  // namespace
}  // namespace orvo
