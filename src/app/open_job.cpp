#include "app/open_job.h"

#include "base/platform.h"

namespace orvo {

namespace {

// The layout methods turn and turn over every part alike, so an entry may only repeat the
// job's values; a differing one is refused rather than silently not honoured.
JobResult entrySettingsFault(const Job& job, int32_t rotationNumber)
{
    for (const JobEntry& entry : job.entries) {
        std::string fault;
        if (entry.rotations && *entry.rotations != rotationNumber) {
            fault = "\"rotations\" " + std::to_string(*entry.rotations) + " 与整个作业的 RN " +
                    std::to_string(rotationNumber) + " 不同";
        } else if (entry.turnOver && *entry.turnOver != job.settings.turnOver) {
            fault = std::string("\"turnOver\" ") + (*entry.turnOver ? "true" : "false") +
                    " 与整个作业的 turnOver 不同";
        }
        if (!fault.empty()) {
            return {JobFault::Refused, "作业文件错误! " + entry.label + ": " + fault +
                                           " (旋转次数和翻转只能对所有零件一起设置)"};
        }
    }
    return {};
}

// RN and PPD checked as the Renew dialog checks them, on the job's standard plate; the
// NestSystem is left as it was (both are set again once the job has opened).
bool settingsAccepted(NestSystem& ns, const JobSettings& settings)
{
    const int32_t rotationNumber = ns.rotationNumber;
    const double packingPointDistance = ns.packingPointDistance;
    const double plateLength = ns.plateLength;
    const double plateWidth = ns.plateWidth;
    ns.plateLength = settings.plateLength;
    ns.plateWidth = settings.plateWidth;
    const bool accepted =
        (!settings.rotationNumber || ns.setRotationNumber(*settings.rotationNumber)) &&
        (!settings.packingPointDistance || ns.setPackingPointDistance(*settings.packingPointDistance));
    ns.plateLength = plateLength;
    ns.plateWidth = plateWidth;
    ns.rotationNumber = rotationNumber;
    ns.packingPointDistance = packingPointDistance;
    return accepted;
}

}  // namespace

LibraryStatus reportJobFault(NestSystem& ns, const JobResult& result)
{
    if (result.fault == JobFault::None) return LibraryStatus::Opened;
    ns.platform().showMessage(result.message, kCaptionWarning);
    return result.fault == JobFault::Refused ? LibraryStatus::SettingRefused : LibraryStatus::Unreadable;
}

LibraryStatus openJob(NestSystem& ns, const Job& job, const std::string& source, PartLibrary* built)
{
    const std::string fault = configurationFault(jobConfig(job.settings));
    if (!fault.empty()) {
        ns.platform().showMessage(fault, kCaptionWarning);
        return LibraryStatus::SettingRefused;
    }
    const int32_t rotationNumber = job.settings.rotationNumber.value_or(ns.rotationNumber);
    if (JobResult entries = entrySettingsFault(job, rotationNumber); entries.fault != JobFault::None) {
        return reportJobFault(ns, entries);
    }
    if (!settingsAccepted(ns, job.settings)) return LibraryStatus::SettingRefused;

    PartLibrary library;
    const JobResult read = buildJobLibrary(job, ns.errorReport(), library);
    if (read.fault != JobFault::None) return reportJobFault(ns, read);
    const LibraryStatus status = openLibraryRecords(ns, library, source);
    if (built != nullptr) *built = std::move(library);
    if (status != LibraryStatus::Opened) return status;
    // Accepted above; set after the opening, which gives PPD its own default first.
    if (job.settings.rotationNumber) ns.setRotationNumber(*job.settings.rotationNumber);
    if (job.settings.packingPointDistance) ns.setPackingPointDistance(*job.settings.packingPointDistance);
    return status;
}

LibraryStatus openJobFile(NestSystem& ns, const std::string& path, PartLibrary* built)
{
    Job job;
    const JobResult read = readJobFile(path, job);
    if (read.fault != JobFault::None) return reportJobFault(ns, read);
    return openJob(ns, job, path, built);
}

LibraryStatus openPartsFile(NestSystem& ns, const std::string& path)
{
    return isJobFileName(path) ? openJobFile(ns, path) : openLibraryFile(ns, path);
}

}  // namespace orvo
