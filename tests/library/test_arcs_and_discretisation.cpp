#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "library/arc.h"
#include "library/discretise.h"
#include "library/outline.h"
#include "support/recording_platform.h"
#include "support/shapes.h"

namespace orvo {
namespace {

using test::makeLoop;

OutlineLoop square(double x0, double y0, double side) { return test::rectangleLoop(x0, y0, side, side); }

std::vector<Point> pointsOf(const PointList& list) { return {list.begin(), list.end()}; }

void expectNear(const Point& p, double x, double y, double tolerance = 1e-9)
{
    EXPECT_NEAR(p.x, x, tolerance);
    EXPECT_NEAR(p.y, y, tolerance);
}

TEST(BuildArc, ChordEqualToTheDiameterIsBuiltWithHalfAMillimetreMore)
{
    Arc arc;
    ASSERT_TRUE(buildArc({0, 0}, {20, 0}, 10, arc));
    EXPECT_EQ(arc.radius, 10.5);
    expectNear(arc.centre, 10, std::sqrt(10.5 * 10.5 - 100), 1e-12);
    EXPECT_NEAR(arc.startAngle, -162.2472, 1e-3);
    EXPECT_NEAR(arc.endAngle, -17.7528, 1e-3);

    ASSERT_TRUE(buildArc({0, 0}, {20, 0}, -10, arc));
    expectNear(arc.centre, 10, -std::sqrt(10.5 * 10.5 - 100), 1e-12);
    EXPECT_NEAR(arc.startAngle, 17.7528, 1e-3);
    EXPECT_NEAR(arc.endAngle, 162.2472, 1e-3);

    // Up to 0.5 mm beyond the diameter still builds, although canConnect refuses it.
    ASSERT_TRUE(buildArc({0, 0}, {20.4, 0}, 10, arc));
    EXPECT_EQ(arc.radius, 10.5);
    EXPECT_FALSE(canConnect({0, 0}, {20.4, 0}, 10));
    EXPECT_TRUE(canConnect({0, 0}, {20, 0}, -10));
    EXPECT_FALSE(canConnect({0, 0}, {20.0001, 0}, 10));
}

TEST(BuildArc, ShorterArcOnTheSideOfTheRadiusSign)
{
    Arc arc;
    // Quarter circle of radius 10 from (10,0) to (0,10): counter-clockwise about the origin.
    ASSERT_TRUE(buildArc({10, 0}, {0, 10}, 10, arc));
    expectNear(arc.centre, 0, 0);
    EXPECT_NEAR(arc.startAngle, 0, 1e-9);
    EXPECT_NEAR(arc.endAngle, 90, 1e-9);
    // Clockwise: centre (10,10), stored counter-clockwise from the end point.
    ASSERT_TRUE(buildArc({10, 0}, {0, 10}, -10, arc));
    expectNear(arc.centre, 10, 10);
    EXPECT_NEAR(arc.startAngle, 180, 1e-9);
    EXPECT_NEAR(arc.endAngle, 270, 1e-9);
}

TEST(BuildArc, FailuresShowTheirMessage)
{
    struct Case {
        Point p1;
        const char* message;
    };
    const Case cases[] = {{{20.6, 0}, "起讫点距离>连接圆弧直径，生成圆弧失败!"},
                          {{0, 0}, "起讫点重合，生成圆弧失败!"},
                          {{1e300, 1e300}, "起讫点距离>连接圆弧直径，生成圆弧失败!"}};
    for (const Case& c : cases) {
        test::RecordingPlatform platform;
        Arc arc;
        EXPECT_FALSE(buildArc({0, 0}, c.p1, 10, arc, &platform));
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text, c.message);
        EXPECT_EQ(platform.messages[0].caption, "Warning!");
        EXPECT_FALSE(buildArc({0, 0}, c.p1, 10, arc));  // no platform: silent
    }
    // Radii whose squares overflow give no intersection instead of a non-number arc.
    test::RecordingPlatform platform;
    Arc arc;
    EXPECT_FALSE(buildArc({0, 0}, {10, 0}, 1e160, arc, &platform));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "两圆求交失败!");
}

