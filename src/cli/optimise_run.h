#pragma once

#include <atomic>
#include <csignal>

#include "cli/terminal_platform.h"
#include "nesting/nest_system.h"
#include "nesting/optimise.h"

namespace orvo::cli {

// While alive, the first SIGINT (Ctrl+C) sets stopRequested() instead of ending the
// process. The handler resets itself on that first signal, so a second Ctrl+C ends the
// process as usual; at the end the handling found at the start is restored. A SIGINT
// ignored at the start (a background run of a shell without job control) stays ignored.
// One at a time: the flag is the process's, as the signal is.
class StopOnInterrupt {
public:
    StopOnInterrupt();
    ~StopOnInterrupt();
    StopOnInterrupt(const StopOnInterrupt&) = delete;
    StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;

    const std::atomic<bool>& stopRequested() const;

private:
    struct sigaction previous_ {};
    bool installed_ = false;
};

struct OptimiseRun {
    OptimiseSettings settings;  // as asked for (threads 0: every core)
    OptimiseOutcome outcome;
    // Of the layout the system holds afterwards, which the outputs are written from.
    LayoutScore held;
    bool stopped = false;  // a Ctrl+C came during the search
};

// --layout optimise: the search with Ctrl+C as its stop request and, on a terminal, one
// progress line with the time, the plates, the last plate's packed length and the
// utilisation of the best layout so far. Afterwards the system holds the best layout and
// Ctrl+C ends the process again.
OptimiseRun runOptimise(NestSystem& ns, TerminalPlatform& platform, const OptimiseSettings& settings);

// "hape" or "multistep", as --layout names the method.
const char* layoutMethodName(LayoutMethod method);

}  // namespace orvo::cli
