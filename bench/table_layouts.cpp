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
#include <map>
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
using orvo::bench::layoutIsLegal;

struct Options {
    std::vector<std::string> methods;
    std::vector<std::string> sets;
    std::vector<std::string> filters;
    double budgetSeconds = 600.0;
    std::string dir = ORVO_BENCHMARK_DIR;
};

struct Result {
    int parts = 0;
    int plates = 0;
    double utilisation = 0.0;
    double firstPlateDensity = 0.0;
    int unplaced = 0;
    double seconds = 0.0;
    int legal = 0;
    uint64_t fingerprint = 0;
};

Result measure(const orvo::NestSystem& ns, double seconds)
{
    std::map<int32_t, double> trueArea;  // the first true shape of every partId
    for (const orvo::Part& s : ns.trueShapes) trueArea.emplace(s.partId, s.netArea);

    Result r;
    r.parts = static_cast<int>(ns.nestParts.size());
    r.plates = static_cast<int>(ns.plates.size());
    r.unplaced = ns.unplacedCount();
    r.seconds = seconds;
    r.legal = layoutIsLegal(ns) ? 1 : 0;
    r.fingerprint = orvo::test::layoutFingerprint(ns);
    double plateArea = 0.0;
    for (const orvo::Plate& p : ns.plates) plateArea += orvo::boxArea(p.outerBox);
    double placed = 0.0;
    double firstPlaced = 0.0;
    const orvo::Plate* first = ns.plates.empty() ? nullptr : &ns.plates.front();
    double reach = first != nullptr ? first->outerBox.min_X : 0.0;
    for (const orvo::Part& part : ns.nestParts) {
        if (part.plateId == -1) continue;
        const double area = trueArea.count(part.partId) ? trueArea[part.partId] : part.netArea;
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
    return r;
}

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
    result = measure(ns, platform.monotonicSeconds() - start);
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

std::vector<std::string> libraries(const Options& o)
{
    std::vector<std::string> found;
    for (const std::string& set : o.sets) {
        std::vector<std::string> inSet;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(fs::path(o.dir) / set, error)) {
            const std::string path = entry.path().string();
            if (entry.path().extension() != ".preSrc") continue;
            const std::string name = entry.path().stem().string();
            const bool wanted = o.filters.empty()
                || std::any_of(o.filters.begin(), o.filters.end(), [&](const std::string& f) {
                       return name.find(f) != std::string::npos;
                   });
            if (wanted) inSet.push_back(path);
        }
        std::sort(inSet.begin(), inSet.end());
        found.insert(found.end(), inSet.begin(), inSet.end());
    }
    return found;
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
    for (const std::string& path : libraries(options)) {
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
                allLegal = allLegal && r.legal;
                std::printf("| %s | %s | %d | %d | %.2f | %.2f | %d | %.2f | %.1f | %s | %016llx |\n",
                            name.c_str(), m.c_str(), r.parts, r.plates, r.utilisation,
                            r.firstPlateDensity, r.unplaced, r.seconds, peakMb,
                            r.legal ? "yes" : "NO",
                            static_cast<unsigned long long>(r.fingerprint));
            }
            std::fflush(stdout);
        }
    }
    return allLegal ? 0 : 1;
}
