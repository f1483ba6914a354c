// orvonest: lays out a part library without a window and writes the system's files.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <system_error>

#include "cli/job_input.h"
#include "cli/optimise_run.h"
#include "cli/options.h"
#include "cli/output_options.h"
#include "cli/summary.h"
#include "cli/terminal_platform.h"
#include "nesting/layout_all.h"
#include "nesting/gravity.h"
#include "app/open_library.h"
#include "nesting/nest_system.h"

namespace {

using namespace orvo;
using namespace orvo::cli;

// kUsage also ends a run whose library sets a plate size or gap beyond its bounds, or
// whose job is refused (a bad key, value or quantity).
enum ExitCode { kOk = 0, kLibraryUnreadable = 1, kUsage = 2, kOutputFailed = 3, kImportRefused = 4 };

bool makeWorkFolder(const std::string& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder, error)) {
        std::cerr << "orvonest: cannot use the folder " << folder << ": " << error.message() << '\n';
        return false;
    }
    return true;
}

// RN and PPD with the checks of the desktop dialog; a refused value is a usage error.
bool applySettings(NestSystem& ns, const Options& options)
{
    if (options.rotationNumber && !ns.setRotationNumber(*options.rotationNumber)) return false;
    if (options.packingPointDistance && !ns.setPackingPointDistance(*options.packingPointDistance)) {
        return false;
    }
    return true;
}

struct LayoutRun {
    double seconds = 0.0;
    std::optional<OptimiseRun> optimised;  // after --layout optimise
};

LayoutRun runLayout(NestSystem& ns, TerminalPlatform& platform, const Options& options,
                    LayoutChoice choice)
{
    if (choice == LayoutChoice::None) return {};
    if (choice == LayoutChoice::Optimise) {
        OptimiseRun run = runOptimise(ns, platform, options.optimise);
        return {run.outcome.seconds, std::move(run)};
    }
    const double start = platform.monotonicSeconds();
    layoutAll(ns, choice == LayoutChoice::Hape ? LayoutMethod::Gravity : LayoutMethod::MultiStep);
    const double seconds = platform.monotonicSeconds() - start;
    platform.finishProgress();
    return {seconds, std::nullopt};
}

// The JSON is the run's result: a standard output that cannot take it all (a full disk,
// a closed stream, a cut file) is a failed output, with the reason.
bool printResult(const std::string& text)
{
    std::cout << text << std::flush;
    if (std::cout && std::fflush(stdout) == 0) return true;
    const int reason = errno;
    std::cerr << "orvonest: the standard output could not be written: " << std::strerror(reason)
              << '\n';
    std::cout.clear();  // told once; the final check does not repeat it
    std::clearerr(stdout);
    return false;
}

int run(Options options)
{
    if (!settleOutputPaths(options)) return kUsage;
    if (!makeWorkFolder(options.workFolder)) return kOutputFailed;

    TerminalPlatform platform(options.quiet);
    auto ns = std::make_unique<NestSystem>(platform, options.workFolder);
    if (!ns->errorReport().isOpen()) return kOutputFailed;
    // A library or job that cannot be read or holds no part to lay out (the message says
    // which), or whose setting is refused.
    PartLibrary opened;
    const LibraryStatus status = openInputs(*ns, options, opened);
    if (status == LibraryStatus::SettingRefused) return kUsage;
    if (status != LibraryStatus::Opened) return kLibraryUnreadable;
    if (!applySettings(*ns, options)) return kUsage;
    // Like the other outputs, a library that cannot be written does not stop the run.
    const bool libraryWritten = writeLibraryOutput(*ns, options, opened);

    // An imported layout replaces Layout All.
    const bool importing = !options.importFile.empty();
    const LayoutRun layout =
        runLayout(*ns, platform, options, importing ? LayoutChoice::None : options.layout);
    if (!importLayout(*ns, options)) return kImportRefused;
    // After a search the outputs are written from the best layout, also when Ctrl+C ended it.
    const int outputStatus = writeOutputs(*ns, options);
    bool printed = true;
    if (options.json) {
        auto summary = layoutSummary(*ns, platform, layout.seconds, importing);
        addLayoutMethod(summary, options.layout, importing, layout.optimised ? &*layout.optimised : nullptr);
        printed = printResult(summary.dump(2) + "\n");
    }
    if (!options.quiet) {
        if (layout.optimised) std::cerr << "orvonest: " << optimiseSummary(*layout.optimised) << '\n';
        std::cerr << "orvonest: " << shortSummary(*ns, layout.seconds) << '\n';
    }
    if (outputStatus != kOk) return outputStatus;
    return platform.outputFailures() > 0 || !printed || !libraryWritten ? kOutputFailed : kOk;
}

// A standard stream that was closed before the start stays taken by a descriptor that
// cannot be written, so that no file opened later gets its number and receives the JSON
// or the messages, and a write to it fails as it should.
void keepStandardStreamsTaken()
{
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            const int taken = open("/dev/null", O_RDONLY | O_CLOEXEC);
            if (taken >= 0 && taken != fd) close(taken);  // fd was taken by another
        }
    }
}

// What else went to the standard output (--help, --version) must have reached it too.
bool standardOutputWritten()
{
    errno = 0;
    std::cout.flush();
    const bool written = std::cout.good() && std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    if (!written) {
        std::cerr << "orvonest: the standard output could not be written";
        if (errno != 0) std::cerr << ": " << std::strerror(errno);
        std::cerr << '\n';
    }
    return written;
}

}  // namespace

int main(int argc, char** argv)
{
    keepStandardStreamsTaken();
    // Past a file-size limit a write then fails (and is reported, the target left as it
    // was) instead of ending the process with a temporary file left behind.
    std::signal(SIGXFSZ, SIG_IGN);
    const ParseResult parsed = parseOptions(argc, argv);
    const int status = parsed.options ? run(*parsed.options) : parsed.exitCode;
    if (!standardOutputWritten() && status == kOk) return kOutputFailed;
    return status;
}
