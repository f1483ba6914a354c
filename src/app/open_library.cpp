#include "app/open_library.h"

#include <cmath>

#include "base/number_text.h"
#include "base/platform.h"
#include "library/assembly.h"
#include "library/part_library.h"
#include "output/part_statistics.h"

namespace orvo {

namespace {

// A gap below 0 would shrink the parts so that their true outlines overlap on the plate,
// and one that is not a finite number would poison every coordinate; both are taken as 0.
double checkedGap(NestSystem& ns, double gap)
{
    if (std::isfinite(gap) && gap >= 0.0) return gap;
    ns.platform().showMessage("间距数据错误, 按0处理!", kCaptionWarning);
    return 0.0;
}

// A gap above the plate-size bound only makes absurd coordinates. Gaps below 0 or not a
// number are taken as 0 later (checkedGap): they keep the library usable.
std::string gapFault(const char* key, double gap)
{
    if (!(gap > NestSystem::kMaxPlateSize) || std::isinf(gap)) return {};
    return std::string("间距数据错误! ") + key + " " + formatShortest(gap) + " 不能大于 " +
           formatShortest(NestSystem::kMaxPlateSize) + " mm";
}

}  // namespace

std::string configurationFault(const NestConfig& config)
{
    std::string fault = NestSystem::plateSizeFault(config.staPlate_0, config.staPlate_1);
    if (fault.empty()) fault = gapFault("partToPartGap", config.partToPartGap);
    if (fault.empty()) fault = gapFault("partToMplateGap", config.partToMplateGap);
    return fault;
}

namespace {

void takeConfiguration(NestSystem& ns, const NestConfig& config)
{
    ns.config = config;
    ns.partGap = checkedGap(ns, config.partToPartGap);
    ns.plateGap = checkedGap(ns, config.partToMplateGap);
    ns.plateLength = config.staPlate_0;
    ns.plateWidth = config.staPlate_1;
    ns.turnOver = config.bPartTurnover;
}

LibraryStatus refuseWithoutParts(NestSystem& ns, bool noRecords)
{
    ns.platform().showMessage(noRecords ? "零件数据文件中没有零件!"
                                        : "零件数据文件中没有可用的零件, 原因见PackError.txt!",
                              kCaptionWarning);
    return LibraryStatus::NoParts;
}

}  // namespace

LibraryStatus openLibraryFile(NestSystem& ns, const std::string& path, PartLibrary* read)
{
    PartLibrary library = readPartLibrary(path, ns.platform());
    if (!library.opened) return LibraryStatus::Unreadable;
    const LibraryStatus status = openLibraryRecords(ns, library, path);
    if (read != nullptr) *read = std::move(library);
    return status;
}

LibraryStatus openLibraryRecords(NestSystem& ns, const PartLibrary& library, const std::string& path)
{
    // A file without a part record (empty, binary) is told as such by the caller, not
    // as a plate size of 0 from its missing configuration.
    const std::string fault =
        library.records.empty() ? std::string() : configurationFault(library.config);
    if (!fault.empty()) {
        ns.platform().showMessage(fault, kCaptionWarning);
        return LibraryStatus::SettingRefused;
    }
    ns.libraryPath = path;
    takeConfiguration(ns, library.config);
    ns.recordsRead = static_cast<int32_t>(library.records.size());

    int32_t position = 0;
    for (const PartRecord& record : library.records) {
        ns.recordNames.push_back(record.nameId);
        PartOutline outline;
        const bool clean = precheckRecord(record, ns.errorReport());
        if (assembleOutline(record, outline, !clean, ns.errorReport())) {
            outline.partId = position;
            ns.outlines.push_back(outline);
        }
        ++position;  // a dropped record leaves a gap in the partIds
    }

    // Nothing to lay out: an empty, binary or damaged file, or parts that were all faulty.
    // The caller keeps what it had, and no part statistics replace the previous ones.
    if (ns.outlines.empty()) return refuseWithoutParts(ns, library.records.empty());
    ns.prepareNestParts();
    if (ns.nestParts.empty()) return refuseWithoutParts(ns, false);
    writePartStatistics(ns, ns.outputPath("PartInfo.txt"));
    return LibraryStatus::Opened;
}

bool openPartLibrary(NestSystem& ns, const std::string& path)
{
    return openLibraryFile(ns, path) == LibraryStatus::Opened;
}

}  // namespace orvo
