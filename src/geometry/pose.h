#pragma once

#include "geometry/point.h"

namespace orvo {

// Where a part lies: its base point, its turn about that point (radians, counter-clockwise)
// and whether it is turned over. The shape itself follows from the library shape and these
// three values; every transform of a part or an outline carries its pose along.
struct Pose {
    bool mirrored = false;
    Point basePt;
    double rotationAngle = 0.0;

    void translate(double dx, double dy)
    {
        basePt.x += dx;
        basePt.y += dy;
    }
    void rotate(const Point& centre, double angle)
    {
        rotatePoint(basePt, centre, angle);
        rotationAngle += angle;
    }
    // Turning over about a horizontal line reverses the sense of every later turn.
    void reflect(const Segment& mirror)
    {
        const Point p = reflectPoint(mirror, basePt);
        basePt.x = p.x;
        basePt.y = p.y;
        mirrored = !mirrored;
        rotationAngle = -rotationAngle;
    }
};

// The same pose, bit for bit.
inline bool samePose(const Pose& a, const Pose& b)
{
    return a.mirrored == b.mirrored && a.basePt.x == b.basePt.x && a.basePt.y == b.basePt.y &&
           a.rotationAngle == b.rotationAngle;
}

// Carries a shape from its own pose to `to`, in the one order every placement uses: turned
// over about its own base point when the flags differ, moved so that its base point lies on
// to.basePt, rotated about that point by the difference of the angles. The shape's own
// transforms are passed in (Part and PartOutline name them differently); `to` is a copy,
// so it may be the shape's own pose.
template <class Shape, class TurnOver, class Move, class Rotate>
void carryToPose(Shape& shape, const Pose to, TurnOver turnOver, Move move, Rotate rotate)
{
    const Point pivot = shape.pose.basePt;  // a copy: turning over moves the base point itself
    if (to.mirrored != shape.pose.mirrored) (shape.*turnOver)(pivot);
    (shape.*move)(to.basePt.x - shape.pose.basePt.x, to.basePt.y - shape.pose.basePt.y);
    (shape.*rotate)(to.basePt, to.rotationAngle - shape.pose.rotationAngle);
}

}  // namespace orvo
