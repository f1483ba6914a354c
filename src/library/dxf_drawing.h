#pragma once

#include <map>
#include <string>
#include <vector>

#include "geometry/point.h"

namespace orvo {

// The entities of a DXF drawing that can bound a part, as the file gives them: points
// in the entity's own coordinate system (OCS, with its extrusion `normal`) for arcs,
// circles, polylines and inserts, in world coordinates for lines, ellipses and splines.
struct DxfEntity {
    enum class Kind { Line, Arc, Circle, Ellipse, Polyline, Spline, Insert };
    struct Vertex {
        double x = 0.0;
        double y = 0.0;
        double bulge = 0.0;  // polylines: the bulge of the edge leaving it; splines: the weight
    };

    Kind kind = Kind::Line;
    std::string layer;
    double normal[3] = {0.0, 0.0, 1.0};
    // Line: a -> b. Arc, circle: centre a, radius, start and end angle (degrees).
    // Ellipse: centre a, major axis end b (relative), ratio, start and end parameter.
    // Insert: insertion point a, scale sx, sy, rotation (degrees).
    Point a, b;
    double radius = 0.0, ratio = 1.0, start = 0.0, end = 0.0;
    double sx = 1.0, sy = 1.0, rotation = 0.0;
    int columns = 1, rows = 1;
    double columnSpacing = 0.0, rowSpacing = 0.0;
    std::string block;
    // Polyline (closed), spline (degree, knots, control points, fit points).
    bool closed = false;
    int degree = 0;
    std::vector<Vertex> vertices;
    std::vector<double> knots;
    std::vector<Point> fitPoints;
};

struct DxfBlock {
    Point base;
    std::vector<DxfEntity> entities;
};

struct DxfDrawing {
    int insUnits = 0;  // $INSUNITS; 0 when the header does not give it
    std::vector<DxfEntity> modelSpace;
    std::map<std::string, DxfBlock> blocks;
    int ignoredEntities = 0;  // entities with a number that is not finite or far too large
};

// Reads the pairs of an ASCII DXF text (see checkDxfGroups) with the DXF library.
// False when the library gave up (then `fault` says why).
bool readDxfDrawing(const std::string& groupText, DxfDrawing& drawing, std::string& fault);

}  // namespace orvo
