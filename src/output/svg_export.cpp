#include "output/svg_export.h"

#include <algorithm>

#include "base/number_text.h"
#include "base/platform.h"
#include "library/arc.h"
#include "base/text_encoding.h"
#include "output/dxf_export.h"
#include "base/text_file.h"

namespace orvo {

namespace {

constexpr double kPictureSize = 1600.0;  // pixels of the longer side

// Ten significant digits: enough for any layout, short enough to read.
std::string num(double value) { return formatG(value, 10); }

// SVG's y axis points down: every y is negated, so the picture shows y up.
std::string xy(const Point& p)
{
    return num(p.x) + " " + num(-p.y);
}

std::string escapeXml(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            // Control characters are not allowed in XML text.
            out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
        }
    }
    return out;
}

// One closed sub-path; an arc edge becomes an SVG arc of the same circle and sense.
void appendLoop(const OutlineLoop& loop, std::string& d)
{
    const int32_t n = loop.count();
    if (n == 0) return;
    d.append("M").append(xy(loop.vertex(0)));
    for (int32_t i = 0; i < n; ++i) {
        const Point from = loop.vertex(i);
        const Point to = loop.vertex(i + 1 < n ? i + 1 : 0);
        const double radius = loop.radii[static_cast<size_t>(i)];
        Arc arc;
        if (radius != 0.0 && buildArc(from, to, radius, arc)) {
            // Counter-clockwise with y up is the negative sweep once y is turned down.
            const char* sweep = radius > 0.0 ? "0" : "1";
            const std::string r = num(arc.radius);
            d.append("A").append(r).append(" ").append(r).append(" 0 0 ").append(sweep);
            d.append(" ").append(xy(to));
        } else {
            d.append("L").append(xy(to));
        }
    }
    d += "Z";
}

std::string rect(const BoundingBox& b, const char* cls)
{
    return "<rect class=\"" + std::string(cls) + "\" x=\"" + num(b.min_X) + "\" y=\"" +
           num(-b.max_Y) + "\" width=\"" + num(boxWidth(b)) + "\" height=\"" +
           num(boxHeight(b)) + "\"/>";
}

double textHeight(const Plate& plate)
{
    return boxHeight(plate.outerBox) / 30.0;
}

std::string utilisationText(const Plate& plate, const PlateSummary& summary)
{
    const double length = summary.packedEdge - plate.outerBox.min_X;
    const double width = boxHeight(plate.outerBox);
    std::string text = "ID=" + std::to_string(plate.id) + " " + plate.label.text + ", ";
    if (length == 0.0 || width == 0.0) return text + "MaterialUtilization Unknown";
    return text + "MaterialUtilization=" +
           formatFixed(summary.packedArea / length / width * 100.0, 2) + "%";
}

void appendPlate(const NestSystem& ns, const Plate& plate, LineSink& out)
{
    out.line(rect(plate.outerBox, "plate"));
    out.line(rect(plate.innerBox, "plate"));
    PlateSummary summary(plate);
    forEachPlacedOutline(ns, plate, [&](const PartOutline& o, const Part& placed) {
        summary.add(o);
        std::string d;
        appendLoop(o.outer, d);
        for (const OutlineLoop& hole : o.holes) appendLoop(hole, d);
        out.line(std::string("<path class=\"") + (placed.pose.mirrored ? "turned" : "part") +
                 "\" d=\"" + d + "\"><title>" + escapeXml(gbkToUtf8(o.label.text)) +
                 "</title></path>");
    });
    // Just above the plate, where no part lies.
    const double h = textHeight(plate);
    out.line("<text x=\"" + num(plate.outerBox.min_X) + "\" y=\"" +
             num(-(plate.outerBox.max_Y + 0.4 * h)) + "\" font-size=\"" + num(h) +
             "\" fill=\"#ffffff\">" +
             escapeXml(gbkToUtf8(utilisationText(plate, summary))) + "</text>");
}

}  // namespace

std::string layoutSvgText(const NestSystem& ns)
{
    BoundingBox world = ns.platesBox();
    double w = boxWidth(world);
    double h = boxHeight(world);
    double margin = std::max(std::max(w, h) * 0.02, 1.0);
    for (const Plate& plate : ns.plates) margin = std::max(margin, 1.6 * textHeight(plate));
    world = grown(world, margin);
    w += 2.0 * margin;
    h += 2.0 * margin;
    const double scale = kPictureSize / std::max(w, h);

    LineSink out;
    out.line("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    out.line("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(std::max(1.0, w * scale)) +
             "\" height=\"" + num(std::max(1.0, h * scale)) + "\" viewBox=\"" +
             num(world.min_X) + " " + num(-world.max_Y) + " " + num(w) + " " + num(h) + "\">");
    out.line("<style>rect,path{fill:none;stroke-width:1;vector-effect:non-scaling-stroke}"
             ".plate{stroke:#0000ff}.part{stroke:#00ff00}.turned{stroke:#ffff00}"
             "text{font-family:sans-serif}</style>");
    out.line("<rect x=\"" + num(world.min_X) + "\" y=\"" + num(-world.max_Y) + "\" width=\"" +
             num(w) + "\" height=\"" + num(h) + "\" style=\"fill:#000000;stroke:none\"/>");
    for (const Plate& plate : ns.plates) appendPlate(ns, plate, out);
    out.line("</svg>");
    return out.text();
}

bool exportLayoutSvg(NestSystem& ns, const std::string& path)
{
    std::string error;
    if (writeWholeFile(path, layoutSvgText(ns), &error)) return true;
    ns.platform().showMessage(fileFailureText("排样图输出失败!", path, error), kCaptionWarning);
    return false;
}

}  // namespace orvo
