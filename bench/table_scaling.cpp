// How opening a library and the HAPE layout grow with the part count: generates sheet-metal
// libraries (bench/sheet_library.h), opens each one and lays it out with Layout All HAPE
// (800 and 3,200 parts) or only opens it (32,000 parts), and prints the times, the ratios
// and a fingerprint of every layout. Each run happens in a child process; with --repeat the
// fastest of the runs counts, as the machine may be busy. Wall and CPU seconds are both
// printed: CPU seconds are the steadier ones on a shared machine.
//
//   table_scaling [--repeat N] [--seed S] [--case PARTS:hape|none]... [--keep FOLDER]
// Exits with 1 when a layout is illegal or runs differ, 2 on bad arguments.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "app/open_library.h"
#include "geometry/overlap.h"
#include "nesting/layout_all.h"
#include "nesting/nest_system.h"
#include "sheet_library.h"
#include "support/layout_fingerprint.h"
#include "table_support.h"

namespace fs = std::filesystem;

namespace {

using orvo::bench::SilentPlatform;
using orvo::bench::layoutIsLegal;

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Case {
    int parts = 0;
    bool layout = false;
};

struct Result {
    double openWall = 0.0, openCpu = 0.0, layoutWall = 0.0, layoutCpu = 0.0;
    int parts = 0, plates = 0, unplaced = 0, legal = 1;
    uint64_t fingerprint = 0;
};

// In the child: open (and lay out) in a scratch work folder.
bool runOne(const std::string& path, bool layout, Result& r)
{
    const fs::path work =
        fs::temp_directory_path() / ("orvo_table_scaling_" + std::to_string(static_cast<long>(getpid())));
    fs::create_directories(work);
    SilentPlatform platform;
    bool ok = false;
    {
        orvo::NestSystem ns(platform, work.string());
        double wall = platform.monotonicSeconds();
        double cpu = cpuSeconds();
        if (orvo::openPartLibrary(ns, path)) {
            r.openWall = platform.monotonicSeconds() - wall;
            r.openCpu = cpuSeconds() - cpu;
            if (layout) {
                wall = platform.monotonicSeconds();
                cpu = cpuSeconds();
                orvo::layoutAll(ns, orvo::LayoutMethod::Gravity);
                r.layoutWall = platform.monotonicSeconds() - wall;
                r.layoutCpu = cpuSeconds() - cpu;
                r.legal = layoutIsLegal(ns) ? 1 : 0;
            }
            r.parts = static_cast<int>(ns.nestParts.size());
            r.plates = static_cast<int>(ns.plates.size());
            r.unplaced = ns.unplacedCount();
            r.fingerprint = orvo::test::layoutFingerprint(ns);
            ok = true;
        }
    }
    std::error_code ignored;
    fs::remove_all(work, ignored);
    return ok;
}

bool runInChild(const std::string& path, bool layout, Result& result)
{
    const orvo::bench::ChildRun run = orvo::bench::measureInChild(
        [&](Result& r) { return runOne(path, layout, r); }, result, std::numeric_limits<double>::infinity());
    return run.finished && !run.failed;
}

struct Options {
    int repeat = 1;
    uint64_t seed = 1;
    std::vector<Case> cases;
    std::string keep;
};

bool parseOptions(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--repeat" && hasValue) {
            o.repeat = std::atoi(argv[++i]);
        } else if (arg == "--seed" && hasValue) {
            o.seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "--keep" && hasValue) {
            o.keep = argv[++i];
        } else if (arg == "--case" && hasValue) {
            const std::string value = argv[++i];
            const size_t colon = value.find(':');
            if (colon == std::string::npos) return false;
            const std::string method = value.substr(colon + 1);
            if (method != "hape" && method != "none") return false;
            o.cases.push_back(Case{std::atoi(value.substr(0, colon).c_str()), method == "hape"});
            if (o.cases.back().parts <= 0) return false;
        } else {
            return false;
        }
    }
    if (o.cases.empty()) o.cases = {{800, true}, {3200, true}, {32000, false}};
    return o.repeat > 0;
}

