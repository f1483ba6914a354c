#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "geometry/contour.h"
#include "geometry/part.h"
#include "geometry/point.h"
#include "library/error_report.h"
#include "library/outline.h"
#include "library/part_library.h"

namespace orvo {

class Platform;

// A mother plate: the whole sheet and the usable area inside the plate margin.
struct Plate {
    int32_t id = 0;
    TextLabel label;
    BoundingBox outerBox;
    BoundingBox innerBox;
    bool selected = false;
};

// A plate moves by adding the shift to both of its boxes; nothing else of it changes.
void translatePlate(Plate& plate, double dx, double dy);

// Back insertion; nodes never move, so a Plate* stays valid until its plate is removed.
using PlateList = std::list<Plate>;
// Back insertion; a copy holds copies of the parts in source order.
using PartList = std::list<Part>;

// Orders by decreasing netArea; equal areas end in the order of the selection procedure
// (areas 2, 3, 4, 4, 2, 4 give 4, 4, 4, 3, 2, 2 with the first 2 last).
void sortByArea(PartList& parts);

struct PackingPoint {
    Point pos;
    bool occupied = false;
};

// Candidate reference positions of one plate, column by column, each column from the
// bottom up: point (i, j) is at index j + i * rows.
struct PackingPointGrid {
    int32_t columns = 0;
    int32_t rows = 0;
    std::vector<PackingPoint> points;

    PackingPoint& at(int32_t i, int32_t j) { return points[static_cast<size_t>(j + i * rows)]; }
    const PackingPoint& at(int32_t i, int32_t j) const
    {
        return points[static_cast<size_t>(j + i * rows)];
    }
    // The first column whose points lie at x or further right (columns when none), and the
    // first row at y or higher (rows when none), by bisection.
    int32_t firstColumnFrom(double x) const
    {
        return firstIndexFrom(columns, x, [this](int32_t i) { return at(i, 0).pos.x; });
    }
    int32_t firstRowFrom(double y) const
    {
        return firstIndexFrom(rows, y, [this](int32_t j) { return at(0, j).pos.y; });
    }

private:
    template <typename Coordinate>
    static int32_t firstIndexFrom(int32_t count, double value, Coordinate coordinate)
    {
        int32_t lo = 0;
        int32_t hi = count;
        while (lo < hi) {
            const int32_t mid = lo + (hi - lo) / 2;
            if (coordinate(mid) < value) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        return lo;
    }
};

enum class LayoutMethod { Gravity, MultiStep };

// The document: the library's configuration values, outlines, plates, the two part
// lists and the packing-point grid. One NestSystem reads exactly one library.
class NestSystem {
public:
    // The largest grid that setting PPD accepts (points of the standard plate), and the
    // largest grid generatePackingPoints allocates for any plate.
    static constexpr double kMaxGridPoints = 50e6;
    // The gravity layout holds RN rotated copies of the part it places (2 x RN with
    // turn-over), so RN bounds its memory: 360 (steps of one degree) keeps a part of
    // 10000 vertices under 200 MB of copies, where a larger RN would only cost hours and
    // memory for no better layout. RN below 1 is accepted: every gravity placement then
    // fails.
    static constexpr int32_t kMaxRotationNumber = 360;
    // Plate lengths and widths in mm lie in [kMinPlateSize, kMaxPlateSize], gaps in
    // [0, kMaxPlateSize]. The
    // overlap tests decide contact within 1e-4 mm; a double keeps 53 bits, so a
    // coordinate of magnitude M is rounded to M * 1.1e-16. Layout All sets its plates
    // out in columns left of x = 0, so coordinates reach a few hundred plate lengths:
    // with plates of 1 km a thousand columns stay below kMaxCoordinate, where the
    // rounding (1.2e-7) is still a thousandth of the tolerance, even after the many
    // translations and rotations of a layout. At 1e12 mm the rounding alone is 1e-4.
    static constexpr double kMaxPlateSize = 1e6;
    // No part that can be cut (at least 1e-3 mm across) fits on a smaller plate.
    static constexpr double kMinPlateSize = 1e-3;
    // Coordinates of plates and poses read from a layout file.
    static constexpr double kMaxCoordinate = 1e9;
    // Rotation angles (radians) read from a layout file; a larger angle has lost the
    // precision of its turn (at 1e6 rad a turn is still exact to 1e-10 rad).
    static constexpr double kMaxRotationAngle = 1e6;
    // Why a plate length and width cannot be used, naming the value and the bound, or
    // empty when both can ("板材尺寸错误! ...").
    static std::string plateSizeFault(double length, double width);
    // Points of the grid that generatePackingPoints would make for the box with spacing
    // ppd; infinite for a ppd that is not positive and finite.
    static double gridPointCount(const BoundingBox& box, double ppd);

