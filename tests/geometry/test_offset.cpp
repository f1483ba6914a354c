#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/shapes.h"
#include "geometry/offset.h"

using namespace orvo;
using namespace orvo::test;

namespace {

void expectVertices(const Contour& k, const std::vector<Point>& expected, const char* what)
{
    ASSERT_EQ(k.count(), static_cast<int32_t>(expected.size())) << what;
    for (int i = 0; i < k.count(); ++i) {
        EXPECT_NEAR(k.vertex(i).x, expected[i].x, 1e-12) << what << " vertex " << i;
        EXPECT_NEAR(k.vertex(i).y, expected[i].y, 1e-12) << what << " vertex " << i;
    }
}

bool allFinite(const Contour& k)
{
    for (const Point& p : k.points)
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
    return std::isfinite(k.area);
}

}  // namespace

TEST(OffsetContourTest, PositiveDistanceGrowsWhicheverWayTheChainRuns)
{
    Contour ccw = rectangle(0, 0, 10, 10);
    offsetContour(ccw, 1);
    expectVertices(ccw, {{-1, -1}, {11, -1}, {11, 11}, {-1, 11}}, "counter-clockwise");
    EXPECT_NEAR(ccw.area, 144.0, 1e-9);
    EXPECT_NEAR(ccw.box.min_X, -1.0, 1e-12);

    Contour cw = contourOf({{0, 0}, {0, 10}, {10, 10}, {10, 0}});
    offsetContour(cw, 1);
    expectVertices(cw, {{-1, -1}, {-1, 11}, {11, 11}, {11, -1}}, "clockwise");

    Contour shrunk = rectangle(0, 0, 10, 10);
    offsetContour(shrunk, -1);
    expectVertices(shrunk, {{1, 1}, {9, 1}, {9, 9}, {1, 9}}, "negative");
    EXPECT_NEAR(shrunk.area, 64.0, 1e-9);
    EXPECT_NEAR(shrunk.box.max_Y, 9.0, 1e-12);
}

TEST(OffsetContourTest, CollinearVertexMovesAlongTheNormal)
{
    Contour k = contourOf({{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 10}});
    offsetContour(k, 1);
    expectVertices(k, {{-1, -1}, {5, -1}, {11, -1}, {11, 11}, {-1, 11}}, "mid-side vertex");
}

// Offset edges whose ends lie closer than 0.1 mm meet end to start: the vertex is the end of
// the previous offset edge, not the mitre. At a right angle the ends lie d * sqrt(2) apart,
// so a 10 x 10 square keeps its mitred corners from d = 0.0708 on (area (10 + 2d)^2, 121 at
// 0.5); below, each corner slides along the previous side and the square turns slightly,
// with corners (-d, 0), (10, -d), (10 + d, 10), (0, 10 + d) and area (10 + d)^2 + d^2.
TEST(OffsetContourTest, CornersAreMitredOnlyWhenTheEdgeEndsLieAtLeastATenthApart)
{
    struct Case {
        double d;
        bool mitred;
    };
    for (const Case c : {Case{0.5, true}, Case{0.071, true}, Case{0.07, false}, Case{0.05, false}}) {
        Contour k = rectangle(0, 0, 10, 10);
        offsetContour(k, c.d);
        const double d = c.d;
        if (c.mitred) {
            expectVertices(k, {{-d, -d}, {10 + d, -d}, {10 + d, 10 + d}, {-d, 10 + d}}, "mitred");
            EXPECT_NEAR(k.area, (10 + 2 * d) * (10 + 2 * d), 1e-9) << d;
        } else {
            expectVertices(k, {{-d, 0}, {10, -d}, {10 + d, 10}, {0, 10 + d}}, "previous edge's end");
            EXPECT_NEAR(k.area, (10 + d) * (10 + d) + d * d, 1e-9) << d;
        }
    }
    Contour half = rectangle(0, 0, 10, 10);
    offsetContour(half, 0.5);
    EXPECT_NEAR(half.area, 121.0, 1e-9);
}

TEST(OffsetContourTest, ChainsOfTwoOrFewerVerticesAreUntouched)
{
    Contour two = contourOf({{0, 0}, {3, 4}});
    offsetContour(two, 5);
    expectVertices(two, {{0, 0}, {3, 4}}, "two vertices");
    Contour none;
    offsetContour(none, 5);
    EXPECT_TRUE(none.empty());
}

// Repeated vertices and spikes used to divide by a zero edge length or intersect two
// parallel lines; the result must stay finite and the square must still grow.
TEST(OffsetContourTest, RepeatedVerticesAndSpikesGiveFiniteVertices)
{
    Contour repeated = contourOf({{0, 0}, {10, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}});
    offsetContour(repeated, 1);
    ASSERT_TRUE(allFinite(repeated));
    expectVertices(repeated, {{-1, -1}, {11, -1}, {11, -1}, {11, 11}, {-1, 11}, {-1, -1}}, "repeated");
    EXPECT_NEAR(repeated.area, 144.0, 1e-9);

    // A spike: the edge to (10, 15) doubles straight back along itself.
    Contour spike = contourOf({{0, 0}, {10, 0}, {10, 15}, {10, 10}, {0, 10}});
    offsetContour(spike, 1);
    ASSERT_TRUE(allFinite(spike));
    EXPECT_NEAR(spike.vertex(2).x, 11.0, 1e-12);  // end of the previous offset edge
    EXPECT_NEAR(spike.vertex(2).y, 15.0, 1e-12);

    Contour collapsed = contourOf({{2, 2}, {2, 2}, {2, 2}});
    offsetContour(collapsed, 1);
    ASSERT_TRUE(allFinite(collapsed));
    EXPECT_EQ(collapsed.vertex(0).x, 2.0);
}

TEST(OffsetPartTest, GrowsTheOuterAndShrinksTheHoles)
{
    Part part = partOf(rectangle(0, 0, 10, 10), {rectangle(3, 3, 4, 4)});
    part.label.x = 4;
    part.pose.rotationAngle = 0.25;
    const double fill = part.fillRatio;
    offsetPart(part, 1);
    EXPECT_NEAR(part.outer.area, 144.0, 1e-9);
    EXPECT_NEAR(part.holes.front().area, 4.0, 1e-9);
    EXPECT_NEAR(part.netArea, 140.0, 1e-9);
    EXPECT_NEAR(part.centroid.x, 5.0, 1e-12);
    EXPECT_NEAR(part.centroid.y, 5.0, 1e-12);
    EXPECT_NEAR(part.box.min_X, -1.0, 1e-12);
    EXPECT_EQ(part.pose.basePt.x, 0.0);
    EXPECT_EQ(part.pose.basePt.y, 0.0);
    EXPECT_EQ(part.label.x, 4.0);
    EXPECT_EQ(part.pose.rotationAngle, 0.25);
    EXPECT_EQ(part.fillRatio, fill);
}

TEST(OffsetPartTest, ZeroDistanceChangesNothing)
{
    Part part = partOf(contourOf({{0, 0}, {4, 0}, {0, 3}}));
    part.outer.area = 99.0;  // a stale cache stays as it is
    part.netArea = 42.0;
    offsetPart(part, 0.0);
    EXPECT_EQ(part.outer.area, 99.0);
    EXPECT_EQ(part.netArea, 42.0);
    EXPECT_EQ(part.outer.vertex(1).x, 4.0);
}
