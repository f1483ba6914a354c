// Lays out the benchmark part libraries with HAPE and with the optimised Layout All for
// each time budget and thread count, and prints one Markdown row per run: plates,
// first-plate density, utilisation, unplaced parts, seconds, search iterations per second
// and whether the layout passes the independent legality check. Every run happens in a
// child process. Exits with 1 when a layout is illegal or worse than HAPE's, 2 on bad
// arguments.
//
//   table_optimise [--time SECONDS]... [--threads N]... [--set esicup|synthetic|gardeyn]...
//                  [--filter TEXT]... [--seed N] [--iterations N] [--no-hape] [--dir FOLDER]

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/open_library.h"
#include "nesting/layout_all.h"
#include "nesting/nest_system.h"
#include "nesting/optimise.h"
#include "support/layout_fingerprint.h"
#include "support/library_text.h"
#include "support/temp_folder.h"
#include "table_support.h"

namespace fs = std::filesystem;

namespace {

using orvo::bench::SilentPlatform;

struct Options {
    std::vector<double> times;
    std::vector<int> threads;
    std::vector<std::string> sets;
    std::vector<std::string> filters;
    uint64_t seed = 1;
    int64_t iterations = 0;
    bool hape = true;
    std::string dir = ORVO_BENCHMARK_DIR;
};

struct Result {
    orvo::bench::LayoutFigures figures;
    double lastLength = 0.0;
    double seconds = 0.0;
    int64_t iterations = 0;
    double searchSeconds = 0.0;
    uint64_t fingerprint = 0;
};

// Runs in the child. seconds < 0: HAPE; otherwise the optimised layout with that budget.
bool runOne(const std::string& path, double seconds, int threads, const Options& o, Result& result)
{
    const orvo::test::TempFolder work;
    SilentPlatform platform;
    orvo::NestSystem ns(platform, work.path());
    if (!orvo::openPartLibrary(ns, path)) return false;
    const int rn = orvo::test::headerRotationNumber(path);
    if (rn > 0) ns.setRotationNumber(rn);
    const double start = platform.monotonicSeconds();
    if (seconds < 0.0) {
        orvo::layoutAll(ns, orvo::LayoutMethod::Gravity);
    } else {
        orvo::OptimiseSettings settings;
        settings.seconds = seconds;
        settings.threads = threads;
        settings.seed = o.seed;
        settings.iterations = o.iterations;
        const std::atomic<bool> stop{false};
        const orvo::OptimiseOutcome outcome = orvo::optimiseLayoutAll(ns, settings, stop);
        result.iterations = outcome.iterations;
        result.searchSeconds = outcome.seconds;
    }
    result.seconds = platform.monotonicSeconds() - start;
    result.figures = orvo::bench::layoutFigures(ns);
    result.fingerprint = orvo::test::layoutFingerprint(ns);
    if (!ns.plates.empty()) result.lastLength = ns.packedEdge(ns.plates.back()) - ns.plates.back().outerBox.min_X;
    return true;
}

bool parseOptions(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--time" && hasValue) o.times.push_back(std::atof(argv[++i]));
        else if (arg == "--threads" && hasValue) o.threads.push_back(std::atoi(argv[++i]));
        else if (arg == "--set" && hasValue) o.sets.push_back(argv[++i]);
        else if (arg == "--filter" && hasValue) o.filters.push_back(argv[++i]);
        else if (arg == "--seed" && hasValue) o.seed = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--iterations" && hasValue) o.iterations = std::atoll(argv[++i]);
        else if (arg == "--no-hape") o.hape = false;
        else if (arg == "--dir" && hasValue) o.dir = argv[++i];
        else return false;
    }
    if (o.times.empty()) o.times = {10.0, 60.0};
    if (o.threads.empty()) o.threads = {2};
    if (o.sets.empty()) o.sets = {"esicup", "synthetic"};
    for (double t : o.times) {
        if (!(t > 0.0)) return false;
    }
    return true;
}

void printRow(const std::string& name, const std::string& method, int threads, const orvo::bench::ChildRun& run,
              const Result& r)
{
    if (!run.finished || run.failed) {
        std::printf("| %s | %s | %d | | | | | | | %s |\n", name.c_str(), method.c_str(), threads,
                    run.finished ? "not run" : "stopped");
        return;
    }
    const double rate = r.searchSeconds > 0.0 && r.iterations > 0 ? r.iterations / r.searchSeconds : 0.0;
    std::printf("| %s | %s | %d | %d | %.2f | %.2f | %.1f | %d | %.1f | %lld | %.1f | %s |\n", name.c_str(),
                method.c_str(), threads, r.figures.plates, r.figures.firstPlateDensity, r.figures.utilisation, r.lastLength, r.figures.unplaced,
                r.seconds, static_cast<long long>(r.iterations), rate, r.figures.legal ? "yes" : "NO");
    // On stderr, to tell runs of a fixed iteration budget apart without a wider table.
    std::fprintf(stderr, "%s %s %d fingerprint %016llx\n", name.c_str(), method.c_str(), threads,
                 static_cast<unsigned long long>(r.fingerprint));
}

// Worse than HAPE: fewer parts placed, more plates, or a longer last plate.
bool worse(const Result& r, const Result& hape)
{
    if (r.figures.unplaced != hape.figures.unplaced) return r.figures.unplaced > hape.figures.unplaced;
    if (r.figures.plates != hape.figures.plates) return r.figures.plates > hape.figures.plates;
    return r.lastLength > hape.lastLength + 1e-6;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s [--time SECONDS]... [--threads N]... [--set NAME]... [--filter TEXT]... "
                     "[--seed N] [--iterations N] [--no-hape] [--dir FOLDER]\n",
                     argv[0]);
        return 2;
    }
    std::printf("| library | method | threads | plates | plate-1 density %% | utilisation %% | last plate length "
                "| unplaced | seconds | iterations | iterations/s | legal |\n");
    std::printf("|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|\n");
    std::fflush(stdout);
    bool allGood = true;
    for (const std::string& path : orvo::bench::benchmarkLibraries(options.dir, options.sets, options.filters)) {
        const std::string name = fs::path(path).stem().string();
        Result hape;
        bool hapeKnown = false;
        if (options.hape) {
            const orvo::bench::ChildRun run = orvo::bench::measureInChild(
                [&](Result& r) { return runOne(path, -1.0, 1, options, r); }, hape, 600.0);
            printRow(name, "hape", 1, run, hape);
            hapeKnown = run.finished && !run.failed;
        }
        for (double t : options.times) {
            for (int threads : options.threads) {
                Result r;
                const orvo::bench::ChildRun run = orvo::bench::measureInChild(
                    [&](Result& out) { return runOne(path, t, threads, options, out); }, r, 3.0 * t + 300.0);
                char method[48];
                std::snprintf(method, sizeof method, "optimise %gs", t);
                printRow(name, method, threads, run, r);
                if (run.finished && !run.failed) {
                    allGood = allGood && r.figures.legal && !(hapeKnown && worse(r, hape));
                } else {
                    allGood = false;
                }
                std::fflush(stdout);
            }
        }
    }
    return allGood ? 0 : 1;
}
