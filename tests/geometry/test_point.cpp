#include <gtest/gtest.h>

#include <vector>

#include "geometry/point.h"

using namespace orvo;

namespace {

std::vector<double> xsOf(const PointList& list)
{
    std::vector<double> xs;
    for (const Point& p : list) xs.push_back(p.x);
    return xs;
}

}  // namespace

TEST(PointTest, CoincidenceUsesTheFirstPointsOwnToleranceStrictly)
{
    const Point origin(0.0, 0.0);
    EXPECT_DOUBLE_EQ(origin.tol, 1e-15);
    EXPECT_TRUE(coincides(origin, Point(1e-16, 0.0)));
    EXPECT_FALSE(coincides(origin, Point(1e-14, 0.0)));

    Point coarse(0.0, 0.0);
    coarse.tol = 1e-3;
    const Point near(5e-4, 0.0);
    EXPECT_TRUE(coincides(coarse, near));
    EXPECT_FALSE(coincides(near, coarse));  // not symmetric

    EXPECT_FALSE(isWithin(Point(0.0, 0.0), Point(0.0, 0.1), 0.1));
    EXPECT_TRUE(isWithin(Point(0.0, 0.0), Point(0.0, 0.0999), 0.1));
}

TEST(PointTest, RotationAndReflection)
{
    Point p(1.0, 0.0);
    rotatePoint(p, Point(0.0, 0.0), kPi / 2);
    EXPECT_NEAR(p.x, 0.0, 1e-15);
    EXPECT_NEAR(p.y, 1.0, 1e-15);

    Point q(3.0, 2.0);
    rotatePoint(q, Point(2.0, 2.0), kPi);
    EXPECT_NEAR(q.x, 1.0, 1e-15);
    EXPECT_NEAR(q.y, 2.0, 1e-15);

    const Point r = reflectPoint(segmentFromPoints(Point(0, 1), Point(10, 1)), Point(3, 5));
    EXPECT_DOUBLE_EQ(r.x, 3.0);
    EXPECT_DOUBLE_EQ(r.y, -3.0);
    const Point diagonal = reflectPoint(segmentFromPoints(Point(0, 0), Point(1, 1)), Point(2, 0));
    EXPECT_NEAR(diagonal.x, 0.0, 1e-15);
    EXPECT_NEAR(diagonal.y, 2.0, 1e-15);
}

TEST(PointTest, SegmentCoefficientsAreNotNormalised)
{
    const Segment s = segmentFromPoints(Point(1, 2), Point(4, 6));
    EXPECT_EQ(s.a, 4.0);
    EXPECT_EQ(s.b, -3.0);
    EXPECT_EQ(s.c, -4.0 * 1 + 3.0 * 2);
}

struct SegmentCase {
    const char* name;
    Point s1, s2, t1, t2;
    bool meet;
};

TEST(PointTest, ClosedSegmentIntersection)
{
    const SegmentCase cases[] = {
        {"crossing", {0, 0}, {2, 2}, {0, 2}, {2, 0}, true},
        {"shared end point", {0, 0}, {1, 0}, {1, 0}, {1, 1}, true},
        {"vertex on the other", {0, 0}, {2, 0}, {1, 0}, {1, 1}, true},
        {"collinear overlap", {0, 0}, {2, 0}, {1, 0}, {3, 0}, true},
        {"collinear apart", {0, 0}, {1, 0}, {2, 0}, {3, 0}, false},
        {"parallel, extents overlap", {0, 0}, {2, 2}, {1, 0}, {3, 2}, false},
        {"T short of the bar", {0, 0}, {2, 0}, {1, 0.001}, {1, 1}, false},
        {"y extents apart", {0, 0}, {1, 0}, {0, 1}, {1, 1}, false},
    };
    for (const SegmentCase& c : cases) {
        const Segment s = segmentFromPoints(c.s1, c.s2);
        const Segment t = segmentFromPoints(c.t1, c.t2);
        EXPECT_EQ(segmentsIntersect(s, t), c.meet) << c.name;
        EXPECT_EQ(segmentsIntersect(t, s), c.meet) << c.name << " (swapped)";
    }
}

