#include "output/packing_info.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/number_text.h"
#include "base/platform.h"
#include "base/text_file.h"
#include "geometry/offset.h"
#include "geometry/overlap.h"

namespace orvo {

namespace {

constexpr const char* kReadFailed = "排样文件读取错误!";
constexpr const char* kUnknownPart = "零件ID信息错误!";
constexpr const char* kBoxError = "包围盒数据错误!";
constexpr const char* kDataError = "排样文件数据错误!";
// The conflicts a warning lists by name; the rest are counted.
constexpr size_t kConflictsListed = 10;

// 8 decimals; a value that rounds to zero is written without a sign, so that a pose of
// -0 (a turned-over part that was never rotated) reads and writes back the same.
std::string real(double value)
{
    std::string text = formatFixed(value, 8);
    if (text == "-0.00000000") text.erase(0, 1);
    return text;
}

// Reads text the way a scanf pattern does: white space in a pattern matches any run of
// white space (none included), other characters must match exactly, and a number skips
// the white space in front of it.
class PatternReader {
public:
    explicit PatternReader(std::string_view text) : text_(text) {}

    bool expect(std::string_view pattern)
    {
        for (char c : pattern) {
            if (isSpace(c)) {
                skipSpace();
            } else if (pos_ < text_.size() && text_[pos_] == c) {
                ++pos_;
            } else {
                return false;
            }
        }
        return true;
    }

    bool readInt(int32_t& value)
    {
        skipSpace();
        size_t p = pos_;
        bool negative = false;
        if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) negative = text_[p++] == '-';
        int64_t magnitude = 0;
        const size_t firstDigit = p;
        while (p < text_.size() && text_[p] >= '0' && text_[p] <= '9') {
            magnitude = magnitude * 10 + (text_[p++] - '0');
            if (magnitude > int64_t{1} << 31) return false;
        }
        if (p == firstDigit) return false;
        const int64_t signedValue = negative ? -magnitude : magnitude;
        if (signedValue > std::numeric_limits<int32_t>::max()) return false;
        value = static_cast<int32_t>(signedValue);
        pos_ = p;
        return true;
    }

    bool readReal(double& value)
    {
        skipSpace();
        size_t p = pos_;
        if (p < text_.size() && text_[p] == '+') {
            ++p;
            if (p < text_.size() && text_[p] == '-') return false;
        }
        double parsed = 0.0;
        auto [end, ec] = std::from_chars(text_.data() + p, text_.data() + text_.size(), parsed);
        // Values that are not finite are read, so that the layout check names them.
        if (ec != std::errc()) return false;
        value = parsed;
        pos_ = static_cast<size_t>(end - text_.data());
        return true;
    }

    bool atEnd()
    {
        skipSpace();
        return pos_ == text_.size();
    }

private:
    static bool isSpace(char c)
    {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    }
    void skipSpace()
    {
        while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
    }

