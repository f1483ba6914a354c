#include "library/job.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>

#include "base/text_encoding.h"
#include "base/text_file.h"
#include "library/dxf_parts.h"

namespace orvo {

namespace {

using nlohmann::json;

constexpr const char* kJobFault = "作业文件错误! ";

JobResult refused(const std::string& text) { return {JobFault::Refused, kJobFault + text}; }

// The value as the user wrote it, for a message.
std::string shown(const json& value) { return value.dump(); }

bool endsWithNoCase(std::string_view text, std::string_view suffix)
{
    if (text.size() < suffix.size()) return false;
    const std::string_view tail = text.substr(text.size() - suffix.size());
    for (size_t i = 0; i < suffix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(tail[i])) != suffix[i]) return false;
    }
    return true;
}

// Keys that a JSON object may hold; the first other key is named.
std::string unknownKey(const json& object, const std::set<std::string>& known)
{
    for (const auto& item : object.items()) {
        if (known.count(item.key()) == 0) return item.key();
    }
    return {};
}

// A quantity: an integer in [1, kMaxQuantity]. Empty when it is one, else the fault.
std::string quantityFault(const json& value, int32_t& quantity)
{
    long long number = 0;  // an unsigned number beyond long long stays 0: out of range
    if (value.is_number_unsigned() && value.get<unsigned long long>() <= kMaxQuantity) {
        number = static_cast<long long>(value.get<unsigned long long>());
    } else if (value.is_number_integer() && !value.is_number_unsigned()) {
        number = value.get<long long>();
    }
    if (number < 1 || number > kMaxQuantity) {
        return "数量应为 1 到 " + std::to_string(kMaxQuantity) + " 之间的整数, 不是 " + shown(value);
    }
    quantity = static_cast<int32_t>(number);
    return {};
}

// A length in mm: a finite number, above 0 for a plate side, at least 0 for a gap.
std::string lengthFault(const json& value, const char* key, bool positive, double& length)
{
    if (value.is_number() && std::isfinite(value.get<double>())) {
        length = value.get<double>();
        if (positive ? length > 0.0 : length >= 0.0) return {};
    }
    return std::string("\"") + key + "\" 应为" + (positive ? "大于 0" : "不小于 0") +
           "的数 (mm), 不是 " + shown(value);
}

// A count such as RN: an integer of at least 1.
std::string countFault(const json& value, const char* key, std::optional<int32_t>& count)
{
    if (!value.is_number_integer() || value.get<long long>() < 1 || value.get<long long>() > INT32_MAX) {
        return std::string("\"") + key + "\" 应为正整数, 不是 " + shown(value);
    }
    count = static_cast<int32_t>(value.get<long long>());
    return {};
}

std::string switchFault(const json& value, const char* key, bool& on)
{
    if (!value.is_boolean()) return std::string("\"") + key + "\" 应为 true 或 false, 不是 " + shown(value);
    on = value.get<bool>();
    return {};
}

std::string plateFault(const json& plate, JobSettings& settings)
{
    if (!plate.is_object()) return "\"plate\" 应为 {\"length\": 长, \"width\": 宽}, 不是 " + shown(plate);
    const std::string unknown = unknownKey(plate, {"length", "width"});
    if (!unknown.empty()) return "\"plate\" 中未知的键 \"" + unknown + "\"";
    for (const char* key : {"length", "width"}) {
        if (!plate.contains(key)) return std::string("\"plate\" 缺少 \"") + key + "\"";
    }
    std::string fault = lengthFault(plate["length"], "length", true, settings.plateLength);
    if (fault.empty()) fault = lengthFault(plate["width"], "width", true, settings.plateWidth);
    return fault;
}

std::string settingsFault(const json& top, JobSettings& settings)
{
    if (!top.contains("plate")) return "缺少板材尺寸 \"plate\"";
    std::string fault = plateFault(top["plate"], settings);
    if (fault.empty() && top.contains("gap")) fault = lengthFault(top["gap"], "gap", false, settings.partGap);
    if (fault.empty() && top.contains("margin")) {
        fault = lengthFault(top["margin"], "margin", false, settings.plateMargin);
    }
    if (fault.empty() && top.contains("rn")) fault = countFault(top["rn"], "rn", settings.rotationNumber);
    if (fault.empty() && top.contains("ppd")) {
        double ppd = 0.0;
        fault = lengthFault(top["ppd"], "ppd", true, ppd);
        if (fault.empty()) settings.packingPointDistance = ppd;
    }
    if (fault.empty() && top.contains("turnOver")) fault = switchFault(top["turnOver"], "turnOver", settings.turnOver);
    return fault;
}

