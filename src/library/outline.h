#pragma once

#include <cstdint>
#include <list>
#include <vector>

#include "geometry/contour.h"
#include "geometry/part.h"
#include "geometry/front_list.h"
#include "geometry/point.h"
#include "geometry/pose.h"

namespace orvo {

class ErrorReport;

// One closed loop of a part outline: vertices and the signed radius of the edge that
// leaves each vertex (0 straight, > 0 counter-clockwise arc, < 0 clockwise arc).
class OutlineLoop {
public:
    int32_t count() const { return static_cast<int32_t>(vertices.size()); }
    void setLoop(int32_t n, const Point* loopVertices, const double* loopRadii);
    Point vertex(int32_t i) const { return vertices[static_cast<size_t>(i)]; }
    double vertexBoxDiagonal() const;

    void translateLoop(double dx, double dy);
    void rotateLoop(const Point& centre, double angle);
    // Reflects the vertices and negates the radii, so arcs keep their shape.
    void reflectLoop(const Segment& mirror);

    std::vector<Point> vertices;
    std::vector<double> radii;
};

// Front insertion, reversed copies (see FrontList).
using OutlineLoopList = FrontList<OutlineLoop>;

// A part as read from the library: loops with arcs, not yet a polygon.
class PartOutline {
public:
    PartOutline() = default;
    // Copies every member except chordError, which stays the destination's own.
    PartOutline(const PartOutline& other);
    PartOutline& operator=(const PartOutline& other);
    PartOutline(PartOutline&& other) noexcept;
    PartOutline& operator=(PartOutline&& other) noexcept;

    void setShape(const OutlineLoop& outerLoop, const OutlineLoopList& holeLoops);
    // The same with the loops' polygons (loopToContour at chordError) worked out already,
    // holeContours in the order of holeLoops.
    void setShape(const OutlineLoop& outerLoop, const OutlineLoopList& holeLoops, const Contour& outerContour,
                  const std::vector<Contour>& holeContours);
    double updateNetArea();
    Point updateCentroid();
    void mirrorOutline(const Point& pivot);
    Part toPart() const;
    void translateOutline(double dx, double dy);
    void rotateOutline(const Point& centre, double angle);

    OutlineLoop outer;
    OutlineLoopList holes;
    TextLabel label;
    double chordError = 1.0;
    int32_t partId = 0;
    Pose pose;
    double netArea = 0.0;
    Point centroid;
};

// Carries the outline from its pose to `to` exactly as applyPose carries a Part.
void applyPose(PartOutline& outline, const Pose& to);

// Back insertion: keeps the order of the library file.
using PartOutlineList = std::list<PartOutline>;

}  // namespace orvo
