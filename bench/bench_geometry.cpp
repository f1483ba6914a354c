#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "geometry/overlap.h"
#include "nesting/gravity.h"
#include "nesting/nest_system.h"
#include "support/nest_session.h"
#include "support/shapes.h"

using namespace orvo;
using test::contourOf;
using test::partOf;

namespace {

constexpr int kVertices = 200;

// A polygon with the given corners, its sides divided so that it has kVertices vertices
// spread evenly along the boundary (the shape of a discretised outline).
Contour subdivided(const std::vector<Point>& corners)
{
    const size_t n = corners.size();
    double perimeter = 0.0;
    for (size_t i = 0; i < n; ++i) perimeter += distance(corners[i], corners[(i + 1) % n]);
    std::vector<Point> points;
    size_t side = 0;
    double sideStart = 0.0;  // boundary length before the current side
    for (int v = 0; v < kVertices; ++v) {
        const double at = perimeter * v / kVertices;
        while (side + 1 < n && sideStart + distance(corners[side], corners[(side + 1) % n]) <= at) {
            sideStart += distance(corners[side], corners[(side + 1) % n]);
            ++side;
        }
        const Point& a = corners[side];
        const Point& b = corners[(side + 1) % n];
        const double f = (at - sideStart) / distance(a, b);
        points.emplace_back(a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f);
    }
    return contourOf(points);
}

Contour star(double cx, double cy)
{
    std::vector<Point> points;
    for (int i = 0; i < kVertices; ++i) {
        const double angle = 2.0 * kPi * i / kVertices;
        const double radius = i % 2 == 0 ? 100.0 : 80.0;
        points.emplace_back(cx + radius * std::cos(angle), cy + radius * std::sin(angle));
    }
    return contourOf(points);
}

void runPartsDisjoint(benchmark::State& state, const Part& p, const Part& q)
{
    for (auto _ : state) benchmark::DoNotOptimize(partsDisjoint(p, q));
}

void BM_PartsDisjoint_BoxesApart(benchmark::State& state)
{
    runPartsDisjoint(state, partOf(star(0, 0)), partOf(star(500, 0)));
}

// Two interlocking L shapes: the boxes overlap, the shapes keep 5 mm apart, so every
// vertex and every edge pair is examined.
void BM_PartsDisjoint_BoxesOverlapShapesApart(benchmark::State& state)
{
    const Part l1 = partOf(subdivided({{0, 0}, {300, 0}, {300, 100}, {100, 100}, {100, 300}, {0, 300}}));
    const Part l2 = partOf(subdivided({{405, 405}, {105, 405}, {105, 305}, {305, 305}, {305, 105}, {405, 105}}));
    if (l1.outer.count() != kVertices || l2.outer.count() != kVertices || !partsDisjoint(l1, l2))
        state.SkipWithError("expected two apart L shapes of 200 vertices");
    runPartsDisjoint(state, l1, l2);
}

void BM_PartsDisjoint_Colliding(benchmark::State& state)
{
    runPartsDisjoint(state, partOf(star(0, 0)), partOf(star(150, 30)));
}

void BM_PointInContour(benchmark::State& state)
{
    const Contour k = star(0, 0);
    const Point p(10, 20);
    for (auto _ : state) benchmark::DoNotOptimize(pointInContour(k, p));
}

// A benchmark library laid out by gravity on one plate until half of the plate's area is
// taken (half of the parts' area on the long plates of strip instances), with the grid of
// that plate; the next unplaced part is the one to place.
struct HalfPlate {
    test::NestSession session;
    NestSystem& ns = session.ns;
    const Plate* plate = nullptr;
    const Part* next = nullptr;

    explicit HalfPlate(const std::string& library)
    {
        if (!session.openLibrary(std::string(ORVO_BENCHMARK_DIR) + "/" + library)) return;
        ns.plates.push_back(ns.createPlate(0, ns.plateLength, ns.plateWidth));
        plate = &ns.plates.back();
        ns.generatePackingPoints(*plate);
        const double half = 0.5 * std::min(boxArea(plate->innerBox), ns.totalArea());
        for (Part& part : ns.nestParts) {
            if (ns.placedArea() >= half) {
                if (part.plateId == -1 && next == nullptr) next = &part;
                continue;
            }
            gravityPlace(ns, *plate, part);
        }
    }
};

// One gravityPlace of the next part on a half-filled plate: the hot path of Layout All.
// Each run places a fresh copy on the same plate, whose grid is restored untimed.
void BM_GravityPlace_HalfPlate(benchmark::State& state, const char* library)
{
    HalfPlate setup(library);
    if (setup.next == nullptr) {
        state.SkipWithError("benchmark library missing or filled no half plate");
        return;
    }
    NestSystem& ns = setup.ns;
    const std::vector<PackingPoint> grid = ns.packingPoints.points;
    for (auto _ : state) {
        Part part = *setup.next;
        benchmark::DoNotOptimize(gravityPlace(ns, *setup.plate, part));
        state.PauseTiming();
        ns.packingPoints.points = grid;
        state.ResumeTiming();
    }
}

}  // namespace

BENCHMARK_CAPTURE(BM_GravityPlace_HalfPlate, sheet200, "synthetic/sheet200.preSrc")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GravityPlace_HalfPlate, gardeyn5, "gardeyn/gardeyn5.preSrc")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PartsDisjoint_BoxesApart);
BENCHMARK(BM_PartsDisjoint_BoxesOverlapShapesApart);
BENCHMARK(BM_PartsDisjoint_Colliding);
BENCHMARK(BM_PointInContour);

BENCHMARK_MAIN();
