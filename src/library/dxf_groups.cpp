#include "library/dxf_groups.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <vector>

namespace orvo {

namespace {

// The library reads a line into 1024 characters; longer values are cut well below.
constexpr size_t kMaxValue = 1000;

struct Group {
    int code = 0;
    std::string value;
};

std::string_view stripped(std::string_view line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
        line.remove_suffix(1);
    }
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    return line;
}

// A group code: an optional minus and at most four digits, within the codes DXF defines.
bool parseCode(std::string_view text, int& code)
{
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 4) return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    code = negative ? -value : value;
    return code >= -5 && code <= 1071;
}

// The library's own reading of an integer value (strtol, base 10), held to [0, limit].
long boundedCount(const std::string& value, long limit)
{
    const long n = std::strtol(value.c_str(), nullptr, 10);
    return std::clamp(n, 0L, limit);
}

// For each position i of an entity [begin, end): how many pairs with `code` follow it
// up to the entity's end.
std::vector<long> countsAhead(const std::vector<Group>& groups, size_t begin, size_t end, int code)
{
    std::vector<long> ahead(end - begin, 0);
    long n = 0;
    for (size_t k = end; k-- > begin;) {
        ahead[k - begin] = n;
        n += groups[k].code == code ? 1 : 0;
    }
    return ahead;
}

void boundLwPolyline(std::vector<Group>& groups, size_t begin, size_t end, std::vector<Group>& out)
{
    const std::vector<long> vertices = countsAhead(groups, begin, end, 10);
    bool counted = false;   // a vertex count has been given in this entity
    bool hasVertex = false; // a vertex has been given since that count
    long capacity = 0;
    for (size_t i = begin; i < end; ++i) {
        Group& g = groups[i];
        if (g.code == 90) {
            capacity = boundedCount(g.value, vertices[i - begin]);
            g.value = std::to_string(capacity);
            counted = true;
            hasVertex = false;
        } else if (g.code == 10) {
            if (!counted) {
                // The library would fill the vertex array of an earlier polyline.
                capacity = vertices[i - begin] + 1;
                out.push_back({90, std::to_string(capacity)});
                counted = true;
            }
            hasVertex = capacity > 0;
        } else if (g.code == 42 && !hasVertex) {
            continue;  // a bulge before any vertex would be written in front of the array
        }
        out.push_back(std::move(g));
    }
}

void boundCounts(std::vector<Group>& groups, size_t begin, size_t end,
                 std::initializer_list<std::pair<int, int>> countOf, std::vector<Group>& out)
{
    std::vector<std::pair<int, std::vector<long>>> ahead;
    for (const auto& [countCode, itemCode] : countOf) {
        ahead.emplace_back(countCode, countsAhead(groups, begin, end, itemCode));
    }
    for (size_t i = begin; i < end; ++i) {
        Group& g = groups[i];
        for (const auto& [countCode, items] : ahead) {
            if (g.code == countCode) g.value = std::to_string(boundedCount(g.value, items[i - begin]));
        }
        out.push_back(std::move(g));
    }
}

DxfGroupText refused(std::string reason)
{
    DxfGroupText result;
    result.fault = std::move(reason);
    return result;
}

}  // namespace

DxfGroupText checkDxfGroups(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);  // a UTF-8 byte order mark
    if (bytes.substr(0, 18) == "AutoCAD Binary DXF") return refused("二进制DXF文件不能读入, 请存为ASCII DXF");

    std::vector<Group> groups;
    bool ended = false;
    size_t pos = 0;
    size_t lineNo = 0;
    while (pos < bytes.size() && !ended) {
        auto nextLine = [&]() -> std::optional<std::string_view> {
            if (pos >= bytes.size()) return std::nullopt;
            const size_t eol = bytes.find('\n', pos);
            const size_t stop = eol == std::string_view::npos ? bytes.size() : eol;
            std::string_view line = bytes.substr(pos, stop - pos);
            pos = eol == std::string_view::npos ? bytes.size() : eol + 1;
            ++lineNo;
            return stripped(line);
        };
        const std::optional<std::string_view> codeLine = nextLine();
        if (!codeLine) break;
        if (codeLine->empty() && pos >= bytes.size()) break;  // a last line end
        Group g;
        if (!parseCode(*codeLine, g.code)) {
            if (groups.empty()) return refused("不是DXF文件");
            return refused("DXF文件第" + std::to_string(lineNo) + "行不是组码, 文件已损坏");
        }
        const std::optional<std::string_view> valueLine = nextLine();
        if (!valueLine) break;
        g.value = std::string(valueLine->substr(0, kMaxValue));
        if (g.code == 999) continue;  // comments (the library misreads some)
        if (groups.empty() && (g.code != 0 || g.value != "SECTION")) return refused("不是DXF文件");
        ended = g.code == 0 && g.value == "EOF";
        groups.push_back(std::move(g));
    }
    if (groups.empty()) return refused("不是DXF文件");
    if (!ended) return refused("DXF文件不完整(缺少结尾的EOF), 可能被截断");

    std::vector<Group> safe;
    safe.reserve(groups.size() + 16);
    size_t begin = 0;
    while (begin < groups.size()) {
        size_t end = begin + 1;
        while (end < groups.size() && groups[end].code != 0) ++end;
        const std::string& kind = groups[begin].value;
        if (kind == "LWPOLYLINE") {
            boundLwPolyline(groups, begin, end, safe);
        } else if (kind == "SPLINE") {
            boundCounts(groups, begin, end, {{72, 40}, {73, 10}, {74, 11}}, safe);
        } else if (kind == "LEADER") {
            boundCounts(groups, begin, end, {{76, 10}}, safe);
        } else {
            for (size_t i = begin; i < end; ++i) safe.push_back(std::move(groups[i]));
        }
        begin = end;
    }

    DxfGroupText result;
    result.ok = true;
    result.pairCount = static_cast<int>(safe.size());
    for (const Group& g : safe) {
        result.text += std::to_string(g.code);
        result.text += '\n';
        result.text += g.value;
        result.text += '\n';
    }
    return result;
}

}  // namespace orvo
