#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "library/outline.h"
#include "nesting/nest_system.h"
#include "base/text_file.h"

namespace orvo {

// DXF colour numbers and layers of the drawings.
inline constexpr int kDxfColourFrame = 4;
inline constexpr int kDxfColourPart = 3;
inline constexpr int kDxfColourTurnedPart = 2;

// What a plate drawing tells of its parts: their number, their net area and the
// right-most x that they reach (at least the plate's left edge).
struct PlateSummary {
    explicit PlateSummary(const Plate& plate) : packedEdge(plate.outerBox.min_X) {}
    void add(const PartOutline& placed);

    int partCount = 0;
    double packedArea = 0.0;
    double packedEdge = 0.0;
};

// Visits the parts on the plate in nestParts order, each outline carried to its part's
// placement. A part whose partId has no outline is left out (a consistent library always
// has one).
void forEachPlacedOutline(const NestSystem& ns, const Plate& plate,
                          const std::function<void(const PartOutline&, const Part&)>& visit);

// The outline of the part carried to the pose of the nesting part (applyPose).
PartOutline placeOutline(const PartOutline& outline, const Part& placed);

// Edges (lines and true arcs; an edge whose arc cannot be built is left out) and label.
void writeOutline(const PartOutline& outline, LineSink& out, int colour, int layer,
                  int textLayer);
// Frame, parts, packing-length line and the four annotations of one plate.
void writePlateLayout(const NestSystem& ns, const Plate& plate, LineSink& out);

// Each writes its files into the work folder. A file that cannot be written shows
// "排样文件输出失败!" and the command stops there (files written before stay); the
// layout is never touched. True when everything was written.
bool exportPlateFile(NestSystem& ns, const Plate& plate);
bool exportPickedPlates(NestSystem& ns);
bool exportAllPlates(NestSystem& ns);
bool exportPartFiles(NestSystem& ns);  // one file per part, named by partFileNames

// The file name of a part's drawing: its label text with ".dxf", in UTF-8. A label that is
// not UTF-8 is taken as GBK, the library's encoding; the drawing itself keeps the label's
// bytes. A label that is neither keeps its bytes in the name too. Part names come from the
// library file, so the name is made safe to stay inside the output folder: each of
// / \ : * ? " < > | and every control byte (below 0x20, and 0x7F) becomes '_' (in a label
// kept as bytes, a GBK double-byte character is kept whole: its second byte may be 0x5C or
// 0x7C and is not a separator there); a name that is then empty, "." or ".." becomes
// "part_<partId>".
std::string partFileName(std::string_view labelText, int32_t partId);
// The drawings' file names of the parts of trueShapes, in list order, all different:
// partFileName, with " (2)", " (3)", ... before ".dxf" when an earlier part has the name
// (ASCII letters compared without case, as some file systems do) or when it is the name
// of a plate drawing ("AllPlts.dxf", "PltID=<n>.dxf"). exportPartFiles writes these.
std::vector<std::string> partFileNames(const NestSystem& ns);

std::string plateFileName(int32_t plateId);  // "PltID=<id>.dxf"
inline constexpr const char* kAllPlatesFileName = "AllPlts.dxf";

}  // namespace orvo
