#pragma once

// What the layout tables share: a platform that prints messages and reads the real clock,
// the benchmark libraries, the legality check and the figures of a layout, and measuring
// in a child process.

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "base/platform.h"
#include "geometry/overlap.h"
#include "nesting/nest_system.h"

namespace orvo::bench {

class SilentPlatform : public Platform {
public:
    void showMessage(const std::string& text, const std::string& caption) override
    {
        std::fprintf(stderr, "  [%s] %s\n", caption.c_str(), text.c_str());
    }
    void setWorldBoxAndFit(const BoundingBox&) override {}
    void repaintNow() override {}
    void setProgressPercent(int) override {}
    void setStatusText(const std::string&) override {}
    double monotonicSeconds() override
    {
        using namespace std::chrono;
        return duration<double>(steady_clock::now().time_since_epoch()).count();
    }
    std::tm localTime() override { return std::tm{}; }
    void openInViewer(const std::string&) override {}
};

// Every placed part inside its plate's inner box and disjoint from every other part on
// its plate: a yes or no, where the tests report each fault.
inline bool layoutIsLegal(const NestSystem& ns)
{
    for (auto a = ns.nestParts.begin(); a != ns.nestParts.end(); ++a) {
        if (a->plateId == -1) continue;
        const Plate* p = ns.findPlate(a->plateId);
        if (p == nullptr || !boxInsideRect(*a, p->innerBox)) return false;
        for (auto b = std::next(a); b != ns.nestParts.end(); ++b) {
            if (b->plateId == a->plateId && !partsDisjoint(*a, *b)) return false;
        }
    }
    return true;
}

// The part libraries (.preSrc) of the named sets (folders of dir), each set in the order of
// the file names; with filters only those whose name holds one of them.
inline std::vector<std::string> benchmarkLibraries(const std::string& dir, const std::vector<std::string>& sets,
                                                   const std::vector<std::string>& filters)
{
    namespace fs = std::filesystem;
    std::vector<std::string> found;
    for (const std::string& set : sets) {
        std::vector<std::string> inSet;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(fs::path(dir) / set, error)) {
            if (entry.path().extension() != ".preSrc") continue;
            const std::string name = entry.path().stem().string();
            const bool wanted = filters.empty() || std::any_of(filters.begin(), filters.end(), [&](const std::string& f) {
                                    return name.find(f) != std::string::npos;
                                });
            if (wanted) inSet.push_back(entry.path().string());
        }
        std::sort(inSet.begin(), inSet.end());
        found.insert(found.end(), inSet.begin(), inSet.end());
    }
    return found;
}

// What the tables print of a layout, on the true shapes' areas: the utilisation of the
// plates used, and the density of the first plate over its width times its packed length.
struct LayoutFigures {
    int plates = 0;
    int unplaced = 0;
    double utilisation = 0.0;
    double firstPlateDensity = 0.0;
    bool legal = false;
};

inline LayoutFigures layoutFigures(const NestSystem& ns)
{
    std::map<int32_t, double> trueArea;  // the first true shape of every partId
    for (const Part& s : ns.trueShapes) trueArea.emplace(s.partId, s.netArea);
    LayoutFigures f;
    f.plates = static_cast<int>(ns.plates.size());
    f.unplaced = ns.unplacedCount();
    f.legal = layoutIsLegal(ns);
    double plateArea = 0.0;
    for (const Plate& p : ns.plates) plateArea += boxArea(p.outerBox);
    double placed = 0.0;
    double firstPlaced = 0.0;
    const Plate* first = ns.plates.empty() ? nullptr : &ns.plates.front();
    double reach = first != nullptr ? first->outerBox.min_X : 0.0;
    for (const Part& part : ns.nestParts) {
        if (part.plateId == -1) continue;
        const auto found = trueArea.find(part.partId);
        const double area = found != trueArea.end() ? found->second : part.netArea;
        placed += area;
        if (first != nullptr && part.plateId == first->id) {
            firstPlaced += area;
            reach = std::max(reach, part.box.max_X);
        }
    }
    f.utilisation = plateArea > 0.0 ? 100.0 * placed / plateArea : 0.0;
    if (first != nullptr) {
        const double length = reach - first->outerBox.min_X;
        const double width = first->outerBox.max_Y - first->outerBox.min_Y;
        f.firstPlateDensity = length > 0.0 ? 100.0 * firstPlaced / (width * length) : 0.0;
    }
    return f;
}

// How a measurement in a child process ended.
struct ChildRun {
    bool finished = false;  // false: ended after the budget ran out
    bool failed = false;    // the work failed or its result did not arrive
    long peakKb = 0;        // the child's peak resident memory
};

// Runs work(result) in a child process, so that its peak memory is its own and a run over
// the budget can be ended; the child sends the result's bytes back through a pipe.
template <typename Result, typename Work>
ChildRun measureInChild(Work work, Result& result, double budgetSeconds)
{
    static_assert(std::is_trivially_copyable_v<Result>);
    ChildRun run;
    int fds[2];
    if (pipe(fds) != 0) {
        run.failed = true;
        return run;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        Result r;
        const bool ok = work(r);
        if (ok) {
            const ssize_t written = write(fds[1], &r, sizeof r);
            (void)written;
        }
        close(fds[1]);
        _exit(ok ? 0 : 3);
    }
    close(fds[1]);
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    rusage usage{};
    for (;;) {
        if (wait4(child, &status, WNOHANG, &usage) == child) break;
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (elapsed > budgetSeconds) {
            kill(child, SIGKILL);
            wait4(child, &status, 0, &usage);
            close(fds[0]);
            run.peakKb = usage.ru_maxrss;
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    run.peakKb = usage.ru_maxrss;
    run.finished = true;
    const bool exitedWell = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.failed = !exitedWell || read(fds[0], &result, sizeof result) != static_cast<ssize_t>(sizeof result);
    close(fds[0]);
    return run;
}

}  // namespace orvo::bench
