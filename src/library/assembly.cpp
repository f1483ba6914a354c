#include "library/assembly.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "library/arc.h"
#include "library/discretise.h"

namespace orvo {

namespace {

enum class LoopFault {
    Count,     // fewer than one vertex
    Overrun,   // the loop runs past the record's last point
    NotFinite  // a coordinate or radius that is not a finite number
};

struct LoopScan {
    OutlineLoopList loops;
    std::vector<LoopFault> faults;
};

constexpr const char* kRegionLine = "\t某个面域点的数目<=0, 错误!";
constexpr const char* kNotFiniteLine = "\t某个面域的坐标或半径不是有限数值, 错误!";
constexpr const char* kNoAreaLine = "\t零件面积为零或无法计算, 错误!";
constexpr const char* kTooSmallLine = "\t零件尺寸过小无法切割, 错误!";
constexpr const char* kPartLine = "以上错误发生于零件:";
// A part narrower than this (mm) or of a smaller outer area (mm²) cannot be cut, and its
// coordinates would be lost in the rounding of the plate's (1e-4 tolerances).
constexpr double kMinPartSize = 1e-3;
constexpr double kMinPartArea = 1e-6;

const char* faultLine(LoopFault fault)
{
    // A loop that runs past its record is reported like a loop without vertices.
    return fault == LoopFault::NotFinite ? kNotFiniteLine : kRegionLine;
}

bool finiteLoop(const OutlineLoop& loop)
{
    for (const Point& p : loop.vertices) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
    }
    for (double r : loop.radii) {
        if (!std::isfinite(r)) return false;
    }
    return true;
}

OutlineLoop loopAt(const std::vector<PointRecord>& points, size_t h, size_t m)
{
    OutlineLoop loop;
    loop.vertices.reserve(m);
    loop.radii.reserve(m);
    for (size_t k = 0; k < m; ++k) {
        loop.vertices.emplace_back(points[h + k].x, points[h + k].y);
        loop.radii.push_back(points[h + k + 1].value);
    }
    return loop;
}

// Cuts the points into loops; with stopAtFault the scan ends at the first bad loop.
// A bad vertex count moves on by m + 2 while that moves forward at all.
LoopScan scanRecord(const PartRecord& record, bool stopAtFault)
{
    LoopScan scan;
    const std::vector<PointRecord>& points = record.points;
    const size_t n = points.size();
    size_t h = 1;
    while (h < n) {
        const double m = std::trunc(points[h].value - 1.0);
        if (!(m >= 1.0)) {
            scan.faults.push_back(LoopFault::Count);
            if (stopAtFault || !(m + 2.0 > 0.0)) break;
            h += static_cast<size_t>(m + 2.0);
            continue;
        }
        if (m > static_cast<double>(n - 1 - h)) {
            scan.faults.push_back(LoopFault::Overrun);
            break;  // the next loop would start past the record anyway
        }
        const size_t count = static_cast<size_t>(m);
        OutlineLoop loop = loopAt(points, h, count);
        if (finiteLoop(loop)) {
            scan.loops.insert(std::move(loop));
        } else {
            scan.faults.push_back(LoopFault::NotFinite);
            if (stopAtFault) break;
        }
        h += count + 2;
    }
    // Fewer than two point records hold no loop at all.
    if (scan.loops.empty() && scan.faults.empty()) scan.faults.push_back(LoopFault::Count);
    return scan;
}

// A stream of its own on the same report, or none when the report is not open.
ErrorReport openLike(const ErrorReport& where)
{
    return where.isOpen() ? ErrorReport(where.folder()) : ErrorReport();
}

// outer: the outline's outer loop as a polygon (loopToContour at its chordError).
// An outer boundary that encloses nothing, or measures that overflow, leave nothing to
// nest (kNoAreaLine); one too small to be cut neither (kTooSmallLine). Holes are not
// checked: of loops of equal area the later one is the outer boundary and the part is
// kept, without net area. The report line, or none when the outline is usable.
const char* unusable(const PartOutline& outline, Contour outer)
{
    const double outerArea = contourArea(outer);
    if (!(outerArea > 0.0 && std::isfinite(outerArea) && std::isfinite(outline.netArea) &&
          std::isfinite(outline.centroid.x) && std::isfinite(outline.centroid.y))) {
        return kNoAreaLine;
    }
    const BoundingBox& box = outer.box;
    if (box.max_X - box.min_X < kMinPartSize || box.max_Y - box.min_Y < kMinPartSize ||
        outerArea < kMinPartArea) {
        return kTooSmallLine;
    }
    return nullptr;
}

}  // namespace