    // Opens the error report in the work folder and writes its time stamp.
    NestSystem(Platform& platform, std::string workFolder = ".");
    // A private work copy (a search thread's layout): it opens no error report.
    struct NoErrorReport {};
    NestSystem(Platform& platform, NoErrorReport);
    NestSystem(const NestSystem&) = delete;
    NestSystem& operator=(const NestSystem&) = delete;

    Platform& platform() { return *platform_; }
    // Folder of every fixed-name output file (the error report, the statistics, timings,
    // drawings, the report).
    const std::string& workFolder() const { return workFolder_; }
    std::string outputPath(const std::string& fileName) const;
    ErrorReport& errorReport() { return errorReport_; }

    // Plates.
    Plate createPlate(int32_t id, double length, double width);
    // Unchecked: callers check a size that a user typed with acceptPlateSize.
    Plate& addPlate(double length, double width);
    // False, with plateSizeFault's message, when the size is refused.
    bool acceptPlateSize(double length, double width);
    // A refused size shows its message and changes no plate.
    bool resizeSelectedPlates(double length, double width);
    void activateFirstSelectedPlate();
    BoundingBox platesBox() const;
    Plate* findPlate(int32_t id);
    const Plate* findPlate(int32_t id) const;
    Plate* firstSelectedPlate();
    // Removes a plate; activePlate never refers to a removed plate: when the active
    // plate goes, the last remaining plate (or none) becomes active.
    void removePlate(const Plate* plate);
    // Removes every plate; no plate is active afterwards.
    void clearPlates();

    // The part of trueShapes with that partId (the first one), or none.
    const Part* findTrueShape(int32_t partId) const;

    // Queries (walk nestParts in list order).
    int32_t unplacedCount() const;
    bool plateIsEmpty(const Plate& p) const;
    double plateFreeArea(const Plate& p) const;
    double packedEdge(const Plate& p) const;
    double placedArea() const;
    // Net area of the parts on p.
    double placedAreaOn(const Plate& p) const;
    double totalArea() const;
    bool fitsOnPlate(const Plate& p, const Part& part) const;
    // Skips the tested part itself when it is a member of nestParts.
    bool fitsOnPlateExcept(const Plate& p, const Part& part) const;

    // Layout state.
    void prepareNestParts();
    void selectAllParts();
    void clearSelection();
    void resetLayout();
    void relocateSelectedParts();
    // Points PPD apart over p's outer box, the covered ones of the parts on p occupied.
    // A grid that would be too large (or a PPD not positive) shows "排样点错误!" and
    // leaves the grid empty.
    void generatePackingPoints(const Plate& p);
    // Occupies the points inside the part (not those in its holes); never frees one.
    void markCoveredPoints(const Part& part);
    void releasePackingPoints();
    // Setting RN and PPD; a refused value shows its message and keeps the old one.
    // RN above kMaxRotationNumber: "旋转次数错误! RN 不能大于 360". PPD not positive,
    // not finite, or giving more than kMaxGridPoints on the standard plate: "排样点错误!"
    // followed by the value and the smallest PPD the standard plate takes.
    // Nothing is regenerated (the front end regenerates the active plate's grid after a
    // new PPD).
    bool setRotationNumber(int32_t rn);
    bool setPackingPointDistance(double ppd);

    // Members of the nesting engine, in the order of the data model.
    double matchTolerance = 0.1;
    double hugeArea = 0.0;
    double hugeFill = 0.95;
    double bigArea = 0.0;
    double squareFill = 0.9;
    double mediumArea = 0.0;
    double smallArea = 0.0;
    int32_t platesPerColumn = 5;
    double plateSpacing = 0.0;
    PlateList plates;
    Plate* activePlate = nullptr;
    PartOutlineList outlines;
    PartList nestParts;
    PartList trueShapes;
    double partGap = 0.0;
    double plateGap = 0.0;
    int32_t rotationNumber = 4;
    double packingPointDistance = 30.0;
    PackingPointGrid packingPoints;
    double plateLength = 0.0;
    double plateWidth = 0.0;
    bool turnOver = true;

    // What was read, kept for the batch command's summary.
    std::string libraryPath;
    NestConfig config;
    int32_t recordsRead = 0;
    // nameId of every accepted record by position (the partId its part got).
    std::vector<std::string> recordNames;

private:
    Platform* platform_;
    std::string workFolder_;
    ErrorReport errorReport_;
};

}  // namespace orvo
