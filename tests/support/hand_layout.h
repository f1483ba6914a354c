#pragma once

// Small layouts built by hand (no library file, no layout method), for the tests of what
// is written from a layout.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "geometry/offset.h"
#include "library/outline.h"
#include "nesting/nest_system.h"

namespace orvo::test {

// A part type as the library would give it: outline, true shape and one nesting part
// (grown by half the part gap, unplaced, parked at its library pose).
inline void addPartType(NestSystem& ns, const std::string& name, const OutlineLoop& outer,
                        const std::vector<OutlineLoop>& holes = {})
{
    OutlineLoopList holeList;
    for (const OutlineLoop& hole : holes) holeList.insert(hole);
    PartOutline outline;
    outline.setShape(outer, holeList);
    outline.label.setText(name);
    outline.partId = static_cast<int32_t>(ns.outlines.size());
    ns.outlines.push_back(outline);
    Part part = outline.toPart();
    ns.trueShapes.push_back(part);
    offsetPart(part, ns.partGap / 2.0);
    ns.nestParts.push_back(part);
}

// Poses the first nesting part of the type as the packing file describes a pose: turned
// over about its reference point, moved there, rotated about it.
inline Part& placePart(NestSystem& ns, int32_t partId, int32_t plateId, Point basePt,
                       double angle = 0.0, bool mirrored = false)
{
    for (Part& part : ns.nestParts) {
        if (part.partId != partId) continue;
        if (mirrored) {
            const Point pivot = part.pose.basePt;
            part.mirrorPart(pivot);
        }
        part.translatePart(basePt.x - part.pose.basePt.x, basePt.y - part.pose.basePt.y);
        part.rotatePart(basePt, angle);
        part.plateId = plateId;
        return part;
    }
    std::abort();
}

// A plate with its lower-left corner where asked.
inline Plate& addPlateAt(NestSystem& ns, int32_t id, double x, double y, double length,
                         double width)
{
    Plate plate = ns.createPlate(id, length, width);
    for (BoundingBox* box : {&plate.outerBox, &plate.innerBox}) {
        box->min_X += x;
        box->max_X += x;
        box->min_Y += y;
        box->max_Y += y;
    }
    ns.plates.push_back(plate);
    ns.activePlate = &ns.plates.back();
    return ns.plates.back();
}

}  // namespace orvo::test
