#include "library/outline.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "library/discretise.h"

namespace orvo {

void OutlineLoop::setLoop(int32_t n, const Point* loopVertices, const double* loopRadii)
{
    const size_t size = n > 0 ? static_cast<size_t>(n) : 0;
    vertices.assign(loopVertices, loopVertices + size);
    radii.assign(loopRadii, loopRadii + size);
}

double OutlineLoop::vertexBoxDiagonal() const
{
    if (vertices.empty()) return 0.0;
    double minX = vertices[0].x;
    double maxX = minX;
    double minY = vertices[0].y;
    double maxY = minY;
    for (const Point& p : vertices) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    return std::sqrt((maxX - minX) * (maxX - minX) + (maxY - minY) * (maxY - minY));
}

void OutlineLoop::translateLoop(double dx, double dy)
{
    for (Point& p : vertices) {
        p.x += dx;
        p.y += dy;
    }
}

void OutlineLoop::rotateLoop(const Point& centre, double angle)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    for (Point& p : vertices) {
        const Point r = rotatedPoint(p, centre, c, s);
        p.x = r.x;
        p.y = r.y;
    }
}

void OutlineLoop::reflectLoop(const Segment& mirror)
{
    for (Point& p : vertices) p = reflectPoint(mirror, p);
    for (double& r : radii) r = -r;
}

PartOutline::PartOutline(const PartOutline& other)
    : outer(other.outer),
      holes(other.holes),
      label(other.label),
      partId(other.partId),
      pose(other.pose),
      netArea(other.netArea),
      centroid(other.centroid)
{
}

PartOutline& PartOutline::operator=(const PartOutline& other)
{
    if (this != &other) *this = PartOutline(other);  // the move keeps our chordError
    return *this;
}

PartOutline::PartOutline(PartOutline&& other) noexcept { *this = std::move(other); }

PartOutline& PartOutline::operator=(PartOutline&& other) noexcept
{
    outer = std::move(other.outer);
    holes = std::move(other.holes);
    label = std::move(other.label);
    partId = other.partId;
    pose = other.pose;
    netArea = other.netArea;
    centroid = other.centroid;
    return *this;
}

namespace {

// The net area of an outer polygon less its holes, the holes in the outline's order.
double netAreaOf(Contour& outer, std::vector<Contour>& holes)
{
    double area = contourArea(outer);
    for (Contour& h : holes) area -= contourArea(h);
    return area;
}

}  // namespace

void PartOutline::setShape(const OutlineLoop& outerLoop, const OutlineLoopList& holeLoops)
{
    std::vector<Contour> holeContours;
    for (const OutlineLoop& hole : holeLoops) holeContours.push_back(loopToContour(hole, chordError));
    setShape(outerLoop, holeLoops, loopToContour(outerLoop, chordError), holeContours);
}

void PartOutline::setShape(const OutlineLoop& outerLoop, const OutlineLoopList& holeLoops,
                           const Contour& outerContour, const std::vector<Contour>& holeContours)
{
    outer = outerLoop;
    holes = holeLoops;  // a copy: in reverse order
    label.angle = 0.0;
    label.height = outer.vertexBoxDiagonal() / 10.0;
    const Point first = outer.vertices.empty() ? Point() : outer.vertex(0);
    label.x = first.x;
    label.y = first.y;
    pose.basePt = first;
    pose.rotationAngle = 0.0;
    Contour c = outerContour;
    std::vector<Contour> h(holeContours.rbegin(), holeContours.rend());
    netArea = netAreaOf(c, h);
    centroid = netCentroid(c, h);
}

double PartOutline::updateNetArea()
{
    Contour c = loopToContour(outer, chordError);
    std::vector<Contour> h;
    for (const OutlineLoop& hole : holes) h.push_back(loopToContour(hole, chordError));
    netArea = netAreaOf(c, h);
    return netArea;
}

Point PartOutline::updateCentroid()
{
    Contour c = loopToContour(outer, chordError);
    std::vector<Contour> h;
    for (const OutlineLoop& hole : holes) h.push_back(loopToContour(hole, chordError));
    centroid = netCentroid(c, h);
    return centroid;
}

void PartOutline::mirrorOutline(const Point& pivot)
{
    Contour c = loopToContour(outer, chordError);
    const BoundingBox box = contourBox(c);
    double length = (boxWidth(box) + boxHeight(box)) / 2.0;
    // The mirror is the horizontal through the pivot whatever its length; a shape without
    // extent must not leave it without a direction.
    if (!(length > 0.0) || !std::isfinite(length)) length = 1.0;
    const Segment mirror(pivot, Point(pivot.x + length, pivot.y));
    outer.reflectLoop(mirror);
    for (OutlineLoop& hole : holes) hole.reflectLoop(mirror);
    label.reflectIn(mirror);
    pose.reflect(mirror);
    // The centroid moves with the shape here as in every other transform.
    const Point turnedCentroid = reflectPoint(mirror, centroid);
    centroid.x = turnedCentroid.x;
    centroid.y = turnedCentroid.y;
}

Part PartOutline::toPart() const
{
    const Contour c = loopToContour(outer, chordError);
    ContourList holeContours;
    for (const OutlineLoop& hole : holes) holeContours.insert(loopToContour(hole, chordError));
    Part part;
    part.initShape(c, holeContours);
    part.pose = pose;
    part.label = label;
    part.partId = partId;
    return part;
}

void PartOutline::translateOutline(double dx, double dy)
{
    outer.translateLoop(dx, dy);
    for (OutlineLoop& hole : holes) hole.translateLoop(dx, dy);
    label.x += dx;
    label.y += dy;
    pose.translate(dx, dy);
    centroid.x += dx;
    centroid.y += dy;
}

void PartOutline::rotateOutline(const Point& centre, double angle)
{
    outer.rotateLoop(centre, angle);
    for (OutlineLoop& hole : holes) hole.rotateLoop(centre, angle);
    label.rotateAbout(centre, angle);
    pose.rotate(centre, angle);
    rotatePoint(centroid, centre, angle);
}

void applyPose(PartOutline& outline, const Pose& to)
{
    carryToPose(outline, to, &PartOutline::mirrorOutline, &PartOutline::translateOutline,
                &PartOutline::rotateOutline);
}

}  // namespace orvo
