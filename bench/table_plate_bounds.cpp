// How dense the plates of a layout would have to be to put a library on a given number of
// plates. The net area alone gives a lower bound on the plates, but the parts are kept
// apart by the part gap (each one offset by half of it, as the program holds it) and a
// part takes the area of its outer contour unless it lies inside a hole of another. So
// for each plate count the table prints the share of the plates' inner boxes that the
// offset outer contours must cover: with every hole that could hold the smallest part
// filled completely by parts (the best case), and with no part inside a hole. For
// comparison, the densest plate of the HAPE layout by the same measure (parts whose box
// lies inside the box of a hole of another part not counted).
//
//   table_plate_bounds [--set NAME]... [--filter TEXT]... [--dir FOLDER]
// Exits with 2 on bad arguments, 1 when a library does not open.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/open_library.h"
#include "geometry/contour.h"
#include "nesting/layout_all.h"
#include "nesting/nest_system.h"
#include "support/library_text.h"
#include "support/temp_folder.h"
#include "table_support.h"

namespace fs = std::filesystem;

namespace {

struct Options {
    std::vector<std::string> sets;
    std::vector<std::string> filters;
    std::string dir = ORVO_BENCHMARK_DIR;
};

bool parseOptions(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--set" && hasValue) o.sets.push_back(argv[++i]);
        else if (arg == "--filter" && hasValue) o.filters.push_back(argv[++i]);
        else if (arg == "--dir" && hasValue) o.dir = argv[++i];
        else return false;
    }
    if (o.sets.empty()) o.sets = {"synthetic"};
    return true;
}

double area(const orvo::Contour& c)
{
    orvo::Contour copy = c;
    return std::fabs(orvo::contourArea(copy));
}

double shorterSide(const orvo::BoundingBox& b)
{
    return std::min(b.max_X - b.min_X, b.max_Y - b.min_Y);
}

bool boxInside(const orvo::BoundingBox& inner, const orvo::BoundingBox& outer)
{
    return inner.min_X >= outer.min_X && inner.max_X <= outer.max_X && inner.min_Y >= outer.min_Y &&
           inner.max_Y <= outer.max_Y;
}

// The share of p's inner box that the outer contours of the parts on p cover, the parts
// whose box lies inside the box of a hole of another part on p left out.
double outerDensity(const orvo::NestSystem& ns, const orvo::Plate& p)
{
    const orvo::BoundingBox& inner = p.innerBox;
    double covered = 0.0;
    for (const orvo::Part& part : ns.nestParts) {
        if (part.plateId != p.id) continue;
        const bool nested = std::any_of(ns.nestParts.begin(), ns.nestParts.end(), [&](const orvo::Part& other) {
            return &other != &part && other.plateId == p.id &&
                   std::any_of(other.holes.begin(), other.holes.end(),
                               [&](const orvo::Contour& h) { return boxInside(part.box, h.box); });
        });
        if (!nested) covered += area(part.outer);
    }
    return covered / ((inner.max_X - inner.min_X) * (inner.max_Y - inner.min_Y));
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: %s [--set NAME]... [--filter TEXT]... [--dir FOLDER]\n", argv[0]);
        return 2;
    }
    std::printf("| library | parts | net area, plates | outer area, plates | usable hole area, plates | plates | "
                "outer density needed, holes filled %% | outer density needed, holes empty %% |"
                " HAPE plates | densest HAPE plate %% |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const std::string& path : orvo::bench::benchmarkLibraries(options.dir, options.sets, options.filters)) {
        const orvo::test::TempFolder work;
        orvo::bench::SilentPlatform platform;
        orvo::NestSystem ns(platform, work.path());
        if (!orvo::openPartLibrary(ns, path)) return 1;
        const int rn = orvo::test::headerRotationNumber(path);
        if (rn > 0) ns.setRotationNumber(rn);
        const orvo::BoundingBox inner = ns.createPlate(0, ns.plateLength, ns.plateWidth).innerBox;
        const double plateArea = (inner.max_X - inner.min_X) * (inner.max_Y - inner.min_Y);

        double net = 0.0, outer = 0.0, smallestSide = HUGE_VAL, smallestArea = HUGE_VAL;
        for (const orvo::Part& part : ns.nestParts) {
            net += part.netArea;
            outer += area(part.outer);
            smallestSide = std::min(smallestSide, shorterSide(part.box));
            smallestArea = std::min(smallestArea, part.netArea);
        }
        // A hole counts when the smallest part could lie in it by its box and its area.
        double holes = 0.0;
        for (const orvo::Part& part : ns.nestParts) {
            for (const orvo::Contour& h : part.holes) {
                const double a = area(h);
                if (shorterSide(h.box) >= smallestSide && a >= smallestArea) holes += a;
            }
        }

        orvo::layoutAll(ns, orvo::LayoutMethod::Gravity);
        double densest = 0.0;
        for (const orvo::Plate& p : ns.plates) densest = std::max(densest, outerDensity(ns, p));

        const std::string name = fs::path(path).stem().string();
        const int byNet = static_cast<int>(std::ceil(net / plateArea - 1e-9));
        for (int k = std::max(byNet, 1); k <= std::max(byNet, 1) + 2; ++k) {
            std::printf("| %s | %zu | %.2f | %.2f | %.2f | %d | %.1f | %.1f | %zu | %.1f |\n", name.c_str(),
                        ns.nestParts.size(), net / plateArea, outer / plateArea, holes / plateArea, k,
                        100.0 * (outer - holes) / (k * plateArea), 100.0 * outer / (k * plateArea), ns.plates.size(),
                        100.0 * densest);
        }
    }
    return 0;
}
