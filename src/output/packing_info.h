#pragma once

#include <string>
#include <utility>
#include <vector>

#include "nesting/nest_system.h"

namespace orvo {

// The packing-information file: the plates with their boxes and the pose of every part
// of nestParts, 8 decimals, "." always, CR LF line ends.
std::string packingInfoText(const NestSystem& ns);
// Writes the file; on failure shows "文件保存失败!" and then the advice to choose
// another path, and returns false.
bool exportPackingInfo(NestSystem& ns, const std::string& path);

// Reads and checks the whole file before anything changes. Keys and numbers must follow
// the format (white space and line ends are free, as a scanf pattern would take them);
// a file that does not shows "排样文件读取错误!". The layout must then match the open
// library: every part of trueShapes exactly once (else "零件ID信息错误!" and the first
// offending block), plates of distinct ids and usable boxes, parts on no plate or on one
// of the file, coordinates within kMaxCoordinate and angles within kMaxRotationAngle
// (else "排样文件数据错误!" and the first offending block). A refused file leaves the
// layout exactly as it was. A file that is taken replaces plates and nestParts; the
// first plate becomes active; parts that overlap or lie off their plate are taken as
// they are, with a warning that lists them (findLayoutConflicts).
bool importPackingInfo(NestSystem& ns, const std::string& path);

// Parts that collide with another part of their plate, or lie outside their plate's
// inner box: the checks of the layout methods on the whole layout, with the contact
// tolerance (1e-4 mm) that the 8 decimals of a saved layout need.
struct LayoutConflicts {
    // partIds of two parts of one plate that are not disjoint, in nestParts order.
    std::vector<std::pair<int32_t, int32_t>> overlapping;
    // partId and plateId of a part outside its plate's inner box (or on no such plate).
    std::vector<std::pair<int32_t, int32_t>> offPlate;
    bool empty() const { return overlapping.empty() && offPlate.empty(); }
};
LayoutConflicts findLayoutConflicts(const NestSystem& ns);

}  // namespace orvo
