#pragma once

#include <cmath>
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
// The area centroid of an outer contour less its holes (any container of contours), the
// areas stored as contourArea does. Holes as large as the outer contour leave no net area
// and so no area centroid: the outer contour's own stands in.
template <class Holes>
Point netCentroid(Contour& outer, Holes& holes)
{
    const double a0 = contourArea(outer);
    const Point c0 = contourCentroid(outer);
    double w = a0;
    double x = c0.x * a0;
    double y = c0.y * a0;
    for (Contour& h : holes) {
        const double ah = contourArea(h);
        const Point ch = contourCentroid(h);
        w -= ah;
        x -= ch.x * ah;
        y -= ch.y * ah;
    }
    const Point centroid(x / w, y / w);
    if (w == 0.0 || !std::isfinite(centroid.x) || !std::isfinite(centroid.y)) return c0;
    return centroid;
}
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
    // Carries the insertion point along with its shape; the text turns with it.
    void rotateAbout(const Point& centre, double angle);
    void reflectIn(const Segment& mirror);
};

}  // namespace orvo
