// Reads any bytes as a part library, opens it in a fresh NestSystem and, when it is small
// enough to lay out quickly, lays it out with both Layout All methods. After each layout
// every placed part must be legal, and the packing-information file must bring the same
// layout back.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "geometry/overlap.h"
#include "library/part_library.h"
#include "nesting/layout_all.h"
#include "nesting/gravity.h"
#include "app/open_library.h"
#include "nesting/nest_system.h"
#include "output/packing_info.h"
#include "support/recording_platform.h"
#include "support/temp_folder.h"

namespace {

using namespace orvo;

// Bounds of the inputs that are laid out: the point is robustness, not speed.
constexpr size_t kMaxRecords = 12;
constexpr size_t kMaxPointRecords = 400;
constexpr size_t kMaxVertices = 400;
constexpr double kMaxGrid = 40000.0;
constexpr double kMaxPushSteps = 1e6;

// The rotation numbers the inputs are laid out with, picked by the input's length so that
// odd angle steps and the RN below 1 are met as well as the default 4.
constexpr int32_t kRotationNumbers[] = {4, 1, 2, 3, 0, 6};

void check(bool condition, const char* what)
{
    if (condition) return;
    std::fprintf(stderr, "fuzz_layout: %s\n", what);
    std::abort();
}

const std::string& workFolder()
{
    static const test::TempFolder folder;
    check(!folder.path().empty(), "no temporary folder");
    return folder.path();
}

bool writeFile(const std::string& path, const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// Every file the opening, the layouts and the round trip left behind, so that the error
// report does not grow over a run.
void emptyWorkFolder()
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(workFolder(), error)) {
        std::filesystem::remove_all(entry.path(), error);
    }
}

// Reading alone is cheap; opening builds arcs and turns every part 900 times, so large
// libraries are left to the library target.
bool smallLibrary(const std::string& bytes)
{
    std::istringstream in(bytes);
    const PartLibrary library = readPartLibrary(in);
    if (library.records.size() > kMaxRecords) return false;
    size_t points = 0;
    for (const PartRecord& record : library.records) points += record.points.size();
    return points <= kMaxPointRecords;
}

size_t vertexCount(const NestSystem& ns)
{
    size_t count = 0;
    for (const Part& part : ns.nestParts) {
        count += part.outer.points.size();
        for (const Contour& hole : part.holes) count += hole.points.size();
    }
    return count;
}

// Grids the engine refuses cost nothing; accepted ones must stay small.
bool smallGrid(const NestSystem& ns)
{
    const double ppd = ns.packingPointDistance;
    const double columns = std::trunc(ns.plateLength / ppd);
    const double rows = std::trunc(ns.plateWidth / ppd);
    const bool refused = !(ppd > 0.0 && std::isfinite(ppd) && columns >= 0.0 && rows >= 0.0 &&
                           (columns + 1.0) * (rows + 1.0) <= NestSystem::kMaxGridPoints);
    return refused || (columns + 1.0) * (rows + 1.0) <= kMaxGrid;
}

// A push takes about (distance / first step) tests, the first step being
// min(PPD, a quarter of the part's shorter box side), at least 0.01: a plate or a part
// many orders larger than the thinnest part makes a push run for hours. The same bound
// keeps out plates so large that a part on a far packing point loses its shape in the
// rounding of its coordinates (reported, with a disabled regression test).
bool shortPushes(const NestSystem& ns)
{
    double extent = std::max(std::fabs(ns.plateLength), std::fabs(ns.plateWidth));
    double thinnest = INFINITY;
    for (const Part& part : ns.nestParts) {
        const double w = part.box.max_X - part.box.min_X;
        const double h = part.box.max_Y - part.box.min_Y;
        extent = std::max(extent, std::max(w, h));
        thinnest = std::min(thinnest, std::min(w, h));
    }
    const double step = std::max(std::min(ns.packingPointDistance, 0.25 * thinnest), 0.01);
    return !(extent / step > kMaxPushSteps);
}

bool boxHasNaN(const BoundingBox& b)
{
    return std::isnan(b.min_X) || std::isnan(b.max_X) || std::isnan(b.min_Y) ||
           std::isnan(b.max_Y);
}

bool isPlateOfList(const NestSystem& ns, const Plate* plate)
{
    for (const Plate& p : ns.plates) {
        if (&p == plate) return true;
    }
    return false;
}

double boxScale(const BoundingBox& b)
{
    return std::max(std::max(std::fabs(b.min_X), std::fabs(b.max_X)),
                    std::max(std::fabs(b.min_Y), std::fabs(b.max_Y)));
}

void checkLegalLayout(const NestSystem& ns)
{
    check(ns.activePlate == nullptr || isPlateOfList(ns, ns.activePlate), "activePlate dangles");
    for (auto a = ns.nestParts.begin(); a != ns.nestParts.end(); ++a) {
        if (a->plateId == -1) continue;
        check(!std::isnan(a->pose.basePt.x) && !std::isnan(a->pose.basePt.y) && !boxHasNaN(a->box),
              "placed part with NaN");
        const Plate* p = ns.findPlate(a->plateId);
        check(p != nullptr, "part on a plate that does not exist");
        check(boxInsideRect(*a, p->innerBox), "part outside its plate's inner box");
        for (auto b = std::next(a); b != ns.nestParts.end(); ++b) {
            check(b->plateId != a->plateId || partsDisjoint(*a, *b), "parts overlap");
        }
    }
    // A plate that takes no part ends the run and is removed again.
    for (const Plate& p : ns.plates) check(!ns.plateIsEmpty(p), "empty plate kept");
}

