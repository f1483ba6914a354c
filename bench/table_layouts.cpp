// Lays out the benchmark part libraries with Layout All and prints one Markdown row per
// library and method: parts, plates, utilisation, first-plate density, unplaced parts,
// seconds, peak memory, whether the layout is legal and a fingerprint of the layout.
// Every run happens in a child process, so that its peak memory is its own and a run
// over the time budget can be stopped. Exits with 1 when a layout is illegal, 2 on bad arguments.
//
//   table_layouts [--method hape|multistep]... [--set esicup|synthetic|gardeyn]...
//                 [--filter TEXT]... [--budget SECONDS] [--dir FOLDER]

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "geometry/overlap.h"
#include "nesting/layout_all.h"
#include "nesting/gravity.h"
#include "app/open_library.h"
#include "nesting/nest_system.h"
#include "support/layout_fingerprint.h"
#include "support/library_text.h"
#include "support/temp_folder.h"
#include "table_support.h"

namespace fs = std::filesystem;

namespace {

using orvo::bench::SilentPlatform;

struct Options {
    std::vector<std::string> methods;
    std::vector<std::string> sets;
    std::vector<std::string> filters;
    double budgetSeconds = 600.0;
    std::string dir = ORVO_BENCHMARK_DIR;
};

struct Result {
    int parts = 0;
    orvo::bench::LayoutFigures figures;
    double seconds = 0.0;
    uint64_t fingerprint = 0;
};

// Runs in the child: opens the library in a scratch work folder, lays it out, measures.
bool runOne(const std::string& path, orvo::LayoutMethod method, Result& result)
{
    const orvo::test::TempFolder work;
    SilentPlatform platform;
    orvo::NestSystem ns(platform, work.path());
    if (!orvo::openPartLibrary(ns, path)) return false;
    const int rn = orvo::test::headerRotationNumber(path);
    if (rn > 0) ns.setRotationNumber(rn);
    const double start = platform.monotonicSeconds();
    orvo::layoutAll(ns, method);
    result.seconds = platform.monotonicSeconds() - start;
    result.parts = static_cast<int>(ns.nestParts.size());
    result.figures = orvo::bench::layoutFigures(ns);
    result.fingerprint = orvo::test::layoutFingerprint(ns);
    return true;
}

struct Outcome {
    bool finished = false;
    bool failed = false;
    Result result;
    long peakKb = 0;
};

Outcome runInChild(const std::string& path, orvo::LayoutMethod method, double budget)
{
    Outcome outcome;
    const orvo::bench::ChildRun run = orvo::bench::measureInChild(
        [&](Result& r) { return runOne(path, method, r); }, outcome.result, budget);
    outcome.finished = run.finished;
    outcome.failed = run.failed;
    outcome.peakKb = run.peakKb;
    return outcome;
}

bool parseOptions(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--method" && hasValue) o.methods.push_back(argv[++i]);
        else if (arg == "--set" && hasValue) o.sets.push_back(argv[++i]);
        else if (arg == "--filter" && hasValue) o.filters.push_back(argv[++i]);
        else if (arg == "--budget" && hasValue) o.budgetSeconds = std::atof(argv[++i]);
        else if (arg == "--dir" && hasValue) o.dir = argv[++i];
        else return false;
    }
    if (o.methods.empty()) o.methods.push_back("hape");
    if (o.sets.empty()) o.sets = {"esicup", "synthetic", "gardeyn"};
    for (const std::string& m : o.methods) {
        if (m != "hape" && m != "multistep") return false;
    }
    return o.budgetSeconds > 0.0;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s [--method hape|multistep]... [--set NAME]... [--filter TEXT]... "
                     "[--budget SECONDS] [--dir FOLDER]\n",
                     argv[0]);
        return 2;
    }
    std::printf("| library | method | parts | plates | utilisation %% | plate-1 density %% "
                "| unplaced | seconds | peak MB | legal | fingerprint |\n");
    std::printf("|---|---|---:|---:|---:|---:|---:|---:|---:|---|---|\n");
    std::fflush(stdout);
    bool allLegal = true;
    for (const std::string& path : orvo::bench::benchmarkLibraries(options.dir, options.sets, options.filters)) {
        const std::string name = fs::path(path).stem().string();
        for (const std::string& m : options.methods) {
            const auto method = m == "hape" ? orvo::LayoutMethod::Gravity : orvo::LayoutMethod::MultiStep;
            const Outcome o = runInChild(path, method, options.budgetSeconds);
            const double peakMb = o.peakKb / 1024.0;
            if (!o.finished) {
                std::printf("| %s | %s | | | | | | > %.0f (stopped) | %.1f | | |\n", name.c_str(),
                            m.c_str(), options.budgetSeconds, peakMb);
            } else if (o.failed) {
                std::printf("| %s | %s | | | | | | | %.1f | not run | |\n", name.c_str(), m.c_str(),
                            peakMb);
            } else {
                const Result& r = o.result;
                allLegal = allLegal && r.figures.legal;
                std::printf("| %s | %s | %d | %d | %.2f | %.2f | %d | %.2f | %.1f | %s | %016llx |\n",
                            name.c_str(), m.c_str(), r.parts, r.figures.plates, r.figures.utilisation,
                            r.figures.firstPlateDensity, r.figures.unplaced, r.seconds, peakMb,
                            r.figures.legal ? "yes" : "NO",
                            static_cast<unsigned long long>(r.fingerprint));
            }
            std::fflush(stdout);
        }
    }
    return allLegal ? 0 : 1;
}