    std::string_view text_;
    size_t pos_ = 0;
};

struct PlateEntry {
    int32_t id = 0;
    BoundingBox box;
};

struct PartEntry {
    int32_t partId = 0;
    int32_t plateId = -1;
    int32_t mirrored = 0;
    double x = 0.0;
    double y = 0.0;
    double angle = 0.0;
};

// The value as the file writes it (8 decimals), so that a plate box is checked as it will
// read again after an export: a box taken once is taken again.
double asWritten(double value)
{
    if (!std::isfinite(value)) return value;
    const std::string text = formatFixed(value, 8);
    double written = value;
    std::from_chars(text.data(), text.data() + text.size(), written);
    return written;
}

bool readPlate(PatternReader& in, PlateEntry& plate)
{
    BoundingBox& b = plate.box;
    const bool read =
        in.expect("PlateID=") && in.readInt(plate.id) && in.expect("\n\tPlate Box:\n") &&
        in.expect("\tmin_X=") && in.readReal(b.min_X) && in.expect("\n\tmax_X=") &&
        in.readReal(b.max_X) && in.expect("\n\tmin_Y=") && in.readReal(b.min_Y) &&
        in.expect("\n\tmax_Y=") && in.readReal(b.max_Y) && in.expect("\n");
    b = {asWritten(b.min_X), asWritten(b.max_X), asWritten(b.min_Y), asWritten(b.max_Y)};
    return read;
}

bool readPart(PatternReader& in, PartEntry& part)
{
    return in.expect("PartID=") && in.readInt(part.partId) &&
           in.expect("\n\tLocated PlateID=") && in.readInt(part.plateId) &&
           in.expect("\n\tMirrored=") && in.readInt(part.mirrored) &&
           in.expect("\n\tBasePt.x=") && in.readReal(part.x) && in.expect("\n\tBasePt.y=") &&
           in.readReal(part.y) && in.expect("\n\tRotation Angle=") && in.readReal(part.angle) &&
           in.expect("\n");
}

// The whole file or nothing. Blocks are read one by one, so a count never allocates more
// than the file holds; a count that does not match the blocks fails on the next key.
bool parsePackingInfo(std::string_view text, std::vector<PlateEntry>& plates,
                      std::vector<PartEntry>& parts)
{
    PatternReader in(text);
    int32_t plateCount = 0;
    if (!in.expect("Plate Number=") || !in.readInt(plateCount) || !in.expect("\n")) return false;
    if (plateCount < 0) return false;
    for (int32_t i = 0; i < plateCount; ++i) {
        if (!readPlate(in, plates.emplace_back())) return false;
    }
    int32_t partCount = 0;
    if (!in.expect("Part Number=") || !in.readInt(partCount) || !in.expect("\n")) return false;
    if (partCount < 0) return false;
    for (int32_t i = 0; i < partCount; ++i) {
        if (!readPart(in, parts.emplace_back())) return false;
    }
    return in.atEnd();
}

std::string plateName(size_t index, const PlateEntry& entry)
{
    return "第 " + std::to_string(index + 1) + " 个板材块 (PlateID=" + std::to_string(entry.id) + ")";
}

std::string partName(size_t index, const PartEntry& entry)
{
    return "第 " + std::to_string(index + 1) + " 个零件块 (PartID=" + std::to_string(entry.partId) + ")";
}

// Why a coordinate or angle read from the file cannot be used, or empty. A pose carried
// to the part and written again may differ from the one read by a rounding (1e-7 at
// 1e9): the slack keeps a layout written from a taken one acceptable.
std::string valueFault(const char* key, double value, double bound)
{
    if (!std::isfinite(value)) return std::string(key) + "=" + formatShortest(value) + " 不是有限数值";
    if (std::fabs(value) <= bound * (1.0 + 1e-12)) return {};
    return std::string(key) + "=" + formatShortest(value) + " 超出范围 ±" + formatShortest(bound);
}

std::string plateFault(const PlateEntry& entry)
{
    const BoundingBox& b = entry.box;
    if (entry.id < 0) return "PlateID 不能为负";
    const std::pair<const char*, double> values[] = {
        {"min_X", b.min_X}, {"max_X", b.max_X}, {"min_Y", b.min_Y}, {"max_Y", b.max_Y}};
    for (const auto& [key, value] : values) {
        std::string fault = valueFault(key, value, NestSystem::kMaxCoordinate);
        if (!fault.empty()) return fault;
    }
    if (b.min_X > b.max_X) return "包围盒颠倒: min_X " + formatShortest(b.min_X) + " 大于 max_X " + formatShortest(b.max_X);
    if (b.min_Y > b.max_Y) return "包围盒颠倒: min_Y " + formatShortest(b.min_Y) + " 大于 max_Y " + formatShortest(b.max_Y);
    // Any size up to the bound (a plate the program made is at least kMinPlateSize, but
    // may have lost up to 1e-8 of it to the 8 decimals of the file).
    for (const auto& [side, size] : {std::pair{"板材长度", b.max_X - b.min_X}, std::pair{"板材宽度", b.max_Y - b.min_Y}}) {
        if (!(size > 0.0 && size <= NestSystem::kMaxPlateSize + kBoxTolerance)) {
            return std::string(side) + " " + formatShortest(size) + " 须大于 0 且不大于 " +
                   formatShortest(NestSystem::kMaxPlateSize) + " mm";
        }
    }
    return {};
}

std::string poseFault(const PartEntry& entry)
{
    std::string fault = valueFault("BasePt.x", entry.x, NestSystem::kMaxCoordinate);
    if (fault.empty()) fault = valueFault("BasePt.y", entry.y, NestSystem::kMaxCoordinate);
    if (fault.empty()) fault = valueFault("Rotation Angle", entry.angle, NestSystem::kMaxRotationAngle);
    return fault;
}

// Checks the layout against the open library: every plate usable and of its own id,
// every part of the library exactly once, on no plate or on one of the file, at a pose
// within the bounds. The message naming the first offending entry, or empty.
std::string layoutFault(const NestSystem& ns, const std::vector<PlateEntry>& plates,
                        const std::vector<PartEntry>& parts)
{
    std::unordered_set<int32_t> plateIds;
    for (size_t i = 0; i < plates.size(); ++i) {
        std::string fault = plateFault(plates[i]);
        if (fault.empty() && !plateIds.insert(plates[i].id).second) fault = "PlateID 重复出现";
        if (!fault.empty()) return std::string(kDataError) + " " + plateName(i, plates[i]) + ": " + fault;
    }
    std::unordered_map<int32_t, size_t> seen;  // partId -> its block
    for (const Part& shape : ns.trueShapes) seen.emplace(shape.partId, SIZE_MAX);
    for (size_t i = 0; i < parts.size(); ++i) {
        const PartEntry& entry = parts[i];
        const std::string name = partName(i, entry);
        auto it = seen.find(entry.partId);
        if (it == seen.end()) return std::string(kUnknownPart) + " " + name + ": 零件库中没有此零件";
        if (it->second != SIZE_MAX) {
            return std::string(kUnknownPart) + " " + name + ": 与第 " +
                   std::to_string(it->second + 1) + " 个零件块重复";
        }
        it->second = i;
        if (entry.plateId != -1 && plateIds.count(entry.plateId) == 0) {
            return std::string(kDataError) + " " + name + ": Located PlateID=" +
                   std::to_string(entry.plateId) + " 没有对应的板材";
        }
        const std::string fault = poseFault(entry);
        if (!fault.empty()) return std::string(kDataError) + " " + name + ": " + fault;
    }
    for (const Part& shape : ns.trueShapes) {
        if (seen[shape.partId] == SIZE_MAX) {
            return std::string(kUnknownPart) + " 零件库中的零件 PartID=" +
                   std::to_string(shape.partId) + " (" + shape.label.text + ") 在排样文件中没有零件块";
        }
    }
    return {};
}

// The warning that lists the conflicts of an imported layout, the first ones by name.
std::string conflictWarning(const LayoutConflicts& conflicts)
{
    std::vector<std::string> items;
    for (const auto& [a, b] : conflicts.overlapping) {
        items.push_back("PartID=" + std::to_string(a) + " 与 PartID=" + std::to_string(b) + " 重叠");
    }
    for (const auto& [part, plate] : conflicts.offPlate) {
        items.push_back("PartID=" + std::to_string(part) + " 超出板材 " + std::to_string(plate));
    }
    std::string text = "排样文件已读入, 但有 " + std::to_string(items.size()) + " 处零件重叠或超出板材: ";
    for (size_t i = 0; i < items.size() && i < kConflictsListed; ++i) {
        text += (i == 0 ? "" : "; ") + items[i];
    }
    if (items.size() > kConflictsListed) text += " 等";
    return text;
}

// The file keeps 8 decimals, so parts that the layout set in contact may cross by a
// rounding after an import. Such a pair comes apart when one part is moved by the
// contact tolerance in one of eight directions; parts that really overlap do not.
// (Shrinking the parts instead would not do: the offset of a sharp corner by so little
// joins the corner to one edge only and moves it outward.)
bool contactOnly(const Part& p, const Part& q)
{
    constexpr double kDiagonal = kBoxTolerance * 0.70710678118654752;
    const std::pair<double, double> moves[] = {
        {kBoxTolerance, 0.0}, {-kBoxTolerance, 0.0}, {0.0, kBoxTolerance}, {0.0, -kBoxTolerance},
        {kDiagonal, kDiagonal}, {-kDiagonal, kDiagonal}, {kDiagonal, -kDiagonal}, {-kDiagonal, -kDiagonal}};
    for (const auto& [dx, dy] : moves) {
        Part moved = q;
        moved.translatePart(dx, dy);
        if (partsDisjoint(p, moved)) return true;
    }
    return false;
}

// The part of trueShapes grown as the nesting grows it and carried to the pose.
Part rebuildPart(const NestSystem& ns, const Part& shape, const PartEntry& entry)
{
    Part part = shape;
    offsetPart(part, ns.partGap / 2.0);
    part.plateId = entry.plateId;
    Pose pose;
    pose.mirrored = entry.mirrored != 0;
    pose.basePt = Point(entry.x, entry.y);
    pose.rotationAngle = entry.angle;
    applyPose(part, pose);
    return part;
}

Plate importedPlate(const PlateEntry& entry, double margin)
{
    Plate plate;
    plate.id = entry.id;
    plate.label.text = "Plt";
    plate.outerBox = entry.box;
    plate.innerBox = grown(entry.box, -margin);
    return plate;
}

}  // namespace

