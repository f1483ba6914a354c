#pragma once

#include <atomic>
#include <cstdint>

#include "nesting/nest_system.h"

namespace orvo {

// The budget and the reproducibility of an optimised Layout All. The search ends at the
// first of: the time budget spent, the iteration budget spent, a stop request.
struct OptimiseSettings {
    // Seconds of search after the start layout; not positive: no time budget (then an
    // iteration budget or a stop request must end the search).
    double seconds = 60.0;
    uint64_t seed = 1;
    // Search threads; 0 or less: every core of the machine.
    int32_t threads = 0;
    // Improvement attempts over all threads; 0: no iteration budget. With an iteration
    // budget and no time budget, a seed and a thread count give the same layout bit for bit.
    int64_t iterations = 0;
};

// How a layout ranks: more parts placed first, then fewer plates, then the shorter
// packed length of the last plate (from its left edge to the right-most part box).
struct LayoutScore {
    int32_t placed = 0;
    int32_t plates = 0;
    double lastPlateLength = 0.0;
    // Net area placed over the area of the plates used, in percent.
    double utilisation = 0.0;
};
LayoutScore scoreLayout(const NestSystem& ns);
// True when a ranks strictly before b.
bool betterScore(const LayoutScore& a, const LayoutScore& b);

// Attempts per thread between two comparisons of the threads' layouts: a stop request
// ends the search within one such round.
inline constexpr int64_t kOptimiseRoundSteps = 32;

struct OptimiseOutcome {
    LayoutMethod start = LayoutMethod::Gravity;  // the greedy layout the search began from
    LayoutScore startScore;
    LayoutScore score;  // of the layout left in the system
    int64_t iterations = 0;
    double seconds = 0.0;  // of the whole run, the start layouts included
    int32_t threads = 1;   // the thread count used
    bool stopped = false;  // ended by a stop request
};

// Layout All "optimise": lays out with HAPE and with the multi-step method, keeps the
// better, and improves it until the budget runs out or `stop` becomes true. The system
// always holds the best legal layout found so far: whenever it improves, the system's
// plates and parts are replaced in one step on the calling thread and the platform is
// told (world box, repaint, progress and status text with time, plates, the last
// plate's length and the utilisation). The clock is the platform's.
OptimiseOutcome optimiseLayoutAll(NestSystem& ns, const OptimiseSettings& settings,
                                  const std::atomic<bool>& stop);

}  // namespace orvo
