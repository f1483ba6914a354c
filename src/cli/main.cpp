// orvonest: lays out a part library without a window and writes the system's files.
#include <filesystem>
#include <iostream>
#include <memory>
#include <system_error>

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

// kUsage also ends a run whose library sets a plate size or gap beyond its bounds.
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

double runLayout(NestSystem& ns, TerminalPlatform& platform, LayoutChoice choice)
{
    if (choice == LayoutChoice::None) return 0.0;
    const double start = platform.monotonicSeconds();
    layoutAll(ns, choice == LayoutChoice::Hape ? LayoutMethod::Gravity : LayoutMethod::MultiStep);
    const double seconds = platform.monotonicSeconds() - start;
    platform.finishProgress();
    return seconds;
}

int run(const Options& options)
{
    if (!makeWorkFolder(options.workFolder)) return kOutputFailed;

    TerminalPlatform platform(options.quiet);
    auto ns = std::make_unique<NestSystem>(platform, options.workFolder);
    if (!ns->errorReport().isOpen()) return kOutputFailed;
    const LibraryStatus opened = openLibraryFile(*ns, options.library);
    if (opened == LibraryStatus::Unreadable) return kLibraryUnreadable;
    if (opened == LibraryStatus::SettingRefused) return kUsage;
    if (!applySettings(*ns, options)) return kUsage;

    // An imported layout replaces Layout All.
    const bool importing = !options.importFile.empty();
    const double seconds = runLayout(*ns, platform, importing ? LayoutChoice::None : options.layout);
    if (!importLayout(*ns, options)) return kImportRefused;
    const int outputStatus = writeOutputs(*ns, options);
    if (options.json) std::cout << layoutSummary(*ns, platform, seconds, importing).dump(2) << std::endl;
    if (!options.quiet) std::cerr << "orvonest: " << shortSummary(*ns, seconds) << '\n';
    if (outputStatus != kOk) return outputStatus;
    return platform.outputFailures() > 0 ? kOutputFailed : kOk;
}

}  // namespace

int main(int argc, char** argv)
{
    const ParseResult parsed = parseOptions(argc, argv);
    if (!parsed.options) return parsed.exitCode;
    return run(*parsed.options);
}
