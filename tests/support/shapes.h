#pragma once

// Shapes for tests. Every rectangle is given by its lower-left corner, its width and its
// height, and runs counter-clockwise from that corner.

#include <cstdint>
#include <vector>

#include "geometry/contour.h"
#include "geometry/part.h"
#include "library/outline.h"

namespace orvo::test {

inline Contour contourOf(const std::vector<Point>& points)
{
    Contour k;
    k.setPoints(points);
    return k;
}

inline Contour rectangle(double x, double y, double w, double h)
{
    return contourOf({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}});
}

inline Part partOf(const Contour& outer, const ContourList& holes, int32_t id = 0)
{
    Part part;
    part.initShape(outer, holes);
    part.partId = id;
    return part;
}

// The holes end up in the part in the order given (inserted at the front, then copied).
inline Part partOf(const Contour& outer, const std::vector<Contour>& holes = {}, int32_t id = 0)
{
    ContourList list;
    for (const Contour& h : holes) list.insert(h);
    return partOf(outer, list, id);
}

inline Part rectPart(double x, double y, double w, double h, int32_t id = 0)
{
    return partOf(rectangle(x, y, w, h), ContourList(), id);
}

inline Part polygonPart(const std::vector<Point>& points, int32_t id = 0)
{
    return partOf(contourOf(points), ContourList(), id);
}

inline Part polygonPart(const std::vector<Point>& points, const std::vector<std::vector<Point>>& holes)
{
    std::vector<Contour> holeContours;
    for (const std::vector<Point>& h : holes) holeContours.push_back(contourOf(h));
    return partOf(contourOf(points), holeContours);
}

// A square part lying on the plate with that id (-1: on no plate).
inline Part squareOnPlate(int32_t id, double x, double y, double side, int32_t plateId)
{
    Part part = rectPart(x, y, side, side, id);
    part.plateId = plateId;
    return part;
}

// A loop of a part outline; radii[k] is the radius of the edge leaving vertex k (0: a line).
inline OutlineLoop makeLoop(const std::vector<Point>& vertices, std::vector<double> radii = {})
{
    radii.resize(vertices.size(), 0.0);
    OutlineLoop loop;
    loop.setLoop(static_cast<int32_t>(vertices.size()), vertices.data(), radii.data());
    return loop;
}

inline OutlineLoop rectangleLoop(double x, double y, double w, double h)
{
    return makeLoop({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}});
}

}  // namespace orvo::test
