#include "nesting/push.h"

#include <algorithm>
#include <cmath>

#include "geometry/overlap.h"
#include "nesting/plate_parts.h"

namespace orvo {

namespace {

Point stepVector(Direction direction, double s)
{
    switch (direction) {
    case Direction::Left: return {-s, 0.0};
    case Direction::Right: return {s, 0.0};
    case Direction::Down: return {0.0, -s};
    case Direction::Up: return {0.0, s};
    }
    return {0.0, 0.0};
}

// False when adding the step leaves every box coordinate as it is (coordinates so large
// that the step vanishes in rounding): such a pass could never reach its bound.
bool stepMovesBox(const BoundingBox& b, const Point& v)
{
    return b.min_X + v.x != b.min_X || b.max_X + v.x != b.max_X || b.min_Y + v.y != b.min_Y
        || b.max_Y + v.y != b.max_Y;
}

// The part's box lies wholly beyond q's box in the direction of travel: no further step
// can bring the two into contact.
bool passedNeighbour(const BoundingBox& a, const BoundingBox& q, Direction direction)
{
    switch (direction) {
    case Direction::Left: return a.max_X < q.min_X;
    case Direction::Right: return a.min_X > q.max_X;
    case Direction::Down: return a.max_Y < q.min_Y;
    case Direction::Up: return a.min_Y > q.max_Y;
    }
    return true;
}

// The ranges across the direction of travel overlap by more than the 1e-4 box contact
// that the collision test treats as disjoint; otherwise the part can never meet q.
bool acrossPath(const BoundingBox& a, const BoundingBox& q, Direction direction)
{
    constexpr double kContact = 1e-4;
    const bool horizontal = direction == Direction::Left || direction == Direction::Right;
    const double aMin = horizontal ? a.min_Y : a.min_X;
    const double aMax = horizontal ? a.max_Y : a.max_X;
    const double qMin = horizontal ? q.min_Y : q.min_X;
    const double qMax = horizontal ? q.max_Y : q.max_X;
    if (aMin > qMax || std::fabs(aMin - qMax) < kContact) return false;
    if (qMin > aMax || std::fabs(aMax - qMin) < kContact) return false;
    return true;
}

}  // namespace

void pushUntilContact(Part& part, Direction direction, double ppd,
                      const std::function<bool(const Part&)>& test)
{
    const BoundingBox& b = part.box;
    const double shorterSide = std::min(boxWidth(b), boxHeight(b));
    double s = std::min(ppd, 0.25 * shorterSide);
    if (!(s >= kPushMinStep)) s = kPushMinStep;  // also catches NaN and PPD <= 0
    Point v = stepVector(direction, s);
    for (;;) {
        if (!stepMovesBox(part.box, v)) return;
        do {
            part.translatePart(v.x, v.y);
        } while (test(part));
        part.translatePart(-v.x, -v.y);
        if (std::fabs(v.x) < kPushMinStep && std::fabs(v.y) < kPushMinStep) return;
        v.x *= 0.5;
        v.y *= 0.5;
    }
}

void pushOnPlate(NestSystem& ns, Part& part, const Plate& p, Direction direction)
{
    // Only the part moves during the push, and only by translation.
    PlateParts others(ns, p, &part);
    pushOnPlate(ns, part, direction, others);
}

void pushOnPlate(NestSystem& ns, Part& part, Direction direction, PlateParts& others)
{
    PreparedPart moving;
    moving.prepare(part);
    pushUntilContact(part, direction, ns.packingPointDistance, [&others, &moving](const Part&) {
        moving.refresh();  // the part has just been translated
        return others.fits(moving);
    });
}

void pushAgainst(NestSystem& ns, Part& part, const Part& q, Direction direction)
{
    if (!acrossPath(part.outer.box, q.outer.box, direction)) return;
    if (passedNeighbour(part.outer.box, q.outer.box, direction)) return;
    const Part start = part;
    bool passed = false;
    PreparedPart moving;
    moving.prepare(part);
    PreparedPart neighbour;
    neighbour.prepare(q);
    pushUntilContact(part, direction, ns.packingPointDistance, [&](const Part& moved) {
        if (passedNeighbour(moved.outer.box, q.outer.box, direction)) {
            passed = true;
            return false;
        }
        moving.refresh();  // the part has just been translated
        return partsDisjoint(moving, neighbour);
    });
    if (passed) part = start;
}

void pushSelected(NestSystem& ns, Direction direction)
{
    for (Part& part : ns.nestParts) {
        if (!part.selected || part.plateId == -1) continue;
        const Plate* plate = ns.findPlate(part.plateId);
        if (plate != nullptr) pushOnPlate(ns, part, *plate, direction);
    }
}

}  // namespace orvo
