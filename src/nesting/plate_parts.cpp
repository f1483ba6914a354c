#include "nesting/plate_parts.h"

namespace orvo {

PlateParts::PlateParts(const NestSystem& ns, const Plate& p, const Part* except) : plate_(p)
{
    for (const Part& q : ns.nestParts) {
        if (q.plateId == p.id && &q != except) add(q);
    }
}

void PlateParts::add(const Part& q)
{
    boxes_.push_back(q.outer.box);
    neighbours_.push_back(Neighbour{&q, {}, false});
}

bool PlateParts::fits(PreparedPart& part)
{
    return boxInsideRect(part.outerBox(), plate_.innerBox) && clearOfParts(part);
}

bool PlateParts::clearOfParts(PreparedPart& part)
{
    const BoundingBox box = part.outerBox();
    const size_t n = neighbours_.size();
    // The part that stopped the last test most often stops the next one (the candidates
    // lie close together); the answer, a conjunction of pure tests, is the same in any order.
    for (size_t step = 0; step < n; ++step) {
        const size_t i = lastCollision_ + step < n ? lastCollision_ + step : lastCollision_ + step - n;
        if (outerBoxesApart(boxes_[i], box)) continue;
        Neighbour& q = neighbours_[i];
        if (!q.ready) {
            q.prepared.prepare(*q.part);
            q.ready = true;
        }
        if (!partsDisjoint(q.prepared, part)) {
            lastCollision_ = i;
            return false;
        }
    }
    return true;
}

bool PlateParts::fits(const Part& part)
{
    scratch_.prepare(part);
    return fits(scratch_);
}

}  // namespace orvo