TEST(PointTest, LineIntersection)
{
    const Point p = lineIntersection(segmentFromPoints(Point(0, 0), Point(2, 2)),
                                     segmentFromPoints(Point(0, 2), Point(2, 0)));
    EXPECT_DOUBLE_EQ(p.x, 1.0);
    EXPECT_DOUBLE_EQ(p.y, 1.0);
    EXPECT_DOUBLE_EQ(p.tol, 1e-15);

    // Parallel lines: a shared end point, the later rule (s.p2) winning; else s.p2.
    const Segment s = segmentFromPoints(Point(0, 0), Point(1, 0));
    const Point shared = lineIntersection(s, segmentFromPoints(Point(0, 0), Point(-1, 0)));
    EXPECT_EQ(shared.x, 0.0);
    const Point bothShared = lineIntersection(s, segmentFromPoints(Point(1, 0), Point(0, 0)));
    EXPECT_EQ(bothShared.x, 1.0);
    const Point apart = lineIntersection(s, segmentFromPoints(Point(0, 1), Point(1, 1)));
    EXPECT_EQ(apart.x, 1.0);
    EXPECT_EQ(apart.y, 0.0);
}

TEST(PointTest, BoxMeasures)
{
    EXPECT_DOUBLE_EQ(boxArea(1, 4, 2, 4), 6.0);
    EXPECT_DOUBLE_EQ(boxLongerSide(BoundingBox{1, 4, 2, 4}), 3.0);
    EXPECT_DOUBLE_EQ(boxLongerSide(0, 1, 0, 5), 5.0);
}

// Layouts depend on these sums being the very ones a translation or an inset stores.
TEST(PointTest, BoxCopiesKeepTheExactSums)
{
    const BoundingBox b{0.1, 0.7, -0.3, 0.2};
    EXPECT_TRUE(sameBox(shifted(b, 0.2, 1e16), BoundingBox{0.1 + 0.2, 0.7 + 0.2, -0.3 + 1e16, 0.2 + 1e16}));
    const double margin = 0.05;
    EXPECT_TRUE(sameBox(grown(b, -margin), BoundingBox{0.1 + margin, 0.7 - margin, -0.3 + margin, 0.2 - margin}));
    EXPECT_TRUE(sameBox(grown(b, 1.0), BoundingBox{0.1 - 1.0, 0.7 + 1.0, -0.3 - 1.0, 0.2 + 1.0}));
    EXPECT_EQ(boxWidth(b), 0.7 - 0.1);
    EXPECT_EQ(boxHeight(b), 0.2 - -0.3);
    EXPECT_EQ(boxCentre(b).x, (0.1 + 0.7) / 2.0);
    EXPECT_EQ(boxCentre(b).y, (-0.3 + 0.2) / 2.0);
    EXPECT_TRUE(sameBox(boxUnion(b, BoundingBox{0.5, 2, -1, 0}), BoundingBox{0.1, 2, -1, 0.2}));
}

TEST(PointTest, BoxQuestionsCountTheBorder)
{
    const BoundingBox unit{0, 1, 0, 1};
    EXPECT_TRUE(meets(unit, BoundingBox{1, 2, 1, 2}));  // a shared corner
    EXPECT_FALSE(meets(unit, BoundingBox{1.001, 2, 0, 1}));
    EXPECT_FALSE(meets(unit, BoundingBox{0, 1, -2, -0.5}));
    EXPECT_TRUE(contains(unit, Point(1, 0)));
    EXPECT_FALSE(contains(unit, Point(0.5, 1.001)));
    EXPECT_TRUE(containsStrictly(unit, BoundingBox{0.1, 0.9, 0.1, 0.9}));
    EXPECT_FALSE(containsStrictly(unit, BoundingBox{0, 0.9, 0.1, 0.9}));  // touches the left side
    EXPECT_FALSE(inverted(unit));
    EXPECT_TRUE(inverted(BoundingBox{0, 1, 2, 1}));
    EXPECT_FALSE(inverted(BoundingBox{1, 1, 1, 1}));  // a single point is a box
}

TEST(PointListTest, FrontInsertionReversedCopiesAndSentinelErase)
{
    PointList list;
    for (double x : {1.0, 2.0, 3.0}) list.insert(Point(x, 0));
    EXPECT_EQ(xsOf(list), (std::vector<double>{3, 2, 1}));

    PointList copy(list);
    EXPECT_EQ(xsOf(copy), (std::vector<double>{1, 2, 3}));
    PointList moved(std::move(copy));
    EXPECT_EQ(xsOf(moved), (std::vector<double>{1, 2, 3}));

    PointList other;
    other.insert(Point(9, 0));
    other.insertAll(list);
    EXPECT_EQ(xsOf(other), (std::vector<double>{1, 2, 3, 9}));

    list.erase(list.end());
    EXPECT_EQ(list.count(), 3);
    list.erase(list.begin());
    EXPECT_EQ(xsOf(list), (std::vector<double>{2, 1}));
    list.clear();
    EXPECT_TRUE(list.empty());
}