TEST(ArcHelpers, SetArcAndCircleIntersection)
{
    const Arc a = setArc({0, 0}, 1, 350, 10);
    EXPECT_EQ(a.endAngle, 370);
    EXPECT_EQ(setArc({0, 0}, 1, 1e300, 0).startAngle, 1e300);  // terminates
    Point i0;
    Point i1;
    ASSERT_TRUE(circleIntersection({{0, 0}, 5}, {{8, 0}, 5}, i0, i1));
    expectNear(i0, 4, 3);  // left of the direction from the first centre to the second
    expectNear(i1, 4, -3);
    EXPECT_FALSE(circleIntersection({{0, 0}, 5}, {{10.1, 0}, 5}, i0, i1));
}

TEST(Discretise, ArcChords)
{
    SegmentList list;
    const Arc arc = setArc({10, 3.2016}, 10.5, -162.25, -17.75);
    discretiseArc(arc, 1.0, list);
    ASSERT_EQ(list.count(), 2);  // 144.5 / 50.42 rounds down to 2
    // The chord ending at the end angle is at the front.
    const double end = -17.75 / 180.0 * kPi;
    expectNear(list.front().p2, 10 + 10.5 * std::cos(end), 3.2016 + 10.5 * std::sin(end));

    SegmentList one;
    arcToSegments(setArc({0, 0}, 10, 0, 30), 45, one);
    ASSERT_EQ(one.count(), 1);
    expectNear(one.front().p1, 10, 0);
    expectNear(one.front().p2, 10 * std::cos(kPi / 6), 5);

    test::RecordingPlatform platform;
    SegmentList none;
    arcToSegments(arc, 0.0, none, &platform);
    discretiseArc(arc, 11.0, none, &platform);
    EXPECT_EQ(none.count(), 0);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0].text, "圆弧划分角度错误!");
    EXPECT_EQ(platform.messages[1].text, "弓高误差错误!");
}

TEST(Discretise, ChainSegmentsMatchesWithinHalfAMillimetre)
{
    SegmentList segments;
    segments.insert(Segment({10.4, 0}, {10, 10}));
    segments.insert(Segment({0, 0}, {10, 0}));
    PointList points;
    chainSegments(segments, points);
    EXPECT_TRUE(segments.empty());
    const auto chained = pointsOf(points);  // reverse chaining order
    ASSERT_EQ(chained.size(), 3u);
    expectNear(chained[0], 10, 10);
    expectNear(chained[2], 0, 0);

    segments.insert(Segment({10.6, 0}, {10, 10}));
    segments.insert(Segment({0, 0}, {10, 0}));
    PointList cut;
    chainSegments(segments, cut);
    EXPECT_EQ(cut.count(), 2);
    EXPECT_TRUE(segments.empty());

    // The first segment in list order wins, and a reversed one is followed backwards.
    segments.insert(Segment({10, 0}, {10, 9}));   // third: would also match
    segments.insert(Segment({10, 7}, {10.2, 0})); // second: matches by its end point
    segments.insert(Segment({0, 0}, {10, 0}));
    PointList order;
    chainSegments(segments, order);
    const auto o = pointsOf(order);
    ASSERT_EQ(o.size(), 3u);
    expectNear(o[0], 10, 7);
}

TEST(Discretise, LoopToContourOrder)
{
    const Contour c = loopToContour(square(0, 0, 100), 1.0);
    ASSERT_EQ(c.count(), 4);
    expectNear(c.vertex(0), 0, 0);
    expectNear(c.vertex(1), 0, 100);
    expectNear(c.vertex(2), 100, 100);
    expectNear(c.vertex(3), 100, 0);
    EXPECT_DOUBLE_EQ(c.area, 10000);

    // Radius below h or above 200 chords: straight, the contour still starts at vertex 0.
    for (double radius : {0.9, 2500.0}) {
        OutlineLoop loop = square(0, 0, 10);
        loop.radii[2] = radius;
        const Contour k = loopToContour(loop, 1.0);
        ASSERT_EQ(k.count(), 4) << radius;
        expectNear(k.vertex(0), 0, 0);
    }
    // Radius 1900 on a chord of 10 is an arc (one chord): the contour starts at its start.
    OutlineLoop arcLoop = square(0, 0, 10);
    arcLoop.radii[2] = 1900;
    const Contour k = loopToContour(arcLoop, 1.0);
    ASSERT_EQ(k.count(), 4);
    expectNear(k.vertex(0), 10, 10, 1e-6);

    const Contour single = loopToContour(makeLoop({{3, 4}}), 1.0);
    ASSERT_EQ(single.count(), 1);
    expectNear(single.vertex(0), 3, 4);
}