std::string packingInfoText(const NestSystem& ns)
{
    LineSink out;
    out.line("Plate Number=" + std::to_string(ns.plates.size()));
    for (const Plate& plate : ns.plates) {
        out.line("PlateID=" + std::to_string(plate.id));
        out.line("\tPlate Box:");
        out.line("\tmin_X=" + real(plate.outerBox.min_X));
        out.line("\tmax_X=" + real(plate.outerBox.max_X));
        out.line("\tmin_Y=" + real(plate.outerBox.min_Y));
        out.line("\tmax_Y=" + real(plate.outerBox.max_Y));
    }
    out.line("Part Number=" + std::to_string(ns.nestParts.size()));
    for (const Part& part : ns.nestParts) {
        out.line("PartID=" + std::to_string(part.partId));
        out.line("\tLocated PlateID=" + std::to_string(part.plateId));
        out.line(std::string("\tMirrored=") + (part.pose.mirrored ? "1" : "0"));
        out.line("\tBasePt.x=" + real(part.pose.basePt.x));
        out.line("\tBasePt.y=" + real(part.pose.basePt.y));
        out.line("\tRotation Angle=" + real(part.pose.rotationAngle));
    }
    return out.text();
}

bool exportPackingInfo(NestSystem& ns, const std::string& path)
{
    std::string error;
    if (writeWholeFile(path, packingInfoText(ns), &error)) return true;
    ns.platform().showMessage(fileFailureText("文件保存失败!", path, error), kCaptionWarning);
    ns.platform().showMessage("有可能是当前存储介质无法写入,建议更换保存路径.", kCaptionWarning);
    return false;
}

