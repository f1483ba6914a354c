#pragma once

#include <cstdint>

#include "geometry/contour.h"
#include "geometry/point.h"
#include "geometry/pose.h"

namespace orvo {

// The polygon form of a part with its derived values and its placement. Copies are deep
// and hold the holes in reverse order (a FrontList copy); moves keep the order.
class Part {
public:
    Contour outer;
    ContourList holes;
    TextLabel label;
    double netArea = 0.0;
    BoundingBox box;
    Point centroid;
    bool selected = false;
    int32_t partId = 0;
    Pose pose;
    double fillRatio = 1.0;
    double aspectRatio = 1.0;
    int32_t plateId = -1;

    // Sets the shape (the holes copied, so in reverse order) and every derived value;
    // the base point becomes outer vertex 0 and the angle 0. The label is not touched.
    void initShape(const Contour& outerContour, const ContourList& holeList);
    BoundingBox updateBox();
    double updateNetArea();
    // Area centroid with the holes subtracted; without net area, the outer chain's centroid.
    Point updateCentroid();
    double updateFillRatio();
    double updateAspectRatio();

    void translatePart(double dx, double dy);
    void rotatePart(const Point& centre, double angle);
    // Turns over about the horizontal line through the pivot; returns the new flag.
    bool mirrorPart(const Point& pivot);
    void orientMinBox();
    void orientMinBoxIfWorth();
    Point nearestVertexToCentroid();
};

// Carries the part from its pose to `to` (see carryToPose): how a layout places a part at a
// pose it found, and how a true shape is drawn or written where its nesting part lies.
void applyPose(Part& part, const Pose& to);

// The pen a part is drawn with, a pure function of its flags (the drawing code maps it
// to its own pen type).
struct PenStyle {
    int width = 1;
    unsigned char r = 0, g = 0, b = 0;
};
PenStyle partPen(const Part& part);

}  // namespace orvo
