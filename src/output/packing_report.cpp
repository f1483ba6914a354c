#include "output/packing_report.h"

#include <algorithm>
#include <vector>

#include "base/number_text.h"
#include "base/platform.h"
#include "geometry/overlap.h"
#include "base/text_encoding.h"
#include "base/text_file.h"

namespace orvo {

namespace {

constexpr size_t kNamesPerLine = 10;

// The true shapes of the parts on the plate, in nestParts order, carried to their poses.
// A part whose partId has no true shape cannot be measured and is left out.
std::vector<Part> rebuildPackedParts(const NestSystem& ns, const Plate& plate)
{
    std::vector<Part> packed;
    for (const Part& placed : ns.nestParts) {
        if (placed.plateId != plate.id) continue;
        const Part* shape = ns.findTrueShape(placed.partId);
        if (shape == nullptr) continue;
        Part c = *shape;
        applyPose(c, placed.pose);
        packed.push_back(std::move(c));
    }
    return packed;
}

void writeNameLines(const std::vector<Part>& packed, LineSink& out)
{
    std::string line;
    for (size_t i = 0; i < packed.size(); ++i) {
        if (i % kNamesPerLine != 0) line += ',';
        line += packed[i].label.text;
        if (i % kNamesPerLine == kNamesPerLine - 1 || i + 1 == packed.size()) {
            out.line(line);
            line.clear();
        }
    }
}

}  // namespace

bool markActivePlateConflicts(NestSystem& ns, const Plate& plate)
{
    bool clear = true;
    for (Part& part : ns.nestParts) {
        if (part.plateId != plate.id || ns.fitsOnPlateExcept(plate, part)) continue;
        part.selected = true;
        clear = false;
    }
    return clear;
}

bool markWaitingPartsOnPlate(NestSystem& ns, const Plate& plate)
{
    const BoundingBox& box = plate.outerBox;
    bool clear = true;
    for (Part& part : ns.nestParts) {
        if (part.plateId != -1 ||
            !partOverlapsRect(part, box.min_X, box.max_X, box.min_Y, box.max_Y)) {
            continue;
        }
        part.selected = true;
        clear = false;
    }
    return clear;
}

std::string packingReportText(const NestSystem& ns, const Plate& plate)
{
    std::vector<Part> packed = rebuildPackedParts(ns, plate);
    const BoundingBox& box = plate.outerBox;
    double area = 0.0;
    double xMax = box.min_X;
    for (Part& part : packed) {
        area += part.netArea;
        xMax = std::max(xMax, part.updateBox().max_X);
    }
    const double length = xMax - box.min_X;
    const double width = boxHeight(box);
    // No packed length (an empty plate) or no width leaves nothing to divide by: 0%.
    const double density = length > 0.0 && width > 0.0 ? area / length / width * 100.0 : 0.0;

    LineSink out;
    out.line("Packed length:" + formatG(length));
    out.line("Packing density=" + formatG(density) + "%");
    out.line("Area of all parts=" + formatG(area));
    out.line(utf8ToGbk("已排样零件数量=") + std::to_string(packed.size()));
    out.line(utf8ToGbk("已排样零件:"));
    writeNameLines(packed, out);
    return out.text();
}

bool writePackingReport(NestSystem& ns, const std::string& path)
{
    if (ns.activePlate == nullptr) {
        ns.platform().showMessage("没有当前母板, 无法生成排样报告!", kCaptionWarning);
        return false;
    }
    const Plate& plate = *ns.activePlate;
    ns.clearSelection();
    if (!markActivePlateConflicts(ns, plate)) {
        ns.platform().showMessage("活动母板内零件冲突!", kCaptionWarning);
    }
    if (!markWaitingPartsOnPlate(ns, plate)) {
        ns.platform().showMessage("待排零件与活动母板冲突!", kCaptionWarning);
    }
    std::string error;
    if (writeWholeFile(path, packingReportText(ns, plate), &error)) return true;
    ns.platform().showMessage(fileFailureText("排样报告文件输出失败!", path, error), kCaptionWarning);
    return false;
}

bool showPackingReport(NestSystem& ns)
{
    const std::string path = ns.outputPath(kReportFileName);
    if (!writePackingReport(ns, path)) return false;
    ns.platform().openInViewer(path);
    return true;
}

}  // namespace orvo
