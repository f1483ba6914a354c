#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "geometry/contour.h"
#include "geometry/part.h"
#include "support/shapes.h"

using namespace orvo;
using namespace orvo::test;

namespace {

Contour turned(Contour k, const Point& centre, double degrees)
{
    rotateContour(k, centre, degrees * kPi / 180.0);
    return k;
}

}  // namespace

TEST(ContourTest, AreaOrientationAndCentroidDoNotDependOnListingOrder)
{
    Contour ccw = contourOf({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    Contour cw = contourOf({{0, 0}, {0, 1}, {1, 1}, {1, 0}});
    for (Contour* k : {&ccw, &cw}) {
        EXPECT_DOUBLE_EQ(k->area, 1.0);
        EXPECT_DOUBLE_EQ(contourCentroid(*k).x, 0.5);
        EXPECT_DOUBLE_EQ(contourCentroid(*k).y, 0.5);
    }
    EXPECT_TRUE(isCounterClockwise(ccw));
    EXPECT_FALSE(isCounterClockwise(cw));

    const Contour triangle = contourOf({{0, 0}, {3, 0}, {0, 3}});
    EXPECT_DOUBLE_EQ(contourCentroid(triangle).x, 1.0);
    EXPECT_DOUBLE_EQ(contourCentroid(triangle).y, 1.0);
}

TEST(ContourTest, EmptyAndFlatContoursGiveNeutralValues)
{
    Contour empty;
    EXPECT_EQ(contourArea(empty), 0.0);
    EXPECT_FALSE(isCounterClockwise(empty));
    const BoundingBox box = contourBox(empty);
    EXPECT_EQ(box.min_X, 0.0);
    EXPECT_EQ(box.max_Y, 0.0);
    const Point nearest = nearestVertex(empty, Point(3, 4));
    EXPECT_EQ(nearest.x, 0.0);
    EXPECT_EQ(nearest.y, 0.0);
    Contour copy = rectangle(0, 0, 1, 1);
    copy = empty;  // must neither end the program nor keep the old vertices
    EXPECT_TRUE(copy.empty());

    // A chain folded onto a line encloses nothing: its centroid is still a number.
    const Contour flat = contourOf({{0, 0}, {4, 0}, {2, 0}});
    const Point c = contourCentroid(flat);
    EXPECT_DOUBLE_EQ(c.x, 2.0);
    EXPECT_DOUBLE_EQ(c.y, 0.0);
}

TEST(ContourTest, TransformsKeepTheBoxCurrentAndTheAreaCached)
{
    Contour k = rectangle(0, 0, 4, 2);
    translateContour(k, 1, -1);
    EXPECT_DOUBLE_EQ(k.box.min_X, 1.0);
    EXPECT_DOUBLE_EQ(k.box.max_Y, 1.0);
    const BoundingBox turnedBox = rotateContour(k, Point(1, -1), kPi / 2);
    EXPECT_NEAR(turnedBox.min_X, -1.0, 1e-12);
    EXPECT_NEAR(turnedBox.max_Y, 3.0, 1e-12);
    EXPECT_DOUBLE_EQ(k.area, 8.0);
    const bool wasCcw = isCounterClockwise(k);
    reflectContour(k, segmentFromPoints(Point(0, 5), Point(1, 5)));
    EXPECT_NEAR(k.box.min_Y, 7.0, 1e-12);
    EXPECT_NE(isCounterClockwise(k), wasCcw);
}

TEST(ContourTest, NearestVertexKeepsTheLowerIndexOnTies)
{
    const Contour k = contourOf({{0, 0}, {2, 0}, {2, 2}, {0, 2}});
    const Point v = nearestVertex(k, Point(1, 1));
    EXPECT_EQ(v.x, 0.0);
    EXPECT_EQ(v.y, 0.0);
    EXPECT_EQ(nearestVertex(k, Point(1.9, 1.8)).y, 2.0);
}

TEST(PartTest, InitShapeSetsEveryDerivedValue)
{
    ContourList holes;
    holes.insert(rectangle(0, 0, 2, 2));
    Part part = partOf(rectangle(0, 0, 10, 10), holes);
    EXPECT_DOUBLE_EQ(part.netArea, 96.0);
    EXPECT_NEAR(part.centroid.x, 496.0 / 96.0, 1e-12);
    EXPECT_NEAR(part.centroid.y, 496.0 / 96.0, 1e-12);
    EXPECT_DOUBLE_EQ(part.box.max_X, 10.0);
    EXPECT_EQ(part.pose.basePt.x, 0.0);
    EXPECT_EQ(part.pose.rotationAngle, 0.0);
    EXPECT_EQ(part.label.text, "empty text!");
}

TEST(PartTest, FillAndAspectRatios)
{
    struct Case {
        Contour outer;
        double fill, aspect;
    };
    const Case cases[] = {
        {contourOf({{0, 0}, {4, 0}, {0, 2}}), 0.5, 2.0},
        {rectangle(0, 0, 4, 2), 1.0, 2.0},
        {rectangle(0, 0, 2, 4), 1.0, 2.0},
        {contourOf({{0, 0}, {4, 0}, {2, 0}}), 1.0, INFINITY},  // flat: no 0/0
        {contourOf({{1, 1}, {1, 1}, {1, 1}}), 1.0, 1.0},
    };
    for (const Case& c : cases) {
        const Part part = partOf(c.outer);
        EXPECT_DOUBLE_EQ(part.fillRatio, c.fill);
        EXPECT_DOUBLE_EQ(part.aspectRatio, c.aspect);
        EXPECT_FALSE(std::isnan(part.centroid.x) || std::isnan(part.centroid.y));
    }
}

TEST(PartTest, CopiesReverseTheHoleListAndMovesKeepIt)
{
    ContourList holes;
    for (double x : {1.0, 3.0, 5.0}) holes.insert(rectangle(x, 1, 1, 1));
    Part part = partOf(rectangle(0, 0, 10, 10), holes);  // initShape copies: 1, 3, 5
    auto holeXs = [](const Part& p) {
        std::vector<double> xs;
        for (const Contour& h : p.holes) xs.push_back(h.box.min_X);
        return xs;
    };
    EXPECT_EQ(holeXs(part), (std::vector<double>{1, 3, 5}));
    Part copy = part;
    EXPECT_EQ(holeXs(copy), (std::vector<double>{5, 3, 1}));
    Part assigned;
    assigned = copy;
    EXPECT_EQ(holeXs(assigned), (std::vector<double>{1, 3, 5}));
    Part moved = std::move(assigned);
    EXPECT_EQ(holeXs(moved), (std::vector<double>{1, 3, 5}));
    Part fromEmpty = Part();
    const Part emptyCopy = fromEmpty;
    EXPECT_TRUE(emptyCopy.outer.empty());
}

TEST(PartTest, RotationBackAndForthRestoresThePose)
{
    Part part = partOf(contourOf({{0, 0}, {5, 0}, {5, 2}, {1, 3}}));
    part.label.x = 2;
    part.label.y = 1;
    const Part before = part;
    const Point centre(7, -3);
    part.rotatePart(centre, 0.7);
    EXPECT_NEAR(part.label.angle, 0.7 / kPi * 180.0, 1e-12);
    part.rotatePart(centre, -0.7);
    for (int i = 0; i < part.outer.count(); ++i) {
        EXPECT_NEAR(part.outer.vertex(i).x, before.outer.vertex(i).x, 1e-12);
        EXPECT_NEAR(part.outer.vertex(i).y, before.outer.vertex(i).y, 1e-12);
    }
    EXPECT_NEAR(part.pose.rotationAngle, 0.0, 1e-15);
    EXPECT_NEAR(part.label.angle, 0.0, 1e-12);
    EXPECT_NEAR(part.label.x, 2.0, 1e-12);
    EXPECT_NEAR(part.pose.basePt.x, 0.0, 1e-12);

    // Rotating about the part's own centroid leaves the centroid in place.
    part.rotatePart(part.centroid, kPi / 2);
    EXPECT_NEAR(part.centroid.x, before.centroid.x, 1e-12);
    EXPECT_NEAR(part.box.max_X - part.box.min_X, 3.0, 1e-12);
}

// Where a part ends depends on the pose it is carried to, not on the poses it went through:
// the turn over must come before the move and reverse the sense of the angle.
TEST(PartTest, ApplyPoseDependsOnlyOnTheTargetPose)
{
    Part rest = partOf(contourOf({{0, 0}, {5, 0}, {5, 2}, {1, 3}}));
    rest.rotatePart(Point(2, 1), 0.4);
    const Pose poses[] = {
        {false, Point(30, -7), 1.1},
        {true, Point(30, -7), 1.1},
        {true, Point(-4, 12), -2.5},
        {false, Point(0.5, 0.25), 0.0},
    };
    for (const Pose& via : poses) {
        for (const Pose& to : poses) {
            Part direct = rest;
            applyPose(direct, to);
            Part twoSteps = rest;
            applyPose(twoSteps, via);
            applyPose(twoSteps, to);
            EXPECT_EQ(direct.pose.mirrored, to.mirrored);
            EXPECT_NEAR(direct.pose.basePt.x, to.basePt.x, 1e-12);
            EXPECT_NEAR(direct.pose.basePt.y, to.basePt.y, 1e-12);
            EXPECT_NEAR(direct.pose.rotationAngle, to.rotationAngle, 1e-12);
            for (int i = 0; i < rest.outer.count(); ++i) {
                EXPECT_NEAR(twoSteps.outer.vertex(i).x, direct.outer.vertex(i).x, 1e-9);
                EXPECT_NEAR(twoSteps.outer.vertex(i).y, direct.outer.vertex(i).y, 1e-9);
            }
            // Carrying a part to its own pose (the argument aliasing it) leaves it in place.
            Part same = direct;
            applyPose(same, same.pose);
            EXPECT_NEAR(same.outer.vertex(2).x, direct.outer.vertex(2).x, 1e-12);
            EXPECT_NEAR(same.outer.vertex(2).y, direct.outer.vertex(2).y, 1e-12);
        }
    }
}

TEST(PartTest, TranslationCarriesEveryPointAlong)
{
    Part part = partOf(rectangle(0, 0, 4, 2));
    part.translatePart(3, 4);
    EXPECT_DOUBLE_EQ(part.box.min_X, 3.0);
    EXPECT_DOUBLE_EQ(part.outer.box.max_Y, 6.0);
    EXPECT_DOUBLE_EQ(part.centroid.x, 5.0);
    EXPECT_DOUBLE_EQ(part.pose.basePt.y, 4.0);
    EXPECT_DOUBLE_EQ(part.label.x, 3.0);
}

TEST(PartTest, MirrorTurnsOverAboutTheHorizontalThroughThePivot)
{
    Part part = partOf(contourOf({{1, 7}, {4, 7}, {1, 9}}));
    part.rotatePart(part.pose.basePt, 0.3);
    part.rotatePart(part.pose.basePt, -0.3);
    part.pose.rotationAngle = 0.3;
    EXPECT_TRUE(part.mirrorPart(Point(0, 5)));
    EXPECT_NEAR(part.outer.vertex(0).x, 1.0, 1e-12);
    EXPECT_NEAR(part.outer.vertex(0).y, 3.0, 1e-12);
    EXPECT_NEAR(part.pose.basePt.y, 3.0, 1e-12);
    EXPECT_DOUBLE_EQ(part.pose.rotationAngle, -0.3);
    EXPECT_NEAR(part.centroid.y, 10.0 - (7 + 7 + 9) / 3.0, 1e-12);
    EXPECT_NEAR(part.box.min_Y, 1.0, 1e-12);
    EXPECT_FALSE(part.mirrorPart(Point(0, 5)));
    EXPECT_NEAR(part.outer.vertex(2).y, 9.0, 1e-12);
    EXPECT_DOUBLE_EQ(part.pose.rotationAngle, 0.3);
}

TEST(PartTest, OrientMinBoxTurnsASquareBackOntoTheAxes)
{
    Part part = partOf(turned(rectangle(0, 0, 10, 10), Point(0, 0), 30));
    part.orientMinBox();
    const double step = kPi * 0.1 / 180.0;
    EXPECT_DOUBLE_EQ(part.pose.rotationAngle, 600 * step);
    EXPECT_NEAR(boxArea(part.box), 100.0, 1e-9);

    // A right triangle on its hypotenuse has the box area of one on its legs (100), but
    // the longer side 14.1 instead of 10: the tie goes to the legs, 45 degrees on.
    const double r = 5.0 * std::sqrt(2.0);
    Part triangle = partOf(contourOf({{0, 0}, {2 * r, 0}, {r, r}}));
    triangle.orientMinBox();
    EXPECT_DOUBLE_EQ(triangle.pose.rotationAngle, 450 * step);
    EXPECT_NEAR(boxLongerSide(triangle.box), 10.0, 1e-9);

    Part square = partOf(rectangle(0, 0, 10, 10));  // already best: nothing moves
    square.orientMinBox();
    EXPECT_EQ(square.pose.rotationAngle, 0.0);
    EXPECT_EQ(square.outer.vertex(2).x, 10.0);
}

// The orientation searches against a plain search that turns the contour for each angle on
// its own: the same turn, and so the same pose, bit for bit.
TEST(PartTest, OrientationSearchesMatchAnAngleByAngleSearch)
{
    const double step = kPi * 0.1 / 180.0;
    const auto boxAt = [](const Part& p, double angle) {
        Contour k = p.outer;
        return rotateContour(k, p.pose.basePt, angle);
    };
    uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<double>(seed >> 8) / static_cast<double>(1u << 24);
    };
    for (int n = 0; n < 12; ++n) {
        // A star of 5 to 40 points with uneven arms, turned somewhere.
        std::vector<Point> points;
        const int count = 5 + n * 3;
        for (int k = 0; k < count; ++k) {
            const double a = 2.0 * kPi * k / count;
            const double r = 20.0 + 80.0 * next();
            points.emplace_back(r * std::cos(a) * (1.0 + n % 3), r * std::sin(a));
        }
        const Part start = partOf(turned(contourOf(points), Point(0, 0), 360.0 * next()));

        double bestArea = boxArea(start.outer.box);
        double bestSide = boxLongerSide(start.outer.box);
        int best = 0;
        double worthArea = boxArea(start.box);
        int worth = 0;
        for (int i = 1; i <= 900; ++i) {
            const BoundingBox b = boxAt(start, i * step);
            const double a = boxArea(b);
            const double side = boxLongerSide(b);
            if (a < bestArea * 0.999 || (std::fabs(a - bestArea) / bestArea < 0.001 && side < bestSide)) {
                bestArea = a;
                bestSide = side;
                best = i;
            }
            if (a < worthArea) {
                worthArea = a;
                worth = i;
            }
        }
        Part oriented = start;
        oriented.orientMinBox();
        EXPECT_EQ(oriented.pose.rotationAngle, best == 0 ? 0.0 : best * step) << n;
        Part worthIt = start;
        worthIt.orientMinBoxIfWorth();
        const bool turns = (boxArea(start.box) - worthArea) / boxArea(start.box) > 0.2;
        EXPECT_EQ(worthIt.pose.rotationAngle, turns ? worth * step : 0.0) << n;
    }
}

TEST(PartTest, OrientMinBoxIfWorthNeedsASavingAboveTwentyPercent)
{
    Part steep = partOf(turned(rectangle(0, 0, 10, 1), Point(0, 0), 45));
    EXPECT_NEAR(boxArea(steep.box), 60.5, 1e-9);
    steep.orientMinBoxIfWorth();
    EXPECT_NEAR(boxArea(steep.box), 10.0, 1e-9);

    Part slight = partOf(turned(rectangle(0, 0, 10, 1), Point(0, 0), 1));
    const Part before = slight;
    slight.orientMinBoxIfWorth();
    EXPECT_EQ(slight.pose.rotationAngle, 0.0);
    EXPECT_EQ(slight.outer.vertex(1).x, before.outer.vertex(1).x);
}

TEST(PartTest, NearestVertexToCentroidLooksIntoTheHoles)
{
    ContourList holes;
    holes.insert(rectangle(4, 4, 1, 1));
    Part part = partOf(rectangle(0, 0, 10, 10), holes);
    const Point v = part.nearestVertexToCentroid();
    EXPECT_NEAR(distance(v, part.centroid), distance(Point(5, 5), part.centroid), 1e-12);
    EXPECT_GT(v.x, 3.0);
}

TEST(PartTest, ZeroAreaPartKeepsANumericCentroid)
{
    // A hole as large as the outer boundary leaves no net area.
    ContourList holes;
    holes.insert(rectangle(0, 0, 2, 2));
    Part part = partOf(rectangle(0, 0, 2, 2), holes);
    EXPECT_EQ(part.netArea, 0.0);
    EXPECT_DOUBLE_EQ(part.centroid.x, 1.0);
    EXPECT_DOUBLE_EQ(part.centroid.y, 1.0);
}

TEST(TextLabelTest, LongTextsAreCutWithoutSplittingACharacter)
{
    TextLabel label;
    label.setText(std::string(60, 'a'));
    EXPECT_EQ(label.text.size(), 49u);

    // 48 ASCII bytes and a three-byte UTF-8 character: the character does not fit.
    label.setText(std::string(48, 'a').append("\xE9\x9B\xB6" "b"));
    EXPECT_EQ(label.text, std::string(48, 'a'));

    // GBK pairs: 24 of them fill 48 bytes; the 25th pair would cross byte 49.
    std::string gbk;
    for (int i = 0; i < 26; ++i) gbk += "\xC1\xE3";
    label.setText(gbk);
    EXPECT_EQ(label.text, gbk.substr(0, 48));
    const std::string shifted = std::string("A").append(gbk);
    label.setText(shifted);
    EXPECT_EQ(label.text, shifted.substr(0, 49));

    label.setText("short");
    EXPECT_EQ(label.text, "short");
}

TEST(PartPenTest, PenFollowsTheFlags)
{
    Part part;
    const PenStyle unplaced = partPen(part);
    EXPECT_EQ(unplaced.width, 1);
    EXPECT_EQ(unplaced.r, 128);
    EXPECT_EQ(unplaced.b, 128);
    part.plateId = 3;
    EXPECT_EQ(partPen(part).g, 255);
    EXPECT_EQ(partPen(part).r, 0);
    part.pose.mirrored = true;
    EXPECT_EQ(partPen(part).r, 255);
    EXPECT_EQ(partPen(part).g, 255);
    part.selected = true;
    const PenStyle selected = partPen(part);
    EXPECT_EQ(selected.width, 2);
    EXPECT_EQ(selected.g, 0);
}

// The centroid of a contour seen moved must be the very centroid of the moved contour,
// bit for bit: the layout ranks candidates by it without moving them.
TEST(ContourTest, CentroidSeenMovedIsTheMovedCentroidBitForBit)
{
    std::mt19937 random(21);
    std::uniform_real_distribution<double> coordinate(-50.0, 50.0);
    std::uniform_real_distribution<double> shift(-1000.0, 1000.0);
    auto bits = [](double v) { return std::bit_cast<uint64_t>(v); };
    for (int i = 0; i < 300; ++i) {
        std::vector<Point> points;
        const int n = 3 + i % 12;
        for (int v = 0; v < n; ++v) points.emplace_back(coordinate(random), coordinate(random));
        if (i % 10 == 0) points = {{1, 1}, {2, 2}, {3, 3}};  // no area: the box centre stands in
        const Contour k = contourOf(points);
        const double dx = shift(random), dy = i % 3 == 0 ? 0.0 : shift(random);
        Contour moved = k;
        translateContour(moved, dx, dy);
        const Point expected = contourCentroid(moved);
        const Point seen = contourCentroid(k, dx, dy);
        ASSERT_EQ(bits(seen.x), bits(expected.x)) << i;
        ASSERT_EQ(bits(seen.y), bits(expected.y)) << i;
    }
}