TEST(Discretise, WorkedExampleOuterLoopHasEightVertices)
{
    const OutlineLoop outer = makeLoop({{0, 0}, {200, 0}, {200, 100}, {0, 100}}, {0, 60, 0, 0});
    const Contour c = loopToContour(outer, 1.0);
    ASSERT_EQ(c.count(), 8);
    // The bulge reaches x = 200 + 60 - sqrt(60^2 - 50^2); a vertex lies on the arc.
    double maxX = 0;
    for (const Point& p : c.points) maxX = std::max(maxX, p.x);
    EXPECT_GT(maxX, 220);
    EXPECT_LT(maxX, 200 + 60 - std::sqrt(1100.0) + 1e-9);
}

TEST(Discretise, AbsurdValuesStayBounded)
{
    const auto start = std::chrono::steady_clock::now();
    // A radius whose sagitta angle vanishes in rounding, and one that asks for millions.
    for (double scale : {1e12, 1e17}) {
        const OutlineLoop loop = makeLoop({{0, 0}, {scale, 0}, {scale, scale}}, {scale, 0, 0});
        const Contour c = loopToContour(loop, 1.0);
        EXPECT_GE(c.count(), 3);
        EXPECT_LE(c.count(), 1003);
    }
    // Not finite: the radius is taken as straight, a broken vertex ends the chain.
    const double nan = std::nan("");
    EXPECT_EQ(loopToContour(makeLoop({{0, 0}, {10, 0}, {10, 10}}, {nan, 0, 0}), 1.0).count(), 3);
    EXPECT_LE(loopToContour(makeLoop({{0, 0}, {nan, 0}, {10, 10}}, {0, 0, 0}), 1.0).count(), 3);
    // Regression: a loop of many coincident vertices chained in quadratic time.
    const std::vector<Point> same(100000, Point(7, 7));
    EXPECT_EQ(loopToContour(makeLoop(same), 1.0).count(), 100000);
    SegmentList list;
    arcToSegments(setArc({0, 0}, 1, 0, 1e300), 1e-300, list);
    EXPECT_EQ(list.count(), 1000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(Outline, LoopMeasuresAndTransforms)
{
    OutlineLoop rect = makeLoop({{0, 0}, {200, 0}, {200, 100}, {0, 100}}, {0, 60, 0, -5});
    EXPECT_NEAR(rect.vertexBoxDiagonal(), std::sqrt(50000.0), 1e-12);
    EXPECT_EQ(makeLoop({{4, 4}}).vertexBoxDiagonal(), 0.0);

    OutlineLoop moved = rect;
    moved.rotateLoop({100, 50}, kPi / 2);
    expectNear(moved.vertex(0), 150, -50, 1e-9);
    moved.rotateLoop({100, 50}, -kPi / 2);
    moved.translateLoop(1, 2);
    expectNear(moved.vertex(2), 201, 102, 1e-9);
    EXPECT_EQ(moved.radii, rect.radii);

    rect.reflectLoop(Segment({0, 10}, {1, 10}));
    expectNear(rect.vertex(2), 200, -80);
    EXPECT_EQ(rect.radii, (std::vector<double>{-0.0, -60, -0.0, 5}));
}

PartOutline outlineWithHoles()
{
    PartOutline outline;
    OutlineLoopList holes;
    holes.insert(square(10, 10, 10));  // A
    holes.insert(square(30, 10, 10));  // B
    holes.insert(square(50, 10, 10));  // C
    outline.setShape(square(0, 0, 100), holes);
    return outline;
}

TEST(Outline, CopiesReverseHolesAndKeepTheirOwnChordError)
{
    PartOutline source = outlineWithHoles();
    std::vector<double> order;
    for (const OutlineLoop& h : source.holes) order.push_back(h.vertex(0).x);
    source.chordError = 2.5;
    PartOutline copy(source);
    EXPECT_EQ(copy.chordError, 1.0);
    std::vector<double> reversed;
    for (const OutlineLoop& h : copy.holes) reversed.push_back(h.vertex(0).x);
    EXPECT_EQ(reversed, (std::vector<double>(order.rbegin(), order.rend())));
    PartOutline again;
    again = copy;
    std::vector<double> restored;
    for (const OutlineLoop& h : again.holes) restored.push_back(h.vertex(0).x);
    EXPECT_EQ(restored, order);
    EXPECT_EQ(again.chordError, 1.0);
}

TEST(Outline, ShapeMeasuresAndConversion)
{
    PartOutline outline = outlineWithHoles();
    EXPECT_DOUBLE_EQ(outline.netArea, 10000 - 300);
    EXPECT_NEAR(outline.label.height, std::sqrt(20000.0) / 10, 1e-12);
    // Holes centred at x 15, 35, 55 (y 15) taken from a square centred at (50, 50).
    EXPECT_NEAR(outline.centroid.x, (50 * 10000 - 100 * (15 + 35 + 55)) / 9700.0, 1e-9);
    EXPECT_NEAR(outline.centroid.y, (50 * 10000 - 100 * 45) / 9700.0, 1e-9);

    outline.partId = 7;
    outline.label.setText("NAME");
    const Part part = outline.toPart();
    EXPECT_EQ(part.partId, 7);
    EXPECT_EQ(part.label.text, "NAME");
    EXPECT_EQ(part.holes.count(), 3);
    EXPECT_DOUBLE_EQ(part.netArea, 9700);

    // basePt is outer vertex 0 even when the contour starts elsewhere (at the arc).
    PartOutline bulge;
    bulge.setShape(makeLoop({{0, 0}, {200, 0}, {200, 100}, {0, 100}}, {0, 60, 0, 0}), {});
    const Part bulgePart = bulge.toPart();
    expectNear(bulgePart.pose.basePt, 0, 0);
    EXPECT_GT(std::hypot(bulgePart.outer.vertex(0).x, bulgePart.outer.vertex(0).y), 1);
    EXPECT_NEAR(bulge.label.height, std::sqrt(50000.0) / 10, 1e-12);
}

// A nesting part is posed as a polygon and its drawing as an outline with arcs: both must
// end on the same shape, whatever the turn over and angle.
TEST(Outline, PoseCarriesTheOutlineAndItsPolygonAlike)
{
    PartOutline outline;
    OutlineLoopList holes;
    holes.insert(square(20, 20, 10));
    outline.setShape(makeLoop({{0, 0}, {200, 0}, {200, 100}, {0, 100}}, {0, 60, 0, -80}), holes);
    outline.rotateOutline({3, 4}, 0.4);
    const Part polygon = outline.toPart();
    const Pose poses[] = {
        {false, Point(300, -20), 0.7},
        {true, Point(300, -20), 0.7},
        {true, Point(-5, 40), -2.1},
    };
    for (const Pose& to : poses) {
        PartOutline o = outline;
        applyPose(o, to);
        Part part = polygon;
        applyPose(part, to);
        const Part fromOutline = o.toPart();
        EXPECT_EQ(o.pose.mirrored, to.mirrored);
        expectNear(o.pose.basePt, to.basePt.x, to.basePt.y);
        EXPECT_NEAR(o.pose.rotationAngle, to.rotationAngle, 1e-12);
        // The same vertices (a turned-over arc may be listed from its other end).
        ASSERT_EQ(fromOutline.outer.count(), part.outer.count());
        for (const Point& v : part.outer.points) {
            double nearest = 1e300;
            for (const Point& w : fromOutline.outer.points) nearest = std::min(nearest, distance(v, w));
            EXPECT_LT(nearest, 1e-9) << "vertex " << v.x << ", " << v.y;
        }
        EXPECT_NEAR(fromOutline.netArea, part.netArea, 1e-6);
        expectNear(o.centroid, part.centroid.x, part.centroid.y);
    }
}

TEST(Outline, TurningOverTwiceRestores)
{
    PartOutline outline = outlineWithHoles();
    outline.rotateOutline({0, 0}, 0.3);
    const PartOutline before = outline;
    outline.mirrorOutline(outline.pose.basePt);
    EXPECT_TRUE(outline.pose.mirrored);
    EXPECT_DOUBLE_EQ(outline.pose.rotationAngle, -0.3);
    outline.mirrorOutline(outline.pose.basePt);
    EXPECT_FALSE(outline.pose.mirrored);
    EXPECT_DOUBLE_EQ(outline.pose.rotationAngle, 0.3);
    for (int32_t i = 0; i < 4; ++i) {
        expectNear(outline.outer.vertex(i), before.outer.vertex(i).x, before.outer.vertex(i).y);
    }
    EXPECT_EQ(outline.outer.radii, before.outer.radii);

    PartOutline pivotLine = outlineWithHoles();
    pivotLine.mirrorOutline({0, 5});
    expectNear(pivotLine.outer.vertex(2), 100, -90);
    expectNear(pivotLine.pose.basePt, 0, 10);
}

}  // namespace
}  // namespace orvo
