// Reads any bytes as a part library and builds every record as the opening of a library
// does: pre-check, build with or without repair, the chord check, the polygon parts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "library/assembly.h"
#include "library/error_report.h"
#include "library/part_library.h"
#include "base/text_encoding.h"
#include "support/recording_platform.h"
#include "support/temp_folder.h"

namespace {

const std::string& reportFolder()
{
    static const orvo::test::TempFolder folder;
    return folder.path();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::istringstream in(bytes);
    const orvo::PartLibrary library = orvo::readPartLibrary(in);

    orvo::test::RecordingPlatform platform;
    // Every other input runs without a report, as after a report that could not be opened.
    const bool withReport = !reportFolder().empty() && size % 2 == 0;
    orvo::ErrorReport report = withReport ? orvo::ErrorReport(reportFolder(), &platform)
                                          : orvo::ErrorReport();
    report.writeTimeStamp(platform);

    orvo::PartOutlineList outlines;
    int32_t position = 0;
    for (const orvo::PartRecord& record : library.records) {
        orvo::PartOutline outline;
        const bool plain = orvo::precheckRecord(record, report);
        if (orvo::assembleOutline(record, outline, !plain, report)) {
            outline.partId = position;
            outlines.push_back(outline);
        }
        ++position;
    }
    orvo::dropBadOutlines(outlines, report);
    for (orvo::PartOutline& outline : outlines) {
        const orvo::Part part = outline.toPart();
        if (part.outer.count() == 0) std::abort();  // built outlines always have a shape
        outline.mirrorOutline(outline.pose.basePt);
        (void)orvo::gbkToUtf8(outline.label.text);
    }
    if (withReport) {
        report = orvo::ErrorReport();
        std::error_code error;
        std::filesystem::remove(reportFolder() + "/" + orvo::ErrorReport::kFileName, error);
    }
    return 0;
}