// Within the 8 decimals of the file (and the rounding of reading them back).
bool nearValue(double a, double b, double scale)
{
    return std::fabs(a - b) <= 1e-8 + 1e-12 * scale;
}

bool nearBox(const BoundingBox& a, const BoundingBox& b, double tolerance)
{
    return std::fabs(a.min_X - b.min_X) <= tolerance && std::fabs(a.max_X - b.max_X) <= tolerance &&
           std::fabs(a.min_Y - b.min_Y) <= tolerance && std::fabs(a.max_Y - b.max_Y) <= tolerance;
}

// The import moves the true shape from where the library put it, so a part far from the
// origin brings back its pose only to the precision of its library coordinates.
double poseScale(const NestSystem& ns, const Part& part)
{
    const Point& base = part.pose.basePt;
    double scale = std::max(boxScale(part.box), std::fabs(base.x) + std::fabs(base.y));
    if (const Part* shape = ns.findTrueShape(part.partId)) {
        const Point& shapeBase = shape->pose.basePt;
        scale = std::max(scale, std::max(boxScale(shape->box),
                                         std::fabs(shapeBase.x) + std::fabs(shapeBase.y)));
    }
    return scale;
}

// The pose differs by the rounding of 8 decimals; the outline moves by as much, plus the
// rounded angle times the part's reach from its reference point.
void checkSameLayout(const PlateList& plates, const PartList& parts, const NestSystem& ns)
{
    check(ns.plates.size() == plates.size(), "plate count changed");
    auto plate = plates.begin();
    for (const Plate& p : ns.plates) {
        const double scale = boxScale(plate->outerBox);
        check(p.id == plate->id, "plate id changed");
        check(nearBox(p.outerBox, plate->outerBox, 1e-8 + 1e-12 * scale), "plate box changed");
        check(nearBox(p.innerBox, plate->innerBox, 1e-8 + 1e-12 * scale), "inner box changed");
        ++plate;
    }
    check(ns.nestParts.size() == parts.size(), "part count changed");
    auto part = parts.begin();
    for (const Part& a : ns.nestParts) {
        const double scale = poseScale(ns, *part);
        check(a.partId == part->partId && a.plateId == part->plateId &&
                  a.pose.mirrored == part->pose.mirrored, "part identity changed");
        const Pose& was = part->pose;
        check(nearValue(a.pose.basePt.x, was.basePt.x, scale) &&
                  nearValue(a.pose.basePt.y, was.basePt.y, scale), "reference point changed");
        check(nearValue(a.pose.rotationAngle, was.rotationAngle, std::fabs(was.rotationAngle)),
              "rotation changed");
        check(nearBox(a.box, part->box, 1e-6 + 1e-7 * scale), "outline moved");
        ++part;
    }
}

void roundTrip(NestSystem& ns, test::RecordingPlatform& platform)
{
    const PlateList plates = ns.plates;
    const PartList parts = ns.nestParts;
    const std::string path = workFolder() + "/layout.pck";
    check(exportPackingInfo(ns, path), "export failed");
    platform.messages.clear();
    check(importPackingInfo(ns, path), "own export does not import");
    for (const test::RecordingPlatform::Message& message : platform.messages) {
        check(message.text == "包围盒数据错误!", "unexpected message on import");
    }
    check(ns.activePlate == (ns.plates.empty() ? nullptr : &ns.plates.front()),
          "imported layout activates another plate");
    checkSameLayout(plates, parts, ns);
}

// ORVO_FUZZ_VERBOSE=1 tells what became of an input, for reducing a finding.
void tell(const NestSystem& ns, const char* what)
{
    if (std::getenv("ORVO_FUZZ_VERBOSE") == nullptr) return;
    std::fprintf(stderr, "fuzz_layout: %s: RN %d, %zu parts, %zu vertices, %zu plates, %d unplaced\n",
                 what, ns.rotationNumber, ns.nestParts.size(), vertexCount(ns), ns.plates.size(),
                 ns.unplacedCount());
}

void layOut(const std::string& library, int32_t rotationNumber)
{
    test::RecordingPlatform platform;
    NestSystem ns(platform, workFolder());
    const LibraryStatus opened = openLibraryFile(ns, library);
    check(opened != LibraryStatus::Unreadable, "library not opened");
    // A library without a usable part is refused; there is nothing to lay out.
    if (opened == LibraryStatus::NoParts) {
        check(ns.nestParts.empty(), "library with parts not opened");
        return;
    }
    if (opened == LibraryStatus::SettingRefused) {
        tell(ns, "plate size or gap refused");
        return;
    }
    if (ns.nestParts.size() > kMaxRecords || vertexCount(ns) > kMaxVertices || !smallGrid(ns) ||
        !shortPushes(ns)) {
        tell(ns, "not laid out");
        return;
    }
    ns.rotationNumber = rotationNumber;
    for (const LayoutMethod method : {LayoutMethod::Gravity, LayoutMethod::MultiStep}) {
        layoutAll(ns, method);
        tell(ns, method == LayoutMethod::Gravity ? "gravity" : "multi-step");
        checkLegalLayout(ns);
        roundTrip(ns, platform);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (!smallLibrary(bytes)) return 0;
    const std::string library = workFolder() + "/library.preSrc";
    check(writeFile(library, data, size), "library not written");
    const size_t choices = sizeof kRotationNumbers / sizeof kRotationNumbers[0];
    layOut(library, kRotationNumbers[size % choices]);
    emptyWorkFolder();
    return 0;
}