bool importPackingInfo(NestSystem& ns, const std::string& path)
{
    std::string text;
    std::vector<PlateEntry> plateEntries;
    std::vector<PartEntry> partEntries;
    if (!readWholeFile(path, text) || !parsePackingInfo(text, plateEntries, partEntries)) {
        ns.platform().showMessage(kReadFailed, kCaptionWarning);
        return false;
    }

    const std::string fault = layoutFault(ns, plateEntries, partEntries);
    if (!fault.empty()) {
        ns.platform().showMessage(fault, kCaptionWarning);
        return false;
    }

    std::unordered_map<int32_t, const Part*> shapes;
    for (const Part& shape : ns.trueShapes) shapes.emplace(shape.partId, &shape);
    PartList parts;
    for (const PartEntry& entry : partEntries) {
        parts.push_back(rebuildPart(ns, *shapes.at(entry.partId), entry));
    }
    const double margin = std::max(ns.plateGap - ns.partGap * 0.5, 0.0);
    PlateList plates;
    for (const PlateEntry& entry : plateEntries) plates.push_back(importedPlate(entry, margin));

    ns.plates.swap(plates);
    ns.nestParts.swap(parts);
    ns.activePlate = ns.plates.empty() ? nullptr : &ns.plates.front();
    // The grid belonged to a plate of the replaced layout.
    ns.releasePackingPoints();
    for (const Plate& plate : ns.plates) {
        if (inverted(plate.innerBox)) ns.platform().showMessage(kBoxError, kCaptionWarning);
    }
    // A layout edited by hand is taken as it is; the user learns what is not cuttable.
    const LayoutConflicts conflicts = findLayoutConflicts(ns);
    if (!conflicts.empty()) ns.platform().showMessage(conflictWarning(conflicts), kCaptionWarning);
    return true;
}

LayoutConflicts findLayoutConflicts(const NestSystem& ns)
{
    LayoutConflicts conflicts;
    // The parts of each plate with their position in nestParts.
    std::unordered_map<int32_t, std::vector<std::pair<size_t, const Part*>>> onPlate;
    size_t position = 0;
    for (const Part& part : ns.nestParts) {
        const size_t index = position++;
        if (part.plateId == -1) continue;
        const Plate* plate = ns.findPlate(part.plateId);
        if (plate == nullptr || !boxInsideRect(part, plate->innerBox)) {
            conflicts.offPlate.emplace_back(part.partId, part.plateId);
        }
        onPlate[part.plateId].emplace_back(index, &part);
    }
    std::vector<std::pair<size_t, size_t>> pairs;  // positions, the earlier first
    for (auto& [plateId, parts] : onPlate) {
        // A sweep along x: only parts whose boxes meet in x are tested further.
        std::sort(parts.begin(), parts.end(), [](const auto& a, const auto& b) {
            return a.second->box.min_X < b.second->box.min_X ||
                   (a.second->box.min_X == b.second->box.min_X && a.first < b.first);
        });
        for (size_t i = 0; i < parts.size(); ++i) {
            const auto [pIndex, p] = parts[i];
            for (size_t j = i + 1; j < parts.size(); ++j) {
                const auto [qIndex, q] = parts[j];
                if (q->box.min_X > p->box.max_X + kBoxTolerance) break;
                if (outerBoxesApart(p->box, q->box) || partsDisjoint(*p, *q)) continue;
                if (contactOnly(*p, *q)) continue;
                pairs.emplace_back(std::min(pIndex, qIndex), std::max(pIndex, qIndex));
            }
        }
    }
    std::sort(pairs.begin(), pairs.end());
    std::vector<int32_t> ids;
    for (const Part& part : ns.nestParts) ids.push_back(part.partId);
    for (const auto& [a, b] : pairs) conflicts.overlapping.emplace_back(ids[a], ids[b]);
    return conflicts;
}

}  // namespace orvo
