#include "cli/job_input.h"

#include <filesystem>
#include <iostream>

#include "app/open_job.h"
#include "base/platform.h"
#include "base/text_file.h"
#include "library/job.h"
#include "library/library_writer.h"

namespace orvo::cli {

namespace {

bool usageError(const std::string& text)
{
    std::cerr << "orvonest: " << text << "\nRun with --help for the options.\n";
    return false;
}

// The job of part files and settings given on the command line.
bool commandLineJobOf(NestSystem& ns, const Options& options, Job& job, LibraryStatus& status)
{
    for (const std::string& input : options.inputs) {
        if (!isJobFileName(input)) continue;
        if (options.inputs.size() == 1) {
            return usageError("the job file " + input +
                              " sets the plate, gap, margin and turn-over itself; --rn and --ppd may be given");
        }
        return usageError("a job file (" + input + ") is given alone, without part files");
    }
    if (!options.plate) return usageError("a job of part files needs --plate LENGTHxWIDTH");
    JobSettings& s = job.settings;
    if (!parsePlateSize(*options.plate, s.plateLength, s.plateWidth)) {
        return usageError("--plate " + *options.plate + ": give LENGTHxWIDTH in mm, as 3000x1500");
    }
    s.partGap = options.gap.value_or(0.0);
    s.plateMargin = options.margin.value_or(0.0);
    if (s.partGap < 0.0 || s.plateMargin < 0.0) return usageError("--gap and --margin cannot be below 0");
    s.turnOver = options.turnOver.value_or(true);
    for (const std::string& input : options.inputs) {
        JobEntry entry;
        const JobResult parsed = parsePartArgument(input, entry);
        if (parsed.fault != JobFault::None) {
            status = reportJobFault(ns, parsed);
            return false;
        }
        job.entries.push_back(entry);
    }
    return true;
}

}  // namespace

LibraryStatus openInputs(NestSystem& ns, const Options& options, PartLibrary& built)
{
    Job job;
    std::string source = options.library;
    if (commandLineJob(options)) {
        LibraryStatus status = LibraryStatus::SettingRefused;
        if (!commandLineJobOf(ns, options, job, status)) return status;
        for (size_t i = 1; i < options.inputs.size(); ++i) source += " " + options.inputs[i];
    } else if (isJobFileName(options.library)) {
        const JobResult read = readJobFile(options.library, job);
        if (read.fault != JobFault::None) return reportJobFault(ns, read);
    } else {
        return openLibraryFile(ns, options.library, &built);
    }
    if (options.rotationNumber) job.settings.rotationNumber = options.rotationNumber;
    if (options.packingPointDistance) job.settings.packingPointDistance = options.packingPointDistance;
    // Written only once the job has opened; refused first if it would replace a part file.
    for (const JobEntry& entry : job.entries) {
        std::error_code error;
        if (!options.writeLibrary.empty() && std::filesystem::equivalent(entry.path, options.writeLibrary, error)) {
            usageError("--write-library " + options.writeLibrary + " is a part file of the job");
            return LibraryStatus::SettingRefused;
        }
    }
    return openJob(ns, job, source, &built);
}

bool writeLibraryOutput(NestSystem& ns, const Options& options, const PartLibrary& built)
{
    if (options.writeLibrary.empty()) return true;
    std::string reason;
    if (writePartLibrary(built, options.writeLibrary, &reason)) return true;
    ns.platform().showMessage(fileFailureText("文件保存失败!", options.writeLibrary, reason), kCaptionWarning);
    return false;
}

}  // namespace orvo::cli
