#include "nesting/optimise.h"

#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/number_text.h"
#include "base/platform.h"
#include "nesting/layout_all.h"
#include "nesting/optimise_search.h"
#include "nesting/strip_search.h"

namespace orvo {

LayoutScore scoreLayout(const NestSystem& ns)
{
    LayoutScore score;
    double plateArea = 0.0;
    for (const Plate& plate : ns.plates) {
        ++score.plates;
        plateArea += boxArea(plate.outerBox);
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

namespace {


std::string statusText(double seconds, const LayoutScore& score)
{
    return "优化排样中... " + formatFixed(seconds, 1) + " 秒, 板材 " + std::to_string(score.plates) +
           " 张, 末板长度 " + formatFixed(score.lastPlateLength, 1) + ", 利用率 " +
           formatFixed(score.utilisation, 2) + "%";
}

// One search thread: the large-neighbourhood search or the strip search. On a strip (every
// placed part on one plate) the strip search leaves the other far behind, and with four
// threads or more only every fourth thread still runs the large-neighbourhood search, for
// a second kind of move; a layout that comes down to one plate during the search takes
// that arrangement from then on. On several plates the even threads run the large-
// neighbourhood search and the odd ones the strip search, for libraries of up to
// kMostPlateStripParts placed parts. On larger ones every thread keeps the large-
// neighbourhood search: measured on 200 parts over 4 plates and 800 over 16, it misses
// the threads more than the strip search helps, and starts worse from its layouts.
struct Searcher {
    std::unique_ptr<LayoutSearch> lns;
    std::unique_ptr<StripSearch> strip;

    LayoutScore score() const { return strip ? strip->score() : lns->score(); }
    void writeLayout(NestSystem& ns) const
    {
        if (strip) strip->writeLayout(ns);
        else lns->writeLayout(ns);
    }
    void step(const LayoutSearch::HaltCheck& halted)
    {
        if (strip) strip->step(halted);
        else lns->step(halted);
    }
    int64_t run(int64_t count, const std::atomic<bool>& halt, const std::atomic<bool>& stop)
    {
        return strip ? strip->run(count, halt, stop) : lns->run(count, halt, stop);
    }
};

constexpr int32_t kMostPlateStripParts = 100;

int32_t threadCount(int32_t wanted)
{
    if (wanted > 0) return wanted;
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? static_cast<int32_t>(cores) : 1;
}

}  // namespace

OptimiseOutcome optimiseLayoutAll(NestSystem& ns, const OptimiseSettings& settings,
                                  const std::atomic<bool>& stop)
{
    Platform& platform = ns.platform();
    const double start = platform.monotonicSeconds();
    OptimiseOutcome outcome;
    outcome.threads = threadCount(settings.threads);

    // The start: the better of the two greedy layouts. The HAPE layout is kept as a copy:
    // laid out again after another layout, the parts carry that layout's rounding and may
    // come out a little differently. A stop during the multi-step layout keeps HAPE's.
    layoutAll(ns, LayoutMethod::Gravity);
    const LayoutScore hape = scoreLayout(ns);
    const LayoutSearch hapeLayout(ns, settings.seed, 0);
    layoutAll(ns, LayoutMethod::MultiStep, &stop);
    const bool multiWhole = !stop.load();
    const LayoutScore multi = scoreLayout(ns);
    outcome.start = LayoutMethod::MultiStep;
    outcome.startScore = multi;
    if (!multiWhole || betterScore(hape, multi)) {
        hapeLayout.writeLayout(ns);
        outcome.start = LayoutMethod::Gravity;
        outcome.startScore = scoreLayout(ns);
    }
    outcome.score = outcome.startScore;

    const double searchStart = platform.monotonicSeconds();
    const bool timed = settings.seconds > 0.0;
    const bool counted = settings.iterations > 0;
    if (outcome.score.placed == 0 || (!timed && !counted && stop.load())) {
        outcome.stopped = stop.load();
        outcome.seconds = platform.monotonicSeconds() - start;
        return outcome;
    }

    // Every thread searches its own copy with its own random stream. After each round of
    // kOptimiseRoundSteps attempts per thread, the best copy (ties: the lowest thread index) goes
    // into the system when it improves, and the threads behind it continue from it: a
    // round's work is fixed by the seed and the thread index, so that a seed, a thread
    // count and an iteration budget fix the result.
    bool strip = StripSearch::applies(ns);
    const bool plateStrip = !strip && outcome.score.placed <= kMostPlateStripParts;
    std::vector<std::unique_ptr<Searcher>> searches;
    for (int32_t t = 0; t < outcome.threads; ++t) {
        auto searcher = std::make_unique<Searcher>();
        if (strip ? t % 4 != 3 : plateStrip && t % 2 == 1)
            searcher->strip = std::make_unique<StripSearch>(ns, settings.seed, static_cast<uint64_t>(t));
        else
            searcher->lns = std::make_unique<LayoutSearch>(ns, settings.seed, static_cast<uint64_t>(t));
        searches.push_back(std::move(searcher));
    }
    // A large-neighbourhood search that takes over another kind's layout starts afresh
    // from the system, with a random stream of its own for each round.
    uint64_t rounds = 0;

    std::atomic<bool> halt{false};
    bool timeUp = false;
    int64_t percentShown = -1;
    while (!stop.load() && !timeUp) {
        const int64_t remaining = counted ? settings.iterations - outcome.iterations : kOptimiseRoundSteps * outcome.threads;
        if (remaining <= 0) break;
        std::vector<int64_t> quota(searches.size(), kOptimiseRoundSteps);
        if (remaining < kOptimiseRoundSteps * outcome.threads) {
            for (size_t t = 0; t < quota.size(); ++t)
                quota[t] = remaining / outcome.threads + (static_cast<int64_t>(t) < remaining % outcome.threads ? 1 : 0);
        }
        std::vector<int64_t> done(searches.size(), 0);
        {
            std::vector<std::jthread> workers;
            for (size_t t = 1; t < searches.size(); ++t) {
                workers.emplace_back([&, t] {
                    done[t] = searches[t]->run(quota[t], halt, stop);
                });
            }
            // The calling thread searches too, and alone reads the clock: between its
            // attempts and between the placements of one, so that a long attempt of a large
            // library does not overrun the budget.
            const LayoutSearch::HaltCheck halted = [&] {
                if (!timeUp && timed && platform.monotonicSeconds() - searchStart >= settings.seconds) timeUp = true;
                if (stop.load() || timeUp) halt.store(true);
                return halt.load();
            };
            for (int64_t i = 0; i < quota[0] && !halted(); ++i) {
                searches[0]->step(halted);
                ++done[0];
            }
            halted();
        }
        // The other threads end their current attempt at a stop or when the time is up.
        for (int64_t d : done) outcome.iterations += d;

        size_t best = 0;
        LayoutScore bestScore = searches[0]->score();
        for (size_t t = 1; t < searches.size(); ++t) {
            const LayoutScore s = searches[t]->score();
            if (betterScore(s, bestScore)) {
                best = t;
                bestScore = s;
            }
        }
        const double elapsed = platform.monotonicSeconds() - start;
        if (betterScore(bestScore, outcome.score)) {
            searches[best]->writeLayout(ns);
            outcome.score = scoreLayout(ns);
            platform.setWorldBoxAndFit(ns.platesBox());
            platform.repaintNow();
        }
        // A thread behind the best continues from it (the system holds a layout as good);
        // the others keep exploring their own. After the last round nobody continues.
        ++rounds;
        const bool last = stop.load() || timeUp || (counted && outcome.iterations >= settings.iterations);
        if (!strip && !last && StripSearch::applies(ns)) {
            // Down to one plate: the strip arrangement, the new strip searches from the system.
            strip = true;
            for (size_t t = 0; t < searches.size(); ++t) {
                Searcher& s = *searches[t];
                const bool wantsStrip = t % 4 != 3;
                if (wantsStrip == static_cast<bool>(s.strip)) continue;
                const uint64_t stream = rounds * static_cast<uint64_t>(outcome.threads) + t;
                if (wantsStrip) {
                    s.lns.reset();
                    s.strip = std::make_unique<StripSearch>(ns, settings.seed, stream);
                } else {
                    s.strip.reset();
                    s.lns = std::make_unique<LayoutSearch>(ns, settings.seed, stream);
                }
            }
        }
        for (size_t t = 0; t < searches.size() && !last; ++t) {
            Searcher& s = *searches[t];
            if (t == best || !betterScore(bestScore, s.score())) continue;
            if (s.strip) {
                // On several plates a strip search's attempt spans many rounds: it ends
                // before the search takes over the best layout, unless that has fewer plates.
                if (!strip && s.strip->attempting() && bestScore.plates == s.score().plates) continue;
                s.strip->loadLayout(ns);
            } else if (searches[best]->lns) {
                s.lns->copyLayout(*searches[best]->lns);
            } else {
                s.lns = std::make_unique<LayoutSearch>(ns, settings.seed, rounds * static_cast<uint64_t>(outcome.threads) + t);
            }
        }
        platform.setStatusText(statusText(elapsed, outcome.score));
        int64_t percent = 0;
        if (counted) percent = outcome.iterations * 100 / settings.iterations;
        if (timed) {
            const double share = (platform.monotonicSeconds() - searchStart) / settings.seconds * 100.0;
            percent = std::max<int64_t>(percent, static_cast<int64_t>(std::min(share, 100.0)));
        }
        percent = std::min<int64_t>(percent, 100);
        if (percent != percentShown) {
            platform.setProgressPercent(static_cast<int>(percent));
            percentShown = percent;
        }
    }
    outcome.stopped = stop.load();
    outcome.seconds = platform.monotonicSeconds() - start;
    platform.setStatusText(statusText(outcome.seconds, outcome.score));
    return outcome;
}

}  // namespace orvo
