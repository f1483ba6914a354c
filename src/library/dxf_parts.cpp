#include "library/dxf_parts.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/number_text.h"
#include "base/text_encoding.h"
#include "library/dxf_drawing.h"
#include "library/dxf_edges.h"
#include "library/dxf_groups.h"
#include "library/dxf_loops.h"
#include "library/outline.h"

namespace orvo {

namespace {

constexpr std::uintmax_t kMaxFileBytes = 256u << 20;

// Names from the file (layers, the path) in the report's text: UTF-8 as it is, anything
// else read as GBK, the code page of older drawings here.
std::string shown(std::string_view bytes)
{
    return isValidUtf8(bytes) ? std::string(bytes) : gbkToUtf8(bytes);
}

std::string pointText(const Point& p)
{
    std::string text = "(";
    text += formatG(p.x);
    text += ",";
    text += formatG(p.y);
    text += ")";
    return text;
}

class PartMaker {
public:
    PartMaker(const std::string& fileName, const std::vector<std::string>& layers, ErrorReport& report)
        : fileName_(fileName), layers_(layers), report_(report)
    {
    }

    void reportOpen(const DxfOpenChain& chain)
    {
        report_.writeLine(where(chain.layer) + "轮廓不封闭, 在点" + pointText(chain.first) + "和点" +
                          pointText(chain.last) + "处断开, 该轮廓未读入!");
    }
    void reportLoop(const DxfLoop& loop)
    {
        if (loop.fault == DxfLoop::Fault::Crossing) {
            report_.writeLine(where(loop.layer) + "轮廓自相交于点" + pointText(loop.where) +
                              ", 该零件未读入!");
        } else if (loop.fault == DxfLoop::Fault::NoArea) {
            report_.writeLine(where(loop.layer) + "轮廓面积为零(经过点" + pointText(loop.where) +
                              "), 该轮廓未读入!");
        }
    }
    void reportLine(const std::string& text) { report_.writeLine("DXF文件" + shown(fileName_) + ": " + text); }

    PartRecord record(const std::vector<DxfLoop>& loops, const DxfLoopNest& nest) const
    {
        PartRecord record;
        record.partName = layers_[static_cast<size_t>(loops[nest.outer].layer)];
        record.points.push_back(pointLine(0.0, Point()));
        const OutlineLoop& outer = loops[nest.outer].loop;
        appendLoop(loops[nest.outer].area > 0.0 ? outer : reversedLoop(outer), record);
        for (size_t h : nest.holes) {
            record.points.push_back(pointLine(0.0, Point()));
            const OutlineLoop& hole = loops[h].loop;
            appendLoop(loops[h].area < 0.0 ? hole : reversedLoop(hole), record);
        }
        return record;
    }

private:
    std::string where(int32_t layer) const
    {
        return "DXF文件" + shown(fileName_) + ", 图层" + shown(layers_[static_cast<size_t>(layer)]) + ": ";
    }

    static PointRecord pointLine(double value, const Point& p)
    {
        PointRecord line;
        line.value = value;
        line.x = p.x;
        line.y = p.y;
        line.text = "L";
        return line;
    }

    static void appendLoop(const OutlineLoop& loop, PartRecord& record)
    {
        const int32_t m = loop.count();
        record.points.push_back(pointLine(m + 1.0, loop.vertex(0)));
        for (int32_t j = 1; j < m; ++j) {
            record.points.push_back(pointLine(loop.radii[static_cast<size_t>(j - 1)], loop.vertex(j)));
        }
        record.points.push_back(pointLine(loop.radii[static_cast<size_t>(m - 1)], loop.vertex(0)));
    }

