#include <algorithm>

#include "base/number_text.h"
#include "base/platform.h"
#include "nesting/nest_system.h"

namespace orvo {

namespace {

// An impossible box is reported, and the plate is kept all the same: no part fits in it.
void checkBox(Platform& platform, const BoundingBox& box)
{
    if (inverted(box)) {
        platform.showMessage("包围盒数据错误!", kCaptionWarning);
    }
}

// Why one side of a plate cannot be used, or empty.
std::string sideFault(const char* side, double value)
{
    if (value >= NestSystem::kMinPlateSize && value <= NestSystem::kMaxPlateSize) return {};
    return std::string("板材尺寸错误! ") + side + " " + formatShortest(value) + " 须在 " +
           formatShortest(NestSystem::kMinPlateSize) + " 到 " + formatShortest(NestSystem::kMaxPlateSize) +
           " mm 之间";
}

}  // namespace

void translatePlate(Plate& plate, double dx, double dy)
{
    plate.outerBox = shifted(plate.outerBox, dx, dy);
    plate.innerBox = shifted(plate.innerBox, dx, dy);
}

std::string NestSystem::plateSizeFault(double length, double width)
{
    const std::string fault = sideFault("板材长度", length);
    return fault.empty() ? sideFault("板材宽度", width) : fault;
}

bool NestSystem::acceptPlateSize(double length, double width)
{
    const std::string fault = plateSizeFault(length, width);
    if (fault.empty()) return true;
    platform_->showMessage(fault, kCaptionWarning);
    return false;
}

Plate NestSystem::createPlate(int32_t id, double length, double width)
{
    Plate plate;
    plate.id = id;
    plate.label.setText("Plt");
    plate.outerBox = {0.0, length, 0.0, width};
    checkBox(*platform_, plate.outerBox);
    const double margin = std::max(plateGap - partGap * 0.5, 0.0);
    plate.innerBox = grown(plate.outerBox, -margin);
    checkBox(*platform_, plate.innerBox);
    return plate;
}

Plate& NestSystem::addPlate(double length, double width)
{
    const int32_t id = plates.empty() ? 0 : plates.back().id + 1;
    Plate plate = createPlate(id, length, width);
    if (plates.empty()) {
        translatePlate(plate, -length - plateSpacing, 0.0);
    } else {
        const BoundingBox& last = plates.back().outerBox;
        translatePlate(plate, last.min_X - 0.0, last.max_Y - 0.0 + plateSpacing);
    }
    plates.push_back(plate);
    activePlate = &plates.back();
    return plates.back();
}

bool NestSystem::resizeSelectedPlates(double length, double width)
{
    if (!acceptPlateSize(length, width)) return false;
    for (Plate& plate : plates) {
        if (!plate.selected) continue;
        const double margin = plate.innerBox.min_X - plate.outerBox.min_X;
        plate.outerBox.max_X = plate.outerBox.min_X + length;
        plate.outerBox.max_Y = plate.outerBox.min_Y + width;
        checkBox(*platform_, plate.outerBox);
        plate.innerBox = grown(plate.outerBox, -margin);
        checkBox(*platform_, plate.innerBox);
    }
    activateFirstSelectedPlate();
    return true;
}

void NestSystem::activateFirstSelectedPlate()
{
    if (Plate* plate = firstSelectedPlate()) activePlate = plate;
}

BoundingBox NestSystem::platesBox() const
{
    if (plates.empty()) return {};
    BoundingBox box = plates.front().outerBox;
    for (const Plate& plate : plates) {
        box.min_X = std::min(box.min_X, plate.outerBox.min_X);
        box.max_X = std::max(box.max_X, plate.outerBox.max_X);
        box.min_Y = std::min(box.min_Y, plate.outerBox.min_Y);
        box.max_Y = std::max(box.max_Y, plate.outerBox.max_Y);
    }
    return box;
}

Plate* NestSystem::findPlate(int32_t id)
{
    auto it = std::find_if(plates.begin(), plates.end(), [id](const Plate& p) { return p.id == id; });
    return it == plates.end() ? nullptr : &*it;
}

const Plate* NestSystem::findPlate(int32_t id) const
{
    auto it = std::find_if(plates.begin(), plates.end(), [id](const Plate& p) { return p.id == id; });
    return it == plates.end() ? nullptr : &*it;
}

Plate* NestSystem::firstSelectedPlate()
{
    auto it = std::find_if(plates.begin(), plates.end(), [](const Plate& p) { return p.selected; });
    return it == plates.end() ? nullptr : &*it;
}

void NestSystem::removePlate(const Plate* plate)
{
    auto it = std::find_if(plates.begin(), plates.end(), [plate](const Plate& p) { return &p == plate; });
    if (it == plates.end()) return;
    plates.erase(it);
    if (activePlate == plate) activePlate = plates.empty() ? nullptr : &plates.back();
}

void NestSystem::clearPlates()
{
    plates.clear();
    activePlate = nullptr;
}

}  // namespace orvo
