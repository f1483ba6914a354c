#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geometry/front_list.h"
#include "geometry/point.h"

namespace orvo {

// One closed chain of vertices (the last joins the first, which is not repeated),
// with its unsigned area and its box cached. Either orientation may occur.
class Contour {
public:
    Contour() = default;

    int32_t count() const { return static_cast<int32_t>(points.size()); }
    bool empty() const { return points.empty(); }

    // Replaces the vertices with a copy of n points, then refreshes box and area.
    void setPoints(int32_t n, const Point* array);
    void setPoints(const std::vector<Point>& array);
    Point vertex(int32_t i) const { return points[static_cast<size_t>(i)]; }

    std::vector<Point> points;  // contiguous, read by the overlap tests
    double area = 0.0;
    BoundingBox box;
};

using ContourList = FrontList<Contour>;

// Computes, stores and returns the unsigned area (0 for an empty contour).
double contourArea(Contour& k);
bool isCounterClockwise(const Contour& k);
// Area centroid; either orientation gives the same point. A chain that encloses no
// area gives the centre of its box instead of a non-number (an empty one (0, 0)).
Point contourCentroid(const Contour& k);
// The centroid of k translated by (dx, dy), from the very sums translateContour would
// store, without moving (or copying) k.
Point contourCentroid(const Contour& k, double dx, double dy);
// Recomputes, stores and returns the box; an empty contour gets an all-zero box.
BoundingBox contourBox(Contour& k);
void translateContour(Contour& k, double dx, double dy);
BoundingBox rotateContour(Contour& k, const Point& centre, double angle);
void reflectContour(Contour& k, const Segment& mirror);
// The closest vertex, ties to the lower index; an empty contour gives a default Point.
Point nearestVertex(const Contour& k, const Point& p);

// A text with its insertion point, angle (degrees) and height.
struct TextLabel {
    static constexpr size_t kMaxText = 49;  // characters kept of a text

    std::string text = "empty text!";
    double x = 0.0;
    double y = 0.0;
    double angle = 0.0;
    double height = 10.0;

    // Keeps at most kMaxText bytes of the given text without splitting a character:
    // UTF-8 text is cut at a character boundary, other text keeps GBK byte pairs whole.
    void setText(const std::string& value);
};

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
    bool mirrored = false;
    Point basePt;
    double rotationAngle = 0.0;
    double fillRatio = 1.0;
    double aspectRatio = 1.0;
    int32_t plateId = -1;

    // Sets the shape (the holes copied, so in reverse order) and every derived value;
    // basePt becomes outer vertex 0 and rotationAngle 0. The label is not touched.
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

// The pen a part is drawn with, a pure function of its flags (the drawing code maps it
// to its own pen type).
struct PenStyle {
    int width = 1;
    unsigned char r = 0, g = 0, b = 0;
};
PenStyle partPen(const Part& part);

}  // namespace orvo