OutlineLoopList::iterator largestLoop(OutlineLoopList& loops, double h)
{
    auto best = loops.begin();
    double bestArea = 0.0;
    for (auto it = loops.begin(); it != loops.end(); ++it) {
        Contour contour = loopToContour(*it, h);
        const double area = contourArea(contour);
        if (it == loops.begin() || area > bestArea) {
            best = it;
            bestArea = area;
        }
    }
    return best;
}

std::optional<OutlineLoopList> scanLoops(const PartRecord& record)
{
    LoopScan scan = scanRecord(record, true);
    if (!scan.faults.empty()) return std::nullopt;
    return std::move(scan.loops);
}

bool precheckRecord(const PartRecord& record, const ErrorReport& where)
{
    ErrorReport report = openLike(where);
    const LoopScan scan = scanRecord(record, false);
    bool failed = !scan.faults.empty();
    for (LoopFault fault : scan.faults) report.writeLine(faultLine(fault));
    if (!failed) {
        for (const OutlineLoop& loop : scan.loops) {
            if (!checkLoopArcs(loop, report)) {
                failed = true;
                break;
            }
        }
    }
    if (failed) report.writeLine(kPartLine, record.nameId);
    return !failed;
}

bool assembleOutline(const PartRecord& record, PartOutline& outline, bool repair,
                     const ErrorReport& where)
{
    ErrorReport report = repair ? openLike(where) : ErrorReport();
    LoopScan scan = scanRecord(record, true);
    if (!scan.faults.empty()) {
        report.writeLine(faultLine(scan.faults.front()));
        return false;
    }
    OutlineLoopList& loops = scan.loops;
    if (repair) {
        for (OutlineLoop& loop : loops) {
            if (!repairLoopArcs(loop, report)) return false;
        }
    }
    // Every loop as a polygon once: for the choice of the outer boundary (as largestLoop
    // makes it) and for the outline's measures.
    std::vector<Contour> contours;
    for (const OutlineLoop& loop : loops) contours.push_back(loopToContour(loop, outline.chordError));
    size_t best = 0;
    double bestArea = 0.0;
    for (size_t k = 0; k < contours.size(); ++k) {
        const double area = contourArea(contours[k]);
        if (k == 0 || area > bestArea) {
            best = k;
            bestArea = area;
        }
    }
    auto outerLoop = std::next(loops.begin(), static_cast<std::ptrdiff_t>(best));
    const OutlineLoop outer = *outerLoop;
    const Contour outerContour = contours[best];
    loops.erase(outerLoop);
    contours.erase(contours.begin() + static_cast<std::ptrdiff_t>(best));
    outline.setShape(outer, loops, outerContour, contours);
    outline.label.setText(record.nameId);
    if (const char* fault = unusable(outline, outerContour)) {
        // The plain build reports this too: the pre-check cannot foresee it.
        if (!report.isOpen()) report = openLike(where);
        report.writeLine(fault);
        report.writeLine(kPartLine, record.nameId);
        return false;
    }
    return true;
}

void dropBadOutlines(PartOutlineList& outlines, ErrorReport& report)
{
    for (auto it = outlines.begin(); it != outlines.end();) {
        bool ok = checkLoopChord(it->outer, it->chordError, report);
        for (const OutlineLoop& hole : it->holes) {
            if (!ok) break;
            ok = checkLoopChord(hole, it->chordError, report);
        }
        if (ok) {
            ++it;
            continue;
        }
        report.writeLine(kPartLine, it->label.text);
        it = outlines.erase(it);
    }
}

}  // namespace orvo
