#pragma once

#include <vector>

#include "geometry/contour.h"
#include "geometry/part.h"

namespace orvo::test {

inline Contour contourOf(const std::vector<Point>& points)
{
    Contour k;
    k.setPoints(points);
    return k;
}

// Counter-clockwise, starting at the lower left corner.
inline Contour rectangle(double x1, double y1, double x2, double y2)
{
    return contourOf({{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}});
}

inline Part partOf(const Contour& outer, const ContourList& holes)
{
    Part part;
    part.initShape(outer, holes);
    return part;
}

// The holes end up in the part in the order given (inserted at the front, then copied).
inline Part partOf(const Contour& outer, const std::vector<Contour>& holes = {})
{
    ContourList list;
    for (const Contour& h : holes) list.insert(h);
    return partOf(outer, list);
}

}  // namespace orvo::test
