#include "app/scene.h"

#include <unordered_map>

namespace orvo {

Part placedTrueShape(const Part& trueShape, const Part& nestPart)
{
    Part copy = trueShape;
    applyPose(copy, nestPart.pose);
    copy.selected = nestPart.selected;
    copy.plateId = nestPart.plateId;
    return copy;
}

void forEachPlacedShape(const NestSystem& ns,
                        const std::function<void(const Part& shape, const Part& nestPart)>& draw)
{
    // Walking nestParts (not trueShapes) draws every nesting part once even when a
    // library repeats a part id.
    std::unordered_map<int32_t, const Part*> shapes;
    for (const Part& shape : ns.trueShapes) shapes.emplace(shape.partId, &shape);
    for (const Part& part : ns.nestParts) {
        const auto it = shapes.find(part.partId);
        if (it == shapes.end()) {
            draw(part, part);
        } else {
            draw(placedTrueShape(*it->second, part), part);
        }
    }
}

}  // namespace orvo