struct Row {
    Case c;
    Result best;  // the fastest times over the runs
    bool ok = true;
    bool consistent = true;
};

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: %s [--repeat N] [--seed S] [--case PARTS:hape|none]... [--keep FOLDER]\n",
                     argv[0]);
        return 2;
    }
    const fs::path folder = options.keep.empty()
        ? fs::temp_directory_path() / ("orvo_scaling_libraries_" + std::to_string(static_cast<long>(getpid())))
        : fs::path(options.keep);
    fs::create_directories(folder);

    std::printf("| parts | layout | open s wall | open s CPU | HAPE s wall | HAPE s CPU | plates | unplaced "
                "| legal | fingerprint |\n|---:|---|---:|---:|---:|---:|---:|---:|---|---|\n");
    std::fflush(stdout);
    std::vector<Row> rows;
    bool good = true;
    for (const Case& c : options.cases) {
        const fs::path path = folder / ("sheet" + std::to_string(c.parts) + ".preSrc");
        {
            std::ofstream out(path, std::ios::binary);
            out << sheet::libraryText(c.parts, options.seed);
        }
        Row row{c, {}, true, true};
        for (int k = 0; k < options.repeat; ++k) {
            Result r;
            if (!runInChild(path.string(), c.layout, r)) {
                row.ok = false;
                break;
            }
            if (k == 0) {
                row.best = r;
                continue;
            }
            row.consistent = row.consistent && r.fingerprint == row.best.fingerprint;
            row.best.openWall = std::min(row.best.openWall, r.openWall);
            row.best.openCpu = std::min(row.best.openCpu, r.openCpu);
            row.best.layoutWall = std::min(row.best.layoutWall, r.layoutWall);
            row.best.layoutCpu = std::min(row.best.layoutCpu, r.layoutCpu);
        }
        const Result& b = row.best;
        if (!row.ok) {
            std::printf("| %d | %s | | | | | | | not run | |\n", c.parts, c.layout ? "hape" : "none");
        } else {
            std::printf("| %d | %s | %.2f | %.2f | %s | %s | %d | %d | %s | %016llx%s |\n", b.parts,
                        c.layout ? "hape" : "none", b.openWall, b.openCpu,
                        c.layout ? sheet::number(b.layoutWall).c_str() : "-",
                        c.layout ? sheet::number(b.layoutCpu).c_str() : "-", b.plates, b.unplaced,
                        b.legal ? "yes" : "NO", static_cast<unsigned long long>(b.fingerprint),
                        row.consistent ? "" : " (runs differ)");
        }
        std::fflush(stdout);
        good = good && row.ok && row.consistent && b.legal;
        rows.push_back(row);
    }

    // Ratios between consecutive laid-out cases, and the largest open.
    const Row* previous = nullptr;
    for (const Row& row : rows) {
        if (!row.ok) continue;
        if (row.c.layout && previous != nullptr && previous->best.layoutCpu > 0.0) {
            std::printf("HAPE %d / %d parts: %.2f wall, %.2f CPU (parts x%.1f)\n", row.c.parts, previous->c.parts,
                        row.best.layoutWall / previous->best.layoutWall, row.best.layoutCpu / previous->best.layoutCpu,
                        static_cast<double>(row.c.parts) / previous->c.parts);
        }
        if (row.c.layout) previous = &row;
    }
    const Row* smallest = rows.empty() || !rows.front().ok ? nullptr : &rows.front();
    for (const Row& row : rows) {
        if (smallest != nullptr && row.ok && &row != smallest && smallest->best.openCpu > 0.0) {
            std::printf("open %d / %d parts: %.2f wall, %.2f CPU (parts x%.1f)\n", row.c.parts, smallest->c.parts,
                        row.best.openWall / smallest->best.openWall, row.best.openCpu / smallest->best.openCpu,
                        static_cast<double>(row.c.parts) / smallest->c.parts);
        }
    }
    if (options.keep.empty()) {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    return good ? 0 : 1;
}
