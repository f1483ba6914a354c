// The conflict marks of the desktop program on a big layout: sheet800's 800 parts set
// out row by row on one plate by their boxes (all on one plate is the worst case, every
// moved part meets every other in the box rejection). A paint with nothing moved, a
// drag of one part and the full test after a layout method must stay well below a frame.
#include <benchmark/benchmark.h>

#include <string>

#include "app/layout_figures.h"
#include "support/nest_session.h"

namespace orvo {
namespace {

struct RowLayout {
    test::NestSession session;
    NestSystem& ns = session.ns;
    bool ok = false;

    explicit RowLayout(const std::string& library)
    {
        if (!session.openLibrary(std::string(ORVO_BENCHMARK_DIR) + "/" + library)) return;
        const double length = 12000.0;
        double x = 0.0;
        double y = 0.0;
        double rowHeight = 0.0;
        for (Part& part : ns.nestParts) {
            const double w = boxWidth(part.box);
            if (x + w > length) {
                x = 0.0;
                y += rowHeight;
                rowHeight = 0.0;
            }
            part.translatePart(x - part.box.min_X, y - part.box.min_Y);
            part.plateId = 0;
            x += w;
            rowHeight = std::max(rowHeight, boxHeight(part.box));
        }
        Plate plate;
        plate.outerBox = {-10.0, length + 10.0, -10.0, y + rowHeight + 10.0};
        plate.innerBox = {-5.0, length + 5.0, -5.0, y + rowHeight + 5.0};
        ns.plates.push_back(plate);
        ok = true;
    }
};

void BM_ConflictMarks_NothingMoved(benchmark::State& state)
{
    RowLayout setup("synthetic/sheet800.preSrc");
    if (!setup.ok) return state.SkipWithError("benchmark library missing");
    ConflictTracker tracker;
    tracker.update(setup.ns);
    for (auto _ : state) benchmark::DoNotOptimize(tracker.update(setup.ns));
}

void BM_ConflictMarks_DragOnePart(benchmark::State& state)
{
    RowLayout setup("synthetic/sheet800.preSrc");
    if (!setup.ok) return state.SkipWithError("benchmark library missing");
    ConflictTracker tracker;
    tracker.update(setup.ns);
    Part& part = *std::next(setup.ns.nestParts.begin(), 400);
    double step = 3.0;
    for (auto _ : state) {
        part.translatePart(step, 0.0);
        step = -step;
        benchmark::DoNotOptimize(tracker.update(setup.ns));
    }
}

void BM_ConflictMarks_WholeLayout(benchmark::State& state)
{
    RowLayout setup("synthetic/sheet800.preSrc");
    if (!setup.ok) return state.SkipWithError("benchmark library missing");
    ConflictTracker tracker;
    for (auto _ : state) {
        tracker.reset();
        benchmark::DoNotOptimize(tracker.update(setup.ns));
    }
}

}  // namespace
}  // namespace orvo

BENCHMARK(orvo::BM_ConflictMarks_NothingMoved)->Unit(benchmark::kMicrosecond);
BENCHMARK(orvo::BM_ConflictMarks_DragOnePart)->Unit(benchmark::kMicrosecond);
BENCHMARK(orvo::BM_ConflictMarks_WholeLayout)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
