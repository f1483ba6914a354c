#include "output/dxf_export.h"

#include <algorithm>
#include <set>

#include "base/number_text.h"
#include "base/platform.h"
#include "base/text_encoding.h"
#include "library/arc.h"
#include "output/dxf_writer.h"

namespace orvo {

namespace {

constexpr int kLayerPartFile = 0;
constexpr int kLayerDrawing = 1;
constexpr int kLayerLabel = 2;
constexpr const char* kWriteFailed = "排样文件输出失败!";

const PartOutline* findOutline(const NestSystem& ns, int32_t partId)
{
    for (const PartOutline& outline : ns.outlines) {
        if (outline.partId == partId) return &outline;
    }
    return nullptr;
}

void writeLoop(const OutlineLoop& loop, LineSink& out, int colour, int layer)
{
    const int32_t n = loop.count();
    for (int32_t i = 0; i < n; ++i) {
        const Point from = loop.vertex(i);
        const Point to = loop.vertex(i + 1 < n ? i + 1 : 0);
        const double radius = loop.radii[static_cast<size_t>(i)];
        if (radius == 0.0) {
            writeDxfColouredLine(out, from, to, layer, colour);
            continue;
        }
        Arc arc;
        if (buildArc(from, to, radius, arc)) writeDxfArc(out, arc, layer, colour);
    }
}

void writeContour(const Contour& contour, LineSink& out, int layer)
{
    const int32_t n = contour.count();
    for (int32_t i = 0; i < n; ++i) {
        writeDxfLine(out, contour.vertex(i), contour.vertex(i + 1 < n ? i + 1 : 0), layer);
    }
}

void writeAnnotations(const Plate& plate, const PlateSummary& summary, LineSink& out)
{
    const BoundingBox& box = plate.outerBox;
    const double length = boxWidth(box);
    const double width = boxHeight(box);
    const double packedLength = summary.packedEdge - box.min_X;
    const double h = width / 50.0;
    const double xPack = summary.packedEdge;

    writeDxfText(out, "ID=" + std::to_string(plate.id) + ",Name:" + plate.label.text,
                 kLayerDrawing, box.max_X, box.max_Y, h, 0.0);
    writeDxfText(out,
                 "Length=" + padRight(formatG(length), 5) + ", Width=" +
                     padRight(formatG(width), 5),
                 kLayerDrawing, box.max_X, box.max_Y - 2.0 * h, h, 0.0);
    std::string packing = "PackingLength=" + padRight(formatG(packedLength), 5);
    if (packedLength == 0.0) {
        packing += ", MaterialUtilization Unknown";
    } else {
        const double utilisation = summary.packedArea / packedLength / width;
        packing += ", MaterialUtilization=" + padRight(formatFixed(utilisation * 100.0, 2), 5) + "%";
    }
    writeDxfText(out, packing, kLayerDrawing, xPack, box.max_Y - 4.0 * h, h, 0.0);
    writeDxfText(out,
                 "Packed Parts Number=" + std::to_string(summary.partCount) +
                     ",Packed Parts Area=" + formatG(summary.packedArea),
                 kLayerDrawing, xPack, box.max_Y - 6.0 * h, h, 0.0);
}

bool writeOrWarn(NestSystem& ns, const std::string& fileName, const LineSink& out)
{
    const std::string path = ns.outputPath(fileName);
    std::string error;
    if (writeWholeFile(path, out.text(), &error)) return true;
    ns.platform().showMessage(fileFailureText(kWriteFailed, path, error), kCaptionWarning);
    return false;
}

bool isForbiddenInFileName(unsigned char c)
{
    if (c < 0x20 || c == 0x7F) return true;
    switch (c) {
    case '/': case '\\': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
        return true;
    default:
        return false;
    }
}

bool isGbkPair(unsigned char lead, unsigned char trail)
{
    return lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
}

// Every forbidden byte becomes '_'. In UTF-8 every byte of a multi-byte character is
// 0x80 or above, so only ASCII is ever replaced; raw GBK bytes are taken in pairs, as a
// second byte may be 0x5C or 0x7C.
std::string safeFileStem(std::string_view text, bool gbkPairs)
{
    std::string name;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (gbkPairs && i + 1 < text.size() && isGbkPair(c, static_cast<unsigned char>(text[i + 1]))) {
            name += text.substr(i, 2);
            ++i;
            continue;
        }
        name += isForbiddenInFileName(c) ? '_' : static_cast<char>(c);
    }
    return name;
}

// File systems that ignore case (a folder copied to another system) see "A.dxf" and
// "a.dxf" as one file; names are compared in this form.
std::string caseFolded(std::string name)
{
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

// "AllPlts.dxf" or "PltID=<integer>.dxf", in case-folded form.
bool isPlateDrawingName(std::string_view folded)
{
    if (folded == caseFolded(kAllPlatesFileName)) return true;
    constexpr std::string_view prefix = "pltid=";
    constexpr std::string_view suffix = ".dxf";
    if (!folded.starts_with(prefix) || !folded.ends_with(suffix)) return false;
    std::string_view id = folded.substr(prefix.size(), folded.size() - prefix.size() - suffix.size());
    if (id.starts_with('-')) id.remove_prefix(1);
    return !id.empty() && std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

PartOutline placeOutline(const PartOutline& outline, const Part& placed)
{
    PartOutline o = outline;
    applyPose(o, placed.pose);
    return o;
}

void PlateSummary::add(const PartOutline& placed)
{
    ++partCount;
    packedArea += placed.netArea;
    packedEdge = std::max(packedEdge, placed.toPart().box.max_X);
}

void forEachPlacedOutline(const NestSystem& ns, const Plate& plate,
                          const std::function<void(const PartOutline&, const Part&)>& visit)
{
    for (const Part& part : ns.nestParts) {
        if (part.plateId != plate.id) continue;
        const PartOutline* outline = findOutline(ns, part.partId);
        if (outline == nullptr) continue;
        visit(placeOutline(*outline, part), part);
    }
}

void writeOutline(const PartOutline& outline, LineSink& out, int colour, int layer,
                  int textLayer)
{
    writeLoop(outline.outer, out, colour, layer);
    for (const OutlineLoop& hole : outline.holes) writeLoop(hole, out, colour, layer);
    const TextLabel& label = outline.label;
    writeDxfText(out, label.text, textLayer, label.x, label.y, label.height, label.angle);
}

void writePlateLayout(const NestSystem& ns, const Plate& plate, LineSink& out)
{
    const BoundingBox& box = plate.outerBox;
    const Point p00(box.min_X, box.min_Y), p10(box.max_X, box.min_Y);
    const Point p11(box.max_X, box.max_Y), p01(box.min_X, box.max_Y);
    writeDxfColouredLine(out, p00, p10, kLayerDrawing, kDxfColourFrame);
    writeDxfColouredLine(out, p10, p11, kLayerDrawing, kDxfColourFrame);
    writeDxfColouredLine(out, p11, p01, kLayerDrawing, kDxfColourFrame);
    writeDxfColouredLine(out, p01, p00, kLayerDrawing, kDxfColourFrame);

    PlateSummary summary(plate);
    forEachPlacedOutline(ns, plate, [&](const PartOutline& o, const Part& placed) {
        writeOutline(o, out, placed.pose.mirrored ? kDxfColourTurnedPart : kDxfColourPart,
                     kLayerDrawing, kLayerLabel);
        summary.add(o);
    });

    writeDxfLine(out, Point(summary.packedEdge, box.min_Y), Point(summary.packedEdge, box.max_Y),
                 kLayerDrawing);
    writeAnnotations(plate, summary, out);
}

bool exportPlateFile(NestSystem& ns, const Plate& plate)
{
    LineSink out;
    beginDxfEntities(out);
    writePlateLayout(ns, plate, out);
    endDxfEntities(out);
    return writeOrWarn(ns, plateFileName(plate.id), out);
}

bool exportPickedPlates(NestSystem& ns)
{
    for (const Plate& plate : ns.plates) {
        if (plate.selected && !exportPlateFile(ns, plate)) return false;
    }
    ns.platform().showMessage("拾取母板的排样图已生成", kCaptionNotice);
    return true;
}

bool exportAllPlates(NestSystem& ns)
{
    LineSink out;
    beginDxfEntities(out);
    for (const Plate& plate : ns.plates) writePlateLayout(ns, plate, out);
    endDxfEntities(out);
    if (!writeOrWarn(ns, kAllPlatesFileName, out)) return false;
    ns.platform().showMessage(std::string("所有母板的排样图\"") + kAllPlatesFileName + "\"已生成",
                              kCaptionNotice);
    return true;
}

bool exportPartFiles(NestSystem& ns)
{
    const std::vector<std::string> fileNames = partFileNames(ns);
    auto fileName = fileNames.begin();
    for (const Part& part : ns.trueShapes) {
        LineSink out;
        beginDxfEntities(out);
        writeContour(part.outer, out, kLayerPartFile);
        for (const Contour& hole : part.holes) writeContour(hole, out, kLayerPartFile);
        const TextLabel& label = part.label;
        writeDxfText(out, label.text, kLayerLabel, label.x, label.y, label.height, label.angle);
        if (!part.outer.empty()) writeDxfPoint(out, part.outer.vertex(0), kLayerPartFile);
        endDxfEntities(out);
        if (!writeOrWarn(ns, *fileName++, out)) return false;
    }
    return true;
}

std::string partFileName(std::string_view labelText, int32_t partId)
{
    std::string name;
    if (isValidUtf8(labelText)) {
        name = safeFileStem(labelText, false);
    } else if (const std::optional<std::string> utf8 = strictGbkToUtf8(labelText)) {
        name = safeFileStem(*utf8, false);
    } else {
        name = safeFileStem(labelText, true);
    }
    if (name.empty() || name == "." || name == "..") name = "part_" + std::to_string(partId);
    return name + ".dxf";
}

std::vector<std::string> partFileNames(const NestSystem& ns)
{
    std::vector<std::string> names;
    std::set<std::string> taken;
    for (const Part& part : ns.trueShapes) {
        const std::string name = partFileName(part.label.text, part.partId);
        const std::string stem = name.substr(0, name.size() - 4);
        std::string file = name;
        for (int n = 2; taken.count(caseFolded(file)) > 0 || isPlateDrawingName(caseFolded(file)); ++n) {
            file = stem + " (" + std::to_string(n) + ").dxf";
        }
        taken.insert(caseFolded(file));
        names.push_back(file);
    }
    return names;
}

std::string plateFileName(int32_t plateId)
{
    return "PltID=" + std::to_string(plateId) + ".dxf";
}

}  // namespace orvo
