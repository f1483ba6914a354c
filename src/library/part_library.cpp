#include "library/part_library.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <variant>

#include "base/platform.h"
#include "library/line_reader.h"

namespace orvo {

namespace {

using ConfigMember = std::variant<int32_t NestConfig::*, bool NestConfig::*, double NestConfig::*>;

struct ConfigKey {
    std::string_view text;  // the name padded with blanks to 16 characters
    ConfigMember member;
};

// Tried in this order; the first key found in a line with an "=" takes the line.
const std::array<ConfigKey, 23> kConfigKeys = {{
    {"nestType        ", &NestConfig::nestType},
    {"bMirror         ", &NestConfig::bMirror},
    {"partToPartGap   ", &NestConfig::partToPartGap},
    {"partToMplateGap ", &NestConfig::partToMplateGap},
    {"bPartTurnover   ", &NestConfig::bPartTurnover},
    {"bHolePart       ", &NestConfig::bHolePart},
    {"maxNestPartNum  ", &NestConfig::maxNestPartNum},
    {"minPartGap      ", &NestConfig::minPartGap},
    {"maxPartGap      ", &NestConfig::maxPartGap},
    {"minMplateGap    ", &NestConfig::minMplateGap},
    {"maxMplateGap    ", &NestConfig::maxMplateGap},
    {"precision_length", &NestConfig::precision_length},
    {"precision_ang   ", &NestConfig::precision_ang},
    {"mplateType      ", &NestConfig::mplateType},
    {"feetLength_0    ", &NestConfig::feetLength_0},
    {"feetLength_1    ", &NestConfig::feetLength_1},
    {"staPlate_0      ", &NestConfig::staPlate_0},
    {"staPlate_1      ", &NestConfig::staPlate_1},
    {"minPlate_0      ", &NestConfig::minPlate_0},
    {"minPlate_1      ", &NestConfig::minPlate_1},
    {"maxPlate_0      ", &NestConfig::maxPlate_0},
    {"maxPlate_1      ", &NestConfig::maxPlate_1},
    {"bAutoResize     ", &NestConfig::bAutoResize},
}};

void setConfigValue(NestConfig& config, const ConfigMember& member, std::string_view value)
{
    if (const auto* integer = std::get_if<int32_t NestConfig::*>(&member)) {
        config.**integer = lenientInt(value);
    } else if (const auto* flag = std::get_if<bool NestConfig::*>(&member)) {
        config.**flag = lenientInt(value) != 0;
    } else {
        config.*std::get<double NestConfig::*>(member) = lenientReal(value);
    }
}

// The text after the first "=" of the line (the caller knows there is one).
std::string_view afterEquals(std::string_view line) { return line.substr(line.find('=') + 1); }

// The text after the first comma at or after from, or no value when there is none.
bool nextField(std::string_view line, size_t& from)
{
    const size_t comma = from < line.size() ? line.find(',', from) : std::string_view::npos;
    if (comma == std::string_view::npos) return false;
    from = comma + 1;
    return true;
}

// index,code,text,aux1,aux2,value,x,y, read from one character after where the index
// text occurs; a field whose comma is missing keeps 0 (and so does every later one).
PointRecord parsePointFields(std::string_view line, size_t indexAt)
{
    PointRecord point;
    size_t at = indexAt + 1;
    if (!nextField(line, at)) return point;
    point.code = lenientInt(line.substr(at));
    if (!nextField(line, at)) return point;
    const size_t textEnd = line.find(',', at);
    std::string_view text = line.substr(at, textEnd == std::string_view::npos ? line.npos : textEnd - at);
    point.text = std::string(text.substr(0, PointRecord::kMaxText));
    double* reals[] = {&point.aux1, &point.aux2, &point.value, &point.x, &point.y};
    for (double* real : reals) {
        if (!nextField(line, at)) return point;
        *real = lenientReal(line.substr(at));
    }
    return point;
}

// Reads the point lines after a pointNum line; false when the record is rejected.
// The loop ends at the end of the stream, so a huge count reserves and waits for nothing.
bool readPointLines(LineReader& lines, int32_t count, PartRecord& record)
{
    std::string line;
    for (int32_t i = 0; i < count; ++i) {
        if (!lines.next(line)) break;
        if (lineHas(line, "_end_")) break;
        const size_t indexAt = line.find(std::to_string(i));
        if (indexAt == std::string::npos) continue;
        record.points.push_back(parsePointFields(line, indexAt));
    }
    return count >= 0 && record.points.size() == static_cast<size_t>(count);
}

void readPartInfo(std::string_view rest, PartRecord& record)
{
    record.infoInt = lenientInt(rest);
    size_t at = 0;
    if (!nextField(rest, at)) return;
    record.infoFlag = lenientInt(rest.substr(at)) != 0;
    if (!nextField(rest, at)) return;
    record.infoReal = lenientReal(rest.substr(at));
}

}  // namespace

NestConfig readConfigSection(LineReader& lines)
{
    NestConfig config;
    std::string line;
    while (lines.next(line)) {
        const bool hasEquals = lineHas(line, "=");
        const ConfigKey* matched = nullptr;
        for (const ConfigKey& key : kConfigKeys) {
            if (hasEquals && lineHas(line, key.text)) {
                matched = &key;
                break;
            }
        }
        if (matched != nullptr) {
            setConfigValue(config, matched->member, afterEquals(line));
        } else if (lineHas(line, "_end_")) {
            break;
        }
    }
    return config;
}

bool readPartRecord(LineReader& lines, PartRecord& record)
{
    record = PartRecord{};
    std::string line;
    while (lines.next(line)) {
        if (lineHas(line, "_end_")) break;
        const bool hasEquals = lineHas(line, "=");
        if (!hasEquals) continue;
        if (lineHas(line, "NameID")) {
            record.nameId = std::string(afterEquals(line));
        } else if (lineHas(line, "partName")) {
            record.partName = std::string(afterEquals(line));
        } else if (lineHas(line, "partinf")) {
            readPartInfo(afterEquals(line), record);
        } else if (lineHas(line, "pointNum")) {
            if (!readPointLines(lines, lenientInt(afterEquals(line)), record)) return false;
        }
    }
    return record.points.size() >= 3;
}

PartLibrary readPartLibrary(std::istream& in)
{
    PartLibrary library;
    library.opened = true;
    LineReader lines(in);
    std::string line;
    PartRecord record;
    while (lines.next(line)) {
        if (lineHas(line, "CONFIGINFO")) library.config = readConfigSection(lines);
        if (lineHas(line, "PARTINFO") && !lines.atEnd() && readPartRecord(lines, record)) {
            library.records.push_back(record);
        }
    }
    return library;
}

PartLibrary readPartLibrary(const std::string& path, Platform& platform)
{
    std::error_code error;
    std::ifstream in;
    if (!std::filesystem::is_directory(path, error)) in.open(path, std::ios::binary);
    if (!in.is_open()) {
        platform.showMessage("零件数据文件读取失败!", kCaptionWarning);
        return PartLibrary{};
    }
    return readPartLibrary(in);
}

}  // namespace orvo
