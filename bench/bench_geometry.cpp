#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "geometry/overlap.h"

using namespace orvo;

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
    Contour k;
    k.setPoints(points);
    return k;
}

Contour star(double cx, double cy)
{
    std::vector<Point> points;
    for (int i = 0; i < kVertices; ++i) {
        const double angle = 2.0 * kPi * i / kVertices;
        const double radius = i % 2 == 0 ? 100.0 : 80.0;
        points.emplace_back(cx + radius * std::cos(angle), cy + radius * std::sin(angle));
    }
    Contour k;
    k.setPoints(points);
    return k;
}

Part partOf(const Contour& outer)
{
    Part part;
    part.initShape(outer, ContourList());
    return part;
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

}  // namespace

BENCHMARK(BM_PartsDisjoint_BoxesApart);
BENCHMARK(BM_PartsDisjoint_BoxesOverlapShapesApart);
BENCHMARK(BM_PartsDisjoint_Colliding);
BENCHMARK(BM_PointInContour);

BENCHMARK_MAIN();
