#include "nesting/optimise.h"

#include <string>

#include "base/number_text.h"
#include "base/platform.h"
#include "nesting/layout_all.h"

namespace orvo {

LayoutScore scoreLayout(const NestSystem& ns)
{
    LayoutScore score;
    double plateArea = 0.0;
    for (const Plate& plate : ns.plates) {
        ++score.plates;
        plateArea += boxWidth(plate.outerBox) * boxHeight(plate.outerBox);
    }
    for (const Part& part : ns.nestParts) {
        if (part.plateId != -1) ++score.placed;
    }
    if (!ns.plates.empty()) {
        const Plate& last = ns.plates.back();
        score.lastPlateLength = ns.packedEdge(last) - last.outerBox.min_X;
    }
    score.utilisation = plateArea > 0.0 ? ns.placedArea() / plateArea * 100.0 : 0.0;
    return score;
}

bool betterScore(const LayoutScore& a, const LayoutScore& b)
{
    if (a.placed != b.placed) return a.placed > b.placed;
    if (a.plates != b.plates) return a.plates < b.plates;
    return a.lastPlateLength < b.lastPlateLength;
}

OptimiseOutcome optimiseLayoutAll(NestSystem& ns, const OptimiseSettings& settings,
                                  const std::atomic<bool>& stop)
{
    (void)settings;
    (void)stop;
    Platform& platform = ns.platform();
    const double start = platform.monotonicSeconds();
    OptimiseOutcome outcome;

    // The start: the better of the two greedy layouts. Both are deterministic, so the
    // better one is laid out again rather than copied.
    layoutAll(ns, LayoutMethod::Gravity);
    const LayoutScore hape = scoreLayout(ns);
    layoutAll(ns, LayoutMethod::MultiStep);
    const LayoutScore multi = scoreLayout(ns);
    outcome.start = LayoutMethod::MultiStep;
    outcome.startScore = multi;
    if (betterScore(hape, multi)) {
        layoutAll(ns, LayoutMethod::Gravity);
        outcome.start = LayoutMethod::Gravity;
        outcome.startScore = hape;
    }
    outcome.score = outcome.startScore;
    outcome.seconds = platform.monotonicSeconds() - start;
    return outcome;
}

}  // namespace orvo