std::string recordQuantitiesFault(const json& records, JobEntry& entry)
{
    if (isDxfFileName(entry.path)) return "\"records\" 只用于 preSrc 零件库";
    if (!records.is_object() || records.empty()) {
        return "\"records\" 应为 {\"NameID\": 数量, ...}, 不是 " + shown(records);
    }
    for (const auto& item : records.items()) {
        int32_t quantity = 0;
        const std::string fault = quantityFault(item.value(), quantity);
        if (!fault.empty()) return "零件 \"" + item.key() + "\" 的" + fault;
        entry.recordQuantities[item.key()] = quantity;
    }
    return {};
}

std::string entrySettingsFault(const json& part, JobEntry& entry)
{
    std::string fault;
    if (part.contains("rotations")) fault = countFault(part["rotations"], "rotations", entry.rotations);
    if (fault.empty() && part.contains("turnOver")) {
        bool on = true;
        fault = switchFault(part["turnOver"], "turnOver", on);
        entry.turnOver = on;
    }
    return fault;
}

// One element of "parts": {"file": ..., "quantity": ..., "records": ..., ...} or a file name.
std::string entryFault(const json& part, const std::string& folder, JobEntry& entry)
{
    const json object = part.is_string() ? json{{"file", part}} : part;
    if (!object.is_object()) return "应为 {\"file\": 文件, \"quantity\": 数量}, 不是 " + shown(part);
    if (!object.contains("file") || !object["file"].is_string() ||
        object["file"].get<std::string>().empty()) {
        return "缺少零件文件 \"file\"";
    }
    const std::string file = object["file"].get<std::string>();
    entry.label += " (" + file + ")";
    const std::filesystem::path path(file);
    entry.path = path.is_absolute() || folder.empty() ? file : (std::filesystem::path(folder) / path).string();
    const std::string unknown = unknownKey(object, {"file", "quantity", "records", "rotations", "turnOver"});
    if (!unknown.empty()) return "未知的键 \"" + unknown + "\"";
    std::string fault;
    if (object.contains("quantity")) fault = quantityFault(object["quantity"], entry.quantity);
    if (fault.empty() && object.contains("records")) fault = recordQuantitiesFault(object["records"], entry);
    if (fault.empty()) fault = entrySettingsFault(object, entry);
    return fault;
}

// A name as the library format keeps it: one line, and never the text that ends a
// record ("_end_" anywhere in a line ends it).
std::string libraryName(std::string name)
{
    for (char& c : name) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    for (size_t at = name.find("_end_"); at != std::string::npos; at = name.find("_end_", at)) {
        name[at + 4] = '-';
    }
    return name;
}

// The name of each part of a file: a library's NameID, else the file's stem (numbered
// when the file holds several parts). A drawing's parts are always named after the file,
// which is the name its user knows them by.
std::vector<std::string> partNames(const std::vector<PartRecord>& records, const std::string& path)
{
    const std::string stem = std::filesystem::path(path).stem().string();
    const bool drawing = isDxfFileName(path);
    std::vector<std::string> names;
    for (size_t i = 0; i < records.size(); ++i) {
        if (!drawing && !records[i].nameId.empty()) {
            names.push_back(records[i].nameId);
        } else {
            names.push_back(records.size() == 1 ? stem : stem + "-" + std::to_string(i + 1));
        }
    }
    return names;
}

// The parts of one entry's file as records; false with the fault when it cannot be read.
JobResult readEntryRecords(const JobEntry& entry, ErrorReport& report, std::vector<PartRecord>& records)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(entry.path, error)) {
        return {JobFault::Unreadable, "零件文件不存在! " + entry.label + ": " + entry.path};
    }
    if (isDxfFileName(entry.path)) {
        DxfParts dxf = readDxfParts(entry.path, DxfPartOptions{}, report);
        if (!dxf.readable) return {JobFault::Unreadable, "零件文件读取失败! " + entry.label + ": " + dxf.fault};
        records = std::move(dxf.parts);
    } else {
        std::ifstream in(entry.path, std::ios::binary);
        if (!in) return {JobFault::Unreadable, "零件文件读取失败! " + entry.label + ": " + entry.path};
        records = readPartLibrary(in).records;
    }
    if (records.empty()) return {JobFault::Unreadable, "零件文件中没有零件! " + entry.label + ": " + entry.path};
    return {};
}

// Appends `quantity` copies of the record under the name, numbered when more than one.
void appendCopies(PartRecord record, const std::string& name, int32_t quantity,
                  std::vector<PartRecord>& out)
{
    for (int32_t copy = 1; copy <= quantity; ++copy) {
        record.nameId = libraryName(quantity > 1 ? name + "#" + std::to_string(copy) : name);
        out.push_back(record);
    }
}

}  // namespace

bool isDxfFileName(std::string_view path) { return endsWithNoCase(path, ".dxf"); }

bool isJobFileName(std::string_view path) { return endsWithNoCase(path, ".json"); }