    const std::string& fileName_;
    const std::vector<std::string>& layers_;
    ErrorReport& report_;
};

DxfParts unreadable(const std::string& fileName, const std::string& reason, ErrorReport& report)
{
    DxfParts result;
    result.fault = "DXF文件读取失败: " + shown(fileName) + ": " + reason;
    report.writeLine(result.fault);
    return result;
}

std::string stemOf(const std::string& fileName)
{
    std::string stem = std::filesystem::path(fileName).stem().string();
    return stem.empty() ? "part" : stem;
}

}  // namespace

DxfParts readDxfParts(const std::string& path, const DxfPartOptions& options, ErrorReport& report)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error && size > kMaxFileBytes) return unreadable(path, "文件过大", report);
    std::ifstream in(path, std::ios::binary);
    if (!in) return unreadable(path, "文件无法打开", report);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return unreadable(path, "文件无法读取", report);
    return readDxfPartsFromBytes(bytes, path, options, report);
}

DxfParts readDxfPartsFromBytes(std::string_view bytes, const std::string& fileName,
                               const DxfPartOptions& options, ErrorReport& report)
{
    const DxfGroupText groups = checkDxfGroups(bytes);
    if (!groups.ok) return unreadable(fileName, groups.fault, report);
    DxfDrawing drawing;
    std::string fault;
    if (!readDxfDrawing(groups.text, drawing, fault)) return unreadable(fileName, fault, report);

    DxfEdgeOptions edgeOptions;
    edgeOptions.unitScale = insUnitsScale(drawing.insUnits);
    edgeOptions.chordTolerance = options.chordTolerance > 0.0 ? options.chordTolerance : 1.0;
    edgeOptions.minArcRadius = PartOutline().chordError;
    edgeOptions.layer = options.layer;
    edgeOptions.maxEdges = options.maxEdges;
    const DxfEdgeSet edges = drawingEdges(drawing, edgeOptions);
    if (edges.overBudget) {
        return unreadable(fileName, "图形过于复杂(超过" + std::to_string(options.maxEdges) + "条边)", report);
    }

    DxfParts result;
    result.readable = true;
    PartMaker maker(fileName, edges.layers, report);
    if (drawing.ignoredEntities > 0) {
        maker.reportLine(std::to_string(drawing.ignoredEntities) + "个图元的数值无效或超出范围, 已忽略");
    }
    if (edges.tooDeep) maker.reportLine("块的嵌套过深(块可能插入了自身), 更深的插入已忽略");
    if (edges.missingBlocks > 0) {
        maker.reportLine(std::to_string(edges.missingBlocks) + "个插入引用了不存在的块, 已忽略");
    }
    if (edges.outOfRange > 0) {
        maker.reportLine(std::to_string(edges.outOfRange) + "条边的坐标超出范围, 已忽略");
    }
    if (edges.unreadableCurves > 0) {
        maker.reportLine(std::to_string(edges.unreadableCurves) + "条样条曲线的节点或控制点无效, 已忽略");
    }

    const double tolerance = std::isfinite(options.joinTolerance) && options.joinTolerance > 0.0
                                 ? options.joinTolerance
                                 : DxfPartOptions().joinTolerance;
    const DxfChains chains = chainEdges(edges.edges, tolerance);
    for (const DxfOpenChain& open : chains.open) maker.reportOpen(open);
    for (const DxfLoop& loop : chains.loops) maker.reportLoop(loop);

    const std::vector<DxfLoopNest> nests = nestLoops(chains.loops);
    for (const DxfLoopNest& nest : nests) {
        bool crossing = chains.loops[nest.outer].fault != DxfLoop::Fault::None;
        for (size_t h : nest.holes) crossing = crossing || chains.loops[h].fault != DxfLoop::Fault::None;
        if (!crossing) result.parts.push_back(maker.record(chains.loops, nest));
    }
    const std::string stem = stemOf(fileName);
    for (size_t i = 0; i < result.parts.size(); ++i) {
        result.parts[i].nameId = result.parts.size() == 1 ? stem : stem + "-" + std::to_string(i + 1);
    }
    return result;
}

}  // namespace orvo
