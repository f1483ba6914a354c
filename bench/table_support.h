#pragma once

// What the layout tables share: a platform that prints messages and reads the real clock,
// the legality check of a layout, and measuring in a child process.

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <iterator>
#include <string>
#include <thread>
#include <type_traits>

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