JobResult parseJob(std::string_view text, const std::string& folder, Job& job)
{
    job = Job{};
    const json top = json::parse(text, nullptr, false);
    if (top.is_discarded()) return refused("不是有效的 JSON");
    if (!top.is_object()) return refused("应为 JSON 对象 {\"plate\": ..., \"parts\": [...]}");
    const std::string unknown =
        unknownKey(top, {"plate", "gap", "margin", "rn", "ppd", "turnOver", "parts"});
    if (!unknown.empty()) return refused("未知的键 \"" + unknown + "\"");
    const std::string fault = settingsFault(top, job.settings);
    if (!fault.empty()) return refused(fault);
    if (!top.contains("parts") || !top["parts"].is_array() || top["parts"].empty()) {
        return refused("\"parts\" 应为零件文件的列表, 至少一项");
    }
    const json& parts = top["parts"];
    for (size_t i = 0; i < parts.size(); ++i) {
        JobEntry entry;
        entry.label = "parts[" + std::to_string(i) + "]";
        const std::string entryError = entryFault(parts[i], folder, entry);
        if (!entryError.empty()) return refused(entry.label + ": " + entryError);
        job.entries.push_back(std::move(entry));
    }
    return {};
}

JobResult readJobFile(const std::string& path, Job& job)
{
    std::string text;
    if (!readWholeFile(path, text)) return {JobFault::Unreadable, "作业文件读取失败! " + path};
    JobResult result = parseJob(text, std::filesystem::path(path).parent_path().string(), job);
    if (result.fault != JobFault::None) result.message += " (" + path + ")";
    return result;
}

JobResult parsePartArgument(const std::string& argument, JobEntry& entry)
{
    entry = JobEntry{};
    entry.label = argument;
    entry.path = argument;
    const size_t colon = argument.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == argument.size()) return {};
    const std::string_view count = std::string_view(argument).substr(colon + 1);
    if (count.find_first_not_of("+-0123456789") != std::string_view::npos) return {};
    entry.path = argument.substr(0, colon);
    long long number = 0;
    const char* first = count.data() + (count.front() == '+' ? 1 : 0);
    const auto [end, error] = std::from_chars(first, count.data() + count.size(), number);
    if (error != std::errc() || end != count.data() + count.size() || number < 1 || number > kMaxQuantity) {
        return refused(argument + ": 数量应为 1 到 " + std::to_string(kMaxQuantity) +
                       " 之间的整数, 不是 " + std::string(count));
    }
    entry.quantity = static_cast<int32_t>(number);
    return {};
}

bool parsePlateSize(std::string_view text, double& length, double& width)
{
    const size_t cut = text.find_first_of("xX*");
    if (cut == std::string_view::npos) return false;
    auto number = [](std::string_view part, double& value) {
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        return error == std::errc() && end == part.data() + part.size() && !part.empty();
    };
    return number(text.substr(0, cut), length) && number(text.substr(cut + 1), width);
}

NestConfig jobConfig(const JobSettings& settings)
{
    NestConfig config;
    config.staPlate_0 = settings.plateLength;
    config.staPlate_1 = settings.plateWidth;
    config.partToPartGap = settings.partGap;
    config.partToMplateGap = settings.plateMargin;
    config.bPartTurnover = settings.turnOver;
    return config;
}

JobResult buildJobLibrary(const Job& job, ErrorReport& report, PartLibrary& library)
{
    library = PartLibrary{};
    library.opened = true;
    library.config = jobConfig(job.settings);
    // Every file is read and every quantity checked before a copy is made.
    std::vector<std::vector<PartRecord>> files(job.entries.size());
    std::vector<std::vector<int32_t>> quantities(job.entries.size());
    int64_t total = 0;
    for (size_t e = 0; e < job.entries.size(); ++e) {
        const JobEntry& entry = job.entries[e];
        const JobResult read = readEntryRecords(entry, report, files[e]);
        if (read.fault != JobFault::None) return read;
        std::set<std::string> named;
        for (const PartRecord& record : files[e]) {
            auto own = entry.recordQuantities.find(record.nameId);
            // A job file is UTF-8, a library's names are often GBK.
            if (own == entry.recordQuantities.end()) own = entry.recordQuantities.find(gbkToUtf8(record.nameId));
            if (own != entry.recordQuantities.end()) named.insert(own->first);
            quantities[e].push_back(own == entry.recordQuantities.end() ? entry.quantity : own->second);
            total += quantities[e].back();
        }
        for (const auto& [name, quantity] : entry.recordQuantities) {
            if (named.count(name) == 0) return refused(entry.label + ": 零件库中没有零件 \"" + name + "\"");
        }
        if (total > kMaxJobParts) {
            return refused(entry.label + ": 零件总数超过 " + std::to_string(kMaxJobParts));
        }
    }
    for (size_t e = 0; e < files.size(); ++e) {
        const std::vector<std::string> names = partNames(files[e], job.entries[e].path);
        for (size_t i = 0; i < files[e].size(); ++i) {
            appendCopies(std::move(files[e][i]), names[i], quantities[e][i], library.records);
        }
    }
    return {};
}

}  // namespace orvo
