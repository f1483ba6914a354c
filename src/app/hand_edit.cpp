#include "app/hand_edit.h"

#include <algorithm>

#include "geometry/overlap.h"

namespace orvo {

namespace {

// The world rectangle of two pixel corners; the upper pixel row gives max_Y.
BoundingBox worldRect(const ViewTransform& view, PixelPoint p1, PixelPoint p2)
{
    const Point lowLeft = view.screenToWorld(std::min(p1.x, p2.x), std::max(p1.y, p2.y));
    const Point upRight = view.screenToWorld(std::max(p1.x, p2.x), std::min(p1.y, p2.y));
    return BoundingBox{lowLeft.x, upRight.x, lowLeft.y, upRight.y};
}

bool boxesMeet(const BoundingBox& a, const BoundingBox& b)
{
    return a.min_X <= b.max_X && a.max_X >= b.min_X && a.min_Y <= b.max_Y && a.max_Y >= b.min_Y;
}

bool strictlyInside(const BoundingBox& inner, const BoundingBox& outer)
{
    return inner.min_X > outer.min_X && inner.max_X < outer.max_X &&
           inner.min_Y > outer.min_Y && inner.max_Y < outer.max_Y;
}

bool holdsPoint(const BoundingBox& box, const Point& p)
{
    return p.x >= box.min_X && p.x <= box.max_X && p.y >= box.min_Y && p.y <= box.max_Y;
}

}  // namespace

bool pickPart(NestSystem& ns, const ViewTransform& view, PixelPoint p)
{
    const Point w = view.screenToWorld(p);
    for (Part& part : ns.nestParts) {
        if (pointInPart(part, w)) {
            part.selected = !part.selected;
            return true;
        }
    }
    return false;
}

bool selectPartsInRect(NestSystem& ns, const ViewTransform& view, PixelPoint p1, PixelPoint p2)
{
    const BoundingBox r = worldRect(view, p1, p2);
    const bool crossing = p2.x < p1.x;
    bool any = false;
    for (Part& part : ns.nestParts) {
        const bool take = crossing ? partOverlapsRect(part, r.min_X, r.max_X, r.min_Y, r.max_Y)
                                   : boxInsideRect(part, r);
        if (take) {
            part.selected = true;
            any = true;
        }
    }
    return any;
}

bool pickPlate(NestSystem& ns, const ViewTransform& view, PixelPoint p)
{
    const Point w = view.screenToWorld(p);
    for (Plate& plate : ns.plates) {
        if (holdsPoint(plate.outerBox, w)) {
            plate.selected = !plate.selected;
            return true;
        }
    }
    return false;
}

bool selectPlatesInRect(NestSystem& ns, const ViewTransform& view, PixelPoint p1, PixelPoint p2)
{
    const BoundingBox r = worldRect(view, p1, p2);
    const bool crossing = p2.x < p1.x;
    bool any = false;
    for (Plate& plate : ns.plates) {
        const bool take =
            crossing ? boxesMeet(plate.outerBox, r) : strictlyInside(plate.outerBox, r);
        if (take) {
            plate.selected = true;
            any = true;
        }
    }
    return any;
}

void moveSelectedParts(NestSystem& ns, const ViewTransform& view, PixelPoint p0, PixelPoint p1)
{
    const Point w0 = view.screenToWorld(p0);
    const Point w1 = view.screenToWorld(p1);
    for (Part& part : ns.nestParts) {
        if (part.selected) part.translatePart(w1.x - w0.x, w1.y - w0.y);
    }
}

void moveSelectedPlates(NestSystem& ns, const ViewTransform& view, PixelPoint p0, PixelPoint p1)
{
    const Point w0 = view.screenToWorld(p0);
    const Point w1 = view.screenToWorld(p1);
    const double dx = w1.x - w0.x;
    const double dy = w1.y - w0.y;
    for (Plate& plate : ns.plates) {
        if (!plate.selected) continue;
        translatePlate(plate, dx, dy);
        for (Part& part : ns.nestParts) {
            if (part.plateId == plate.id) part.translatePart(dx, dy);
        }
    }
}

void rotateSelectedParts(NestSystem& ns, const Point& centre, double angle)
{
    const Point c = centre;  // the centre may belong to a part that moves
    for (Part& part : ns.nestParts) {
        if (part.selected) part.rotatePart(c, angle);
    }
}

void turnOverFirstSelected(NestSystem& ns)
{
    for (Part& part : ns.nestParts) {
        if (part.selected) {
            const Point pivot = part.pose.basePt;  // mirrorPart moves basePt itself
            part.mirrorPart(pivot);
            return;
        }
    }
}

}  // namespace orvo
