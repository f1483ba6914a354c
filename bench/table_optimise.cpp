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
#include <map>
#include <string>
#include <vector>

#include "app/open_library.h"
#include "nesting/layout_all.h"
#include "nesting/nest_system.h"
#include "nesting/optimise.h"
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
    int plates = 0;
    int unplaced = 0;
    double utilisation = 0.0;
    double firstPlateDensity = 0.0;
    double lastLength = 0.0;
    double seconds = 0.0;
    int64_t iterations = 0;
    double searchSeconds = 0.0;
    int legal = 0;
};

// Utilisation and first-plate density on the true shapes' areas, as the layout table
// measures them: the density over the first plate's width times its packed length.
void measure(const orvo::NestSystem& ns, Result& r)
{
    std::map<int32_t, double> trueArea;
    for (const orvo::Part& s : ns.trueShapes) trueArea.emplace(s.partId, s.netArea);
    r.plates = static_cast<int>(ns.plates.size());
    r.unplaced = ns.unplacedCount();
    r.legal = orvo::bench::layoutIsLegal(ns) ? 1 : 0;
    double plateArea = 0.0;
    for (const orvo::Plate& p : ns.plates) plateArea += orvo::boxArea(p.outerBox);
    double placed = 0.0;
    double firstPlaced = 0.0;
    const orvo::Plate* first = ns.plates.empty() ? nullptr : &ns.plates.front();
    double reach = first != nullptr ? first->outerBox.min_X : 0.0;
    for (const orvo::Part& part : ns.nestParts) {
        if (part.plateId == -1) continue;
        const auto found = trueArea.find(part.partId);
        const double area = found != trueArea.end() ? found->second : part.netArea;
        placed += area;
        if (first != nullptr && part.plateId == first->id) {
            firstPlaced += area;
            reach = std::max(reach, part.box.max_X);
        }
    }
    r.utilisation = plateArea > 0.0 ? 100.0 * placed / plateArea : 0.0;
    if (first != nullptr) {
        const double length = reach - first->outerBox.min_X;
        const double width = first->outerBox.max_Y - first->outerBox.min_Y;
        r.firstPlateDensity = length > 0.0 ? 100.0 * firstPlaced / (width * length) : 0.0;
    }
    if (!ns.plates.empty()) r.lastLength = ns.packedEdge(ns.plates.back()) - ns.plates.back().outerBox.min_X;
}

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
    measure(ns, result);
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

std::vector<std::string> libraries(const Options& o)
{
    std::vector<std::string> found;
    for (const std::string& set : o.sets) {
        std::vector<std::string> inSet;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(fs::path(o.dir) / set, error)) {
            if (entry.path().extension() != ".preSrc") continue;
            const std::string name = entry.path().stem().string();
            const bool wanted = o.filters.empty() || std::any_of(o.filters.begin(), o.filters.end(), [&](const std::string& f) {
                                    return name.find(f) != std::string::npos;
                                });
            if (wanted) inSet.push_back(entry.path().string());
        }
        std::sort(inSet.begin(), inSet.end());
        found.insert(found.end(), inSet.begin(), inSet.end());
    }
    return found;
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
                method.c_str(), threads, r.plates, r.firstPlateDensity, r.utilisation, r.lastLength, r.unplaced,
                r.seconds, static_cast<long long>(r.iterations), rate, r.legal ? "yes" : "NO");
}

// Worse than HAPE: fewer parts placed, more plates, or a longer last plate.
bool worse(const Result& r, const Result& hape)
{
    if (r.unplaced != hape.unplaced) return r.unplaced > hape.unplaced;
    if (r.plates != hape.plates) return r.plates > hape.plates;
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
    for (const std::string& path : libraries(options)) {
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
                    allGood = allGood && r.legal && !(hapeKnown && worse(r, hape));
                } else {
                    allGood = false;
                }
                std::fflush(stdout);
            }
        }
    }
    return allGood ? 0 : 1;
}
