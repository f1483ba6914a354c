#include "output/packing_info.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <vector>

#include "base/number_text.h"
#include "base/platform.h"
#include "geometry/offset.h"
#include "base/text_file.h"

namespace orvo {

namespace {

constexpr const char* kReadFailed = "排样文件读取错误!";
constexpr const char* kUnknownPart = "零件ID信息错误!";
constexpr const char* kBoxError = "包围盒数据错误!";

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
        if (ec != std::errc() || !std::isfinite(parsed)) return false;
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

bool readPlate(PatternReader& in, PlateEntry& plate)
{
    BoundingBox& b = plate.box;
    return in.expect("PlateID=") && in.readInt(plate.id) && in.expect("\n\tPlate Box:\n") &&
           in.expect("\tmin_X=") && in.readReal(b.min_X) && in.expect("\n\tmax_X=") &&
           in.readReal(b.max_X) && in.expect("\n\tmin_Y=") && in.readReal(b.min_Y) &&
           in.expect("\n\tmax_Y=") && in.readReal(b.max_Y) && in.expect("\n");
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

    PartList parts;
    for (const PartEntry& entry : partEntries) {
        const Part* shape = ns.findTrueShape(entry.partId);
        if (shape == nullptr) {
            ns.platform().showMessage(kUnknownPart, kCaptionWarning);
            return false;
        }
        parts.push_back(rebuildPart(ns, *shape, entry));
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
    return true;
}

}  // namespace orvo
