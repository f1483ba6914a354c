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

// Toggles the selection of the first item that holds the point; whether one did.
template <typename Items, typename Holds>
bool toggleFirst(Items& items, Holds holds)
{
    for (auto& item : items) {
        if (holds(item)) {
            item.selected = !item.selected;
            return true;
        }
    }
    return false;
}

// Selects every item the rectangle takes; whether it took any.
template <typename Items, typename Takes>
bool selectWhere(Items& items, Takes takes)
{
    bool any = false;
    for (auto& item : items) {
        if (takes(item)) {
            item.selected = true;
            any = true;
        }
    }
    return any;
}

}  // namespace

bool pickPart(NestSystem& ns, const ViewTransform& view, PixelPoint p)
{
    const Point w = view.screenToWorld(p);
    return toggleFirst(ns.nestParts, [&](const Part& part) { return pointInPart(part, w); });
}

bool selectPartsInRect(NestSystem& ns, const ViewTransform& view, PixelPoint p1, PixelPoint p2)
{
    const BoundingBox r = worldRect(view, p1, p2);
    const bool crossing = p2.x < p1.x;
    return selectWhere(ns.nestParts, [&](const Part& part) {
        return crossing ? partOverlapsRect(part, r.min_X, r.max_X, r.min_Y, r.max_Y)
                        : boxInsideRect(part, r);
    });
}

bool pickPlate(NestSystem& ns, const ViewTransform& view, PixelPoint p)
{
    const Point w = view.screenToWorld(p);
    return toggleFirst(ns.plates, [&](const Plate& plate) { return contains(plate.outerBox, w); });
}

bool selectPlatesInRect(NestSystem& ns, const ViewTransform& view, PixelPoint p1, PixelPoint p2)
{
    const BoundingBox r = worldRect(view, p1, p2);
    const bool crossing = p2.x < p1.x;
    return selectWhere(ns.plates, [&](const Plate& plate) {
        return crossing ? meets(plate.outerBox, r) : containsStrictly(r, plate.outerBox);
    });
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
