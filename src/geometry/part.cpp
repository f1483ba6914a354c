#include "geometry/part.h"

#include <array>
#include <cmath>
#include <cstddef>

namespace orvo {

namespace {

// The orientation searches try 900 turns of a tenth of a degree.
constexpr int kOrientSteps = 900;
const double kOrientStep = kPi * 0.1 / 180.0;

// The boxes that rotateContour would give at the turns 1..kOrientSteps about `centre`,
// without touching (or copying) the contour. One pass over the points updates all the
// turns at once: the same sums and comparisons, in the same point order, as turning the
// contour for each angle alone, but the inner loop over the angles vectorises and the sines
// and cosines are taken once for all parts.
struct TurnTable {
    std::array<double, kOrientSteps> c{}, s{};
    TurnTable()
    {
        for (int i = 0; i < kOrientSteps; ++i) {
            const double angle = (i + 1) * kOrientStep;
            c[static_cast<size_t>(i)] = std::cos(angle);
            s[static_cast<size_t>(i)] = std::sin(angle);
        }
    }
};

struct TurnedBoxes {
    std::array<double, kOrientSteps> minX{}, maxX{}, minY{}, maxY{};
    BoundingBox box(int turn) const
    {
        const auto i = static_cast<size_t>(turn - 1);
        return BoundingBox{minX[i], maxX[i], minY[i], maxY[i]};
    }
};

void turnedBoxes(const Contour& k, const Point& centre, TurnedBoxes& out)
{
    static const TurnTable table;  // immutable once built
    const size_t n = k.points.size();
    if (n == 0) {
        out = TurnedBoxes{};
        return;
    }
    const double cx = centre.x;
    const double cy = centre.y;
    {
        const double x = k.points[0].x - cx;
        const double y = k.points[0].y - cy;
        for (size_t i = 0; i < static_cast<size_t>(kOrientSteps); ++i) {
            const double c = table.c[i];
            const double s = table.s[i];
            const double rx = c * x - s * y + cx;
            const double ry = s * x + c * y + cy;
            out.minX[i] = rx;
            out.maxX[i] = rx;
            out.minY[i] = ry;
            out.maxY[i] = ry;
        }
    }
    for (size_t j = 1; j < n; ++j) {
        const double x = k.points[j].x - cx;
        const double y = k.points[j].y - cy;
        for (size_t i = 0; i < static_cast<size_t>(kOrientSteps); ++i) {
            const double c = table.c[i];
            const double s = table.s[i];
            const double rx = c * x - s * y + cx;
            const double ry = s * x + c * y + cy;
            out.maxX[i] = rx > out.maxX[i] ? rx : out.maxX[i];
            out.minX[i] = rx < out.minX[i] ? rx : out.minX[i];
            out.maxY[i] = ry > out.maxY[i] ? ry : out.maxY[i];
            out.minY[i] = ry < out.minY[i] ? ry : out.minY[i];
        }
    }
}

void movePoint(Point& p, const Point& to)
{
    p.x = to.x;
    p.y = to.y;
}

}  // namespace

void Part::initShape(const Contour& outerContour, const ContourList& holeList)
{
    outer = outerContour;
    holes = holeList;
    updateNetArea();
    updateCentroid();
    box = outer.box;
    updateFillRatio();
    updateAspectRatio();
    pose.basePt = outer.empty() ? Point() : outer.vertex(0);
    pose.rotationAngle = 0.0;
}

BoundingBox Part::updateBox()
{
    box = contourBox(outer);
    return box;
}

double Part::updateNetArea()
{
    netArea = contourArea(outer);
    for (Contour& h : holes) netArea -= contourArea(h);
    return netArea;
}

Point Part::updateCentroid()
{
    movePoint(centroid, netCentroid(outer, holes));
    return centroid;
}

double Part::updateFillRatio()
{
    updateBox();
    const double boxSize = boxWidth(box) * boxHeight(box);
    // A part with a flat box encloses nothing and wastes nothing of it.
    fillRatio = boxSize > 0.0 ? outer.area / boxSize : 1.0;
    if (fillRatio > 1.0) fillRatio = 1.0;
    return fillRatio;
}

double Part::updateAspectRatio()
{
    updateBox();
    const double w = boxWidth(box);
    const double h = boxHeight(box);
    if (w == 0.0 && h == 0.0)
        aspectRatio = 1.0;  // a single point: 0/0 would poison every comparison
    else
        aspectRatio = w > h ? w / h : h / w;
    return aspectRatio;
}

void Part::translatePart(double dx, double dy)
{
    translateContour(outer, dx, dy);
    for (Contour& h : holes) translateContour(h, dx, dy);
    box.min_X += dx;
    box.max_X += dx;
    box.min_Y += dy;
    box.max_Y += dy;
    centroid.x += dx;
    centroid.y += dy;
    label.x += dx;
    label.y += dy;
    pose.translate(dx, dy);
}

void Part::rotatePart(const Point& centre, double angle)
{
    // The centre may be one of our own members (the base point, centroid): keep a copy.
    const Point pivot = centre;
    rotateContour(outer, pivot, angle);
    for (Contour& h : holes) rotateContour(h, pivot, angle);
    rotatePoint(centroid, pivot, angle);
    updateBox();
    updateFillRatio();
    label.rotateAbout(pivot, angle);
    pose.rotate(pivot, angle);
}

bool Part::mirrorPart(const Point& pivot)
{
    double reach = (boxWidth(box) + boxHeight(box)) / 2.0;
    if (!(reach > 0.0)) reach = 1.0;  // a point-sized part still needs a proper mirror line
    const Point start(pivot.x, pivot.y);
    const Segment mirror = segmentFromPoints(start, Point(pivot.x + reach, pivot.y));
    reflectContour(outer, mirror);
    for (Contour& h : holes) reflectContour(h, mirror);
    updateCentroid();
    updateBox();
    label.reflectIn(mirror);
    pose.reflect(mirror);
    return pose.mirrored;
}

void Part::orientMinBox()
{
    double bestArea = boxArea(outer.box);
    double bestSide = boxLongerSide(outer.box);
    int best = 0;
    TurnedBoxes turned;
    turnedBoxes(outer, pose.basePt, turned);
    for (int i = 1; i <= kOrientSteps; ++i) {
        const BoundingBox b = turned.box(i);
        const double a = boxArea(b);
        const double side = boxLongerSide(b);
        if (a < bestArea * 0.999 || (std::fabs(a - bestArea) / bestArea < 0.001 && side < bestSide)) {
            bestArea = a;
            bestSide = side;
            best = i;
        }
    }
    if (best != 0) rotatePart(pose.basePt, best * kOrientStep);
}

void Part::orientMinBoxIfWorth()
{
    const double startArea = boxArea(box);
    double bestArea = startArea;
    int best = 0;
    TurnedBoxes turned;
    turnedBoxes(outer, pose.basePt, turned);
    for (int i = 1; i <= kOrientSteps; ++i) {
        const double a = boxArea(turned.box(i));
        if (a < bestArea) {
            bestArea = a;
            best = i;
        }
    }
    if ((startArea - bestArea) / startArea > 0.2) rotatePart(pose.basePt, best * kOrientStep);
}

Point Part::nearestVertexToCentroid()
{
    updateCentroid();
    Point candidate = nearestVertex(outer, centroid);
    double candidateDistance = distance(candidate, centroid);
    for (const Contour& h : holes) {
        if (h.empty()) continue;
        const Point v = nearestVertex(h, centroid);
        const double d = distance(v, centroid);
        if (d < candidateDistance) {
            candidate = v;
            candidateDistance = d;
        }
    }
    return candidate;
}

void applyPose(Part& part, const Pose& to)
{
    carryToPose(part, to, &Part::mirrorPart, &Part::translatePart, &Part::rotatePart);
}

PenStyle partPen(const Part& part)
{
    if (part.selected) return PenStyle{2, 255, 0, 0};
    if (part.plateId == -1) return PenStyle{1, 128, 0, 128};
    if (part.pose.mirrored) return PenStyle{1, 255, 255, 0};
    return PenStyle{1, 0, 255, 0};
}

}  // namespace orvo
