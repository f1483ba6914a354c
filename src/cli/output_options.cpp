#include "cli/output_options.h"

#include <filesystem>
#include <iostream>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "library/error_report.h"
#include "nesting/layout_all.h"
#include "output/dxf_export.h"
#include "output/packing_info.h"
#include "output/packing_report.h"
#include "output/svg_export.h"

namespace orvo::cli {

namespace {

constexpr int kDone = 0;
constexpr int kNoSuchPlate = 2;
constexpr int kWriteFailed = 3;

// Every plate, through the picked-plates export; the user's picks are kept.
bool exportEveryPlate(NestSystem& ns)
{
    std::vector<bool> picked;
    for (Plate& plate : ns.plates) {
        picked.push_back(plate.selected);
        plate.selected = true;
    }
    const bool written = exportPickedPlates(ns);
    auto flag = picked.begin();
    for (Plate& plate : ns.plates) plate.selected = *flag++;
    return written;
}

// -1 reports the active plate; any other id makes that plate the active one first.
int writeReport(NestSystem& ns, int32_t plateId)
{
    if (plateId != -1) {
        Plate* plate = ns.findPlate(plateId);
        if (plate == nullptr) {
            std::cerr << "orvonest: --report: there is no plate " << plateId << '\n';
            return kNoSuchPlate;
        }
        ns.activePlate = plate;
    }
    if (ns.activePlate == nullptr) {
        // The report tells the user that there is no plate. The report asked for is not
        // written, which a script must see, as with a plate id that does not exist.
        showPackingReport(ns);
        return kNoSuchPlate;
    }
    return showPackingReport(ns) ? kDone : kWriteFailed;
}

// Relative --save and --svg paths are taken inside the work folder, as every other output.
std::string insideWorkFolder(const std::string& folder, const std::string& path)
{
    if (path.empty() || std::filesystem::path(path).is_absolute()) return path;
    return (std::filesystem::path(folder) / path).string();
}

bool isLibrary(const std::string& library, const std::string& path)
{
    std::error_code error;
    return std::filesystem::equivalent(library, path, error) && !error;
}

// A plate drawing "PltID=<digits>.dxf".
bool isPlateDrawingName(const std::string& name)
{
    constexpr std::string_view prefix = "PltID=", suffix = ".dxf";
    if (name.size() <= prefix.size() + suffix.size() || name.rfind(prefix, 0) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return false;
    }
    const std::string digits =
        name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    return digits.find_first_not_of("0123456789") == std::string::npos;
}

// An output that would write over the part library is refused before anything is written:
// --save or --svg naming it, or a file of a fixed name in the work folder that is it.
bool outputsSpareTheLibrary(const Options& options)
{
    for (const auto& [option, path] : {std::pair{"--save", options.saveFile},
                                       std::pair{"--svg", options.svgFile},
                                       std::pair{"--write-library", options.writeLibrary}}) {
        if (path.empty() || !isLibrary(options.library, path)) continue;
        std::cerr << "orvonest: " << option << " " << path
                  << " is the part library being read; choose another file\n";
        return false;
    }
    std::vector<std::string> names = {ErrorReport::kFileName, "PartInfo.txt"};
    if (options.layout != LayoutChoice::None && options.importFile.empty()) {
        names.push_back(timingFileName(options.layout == LayoutChoice::Hape ? LayoutMethod::Gravity
                                                                            : LayoutMethod::MultiStep));
    }
    if (options.reportPlate) names.push_back("Report.txt");
    if (options.exportAll) names.push_back("AllPlts.dxf");
    const std::string libraryName = std::filesystem::path(options.library).filename().string();
    if (options.exportPlates && isPlateDrawingName(libraryName)) names.push_back(libraryName);
    for (const std::string& name : names) {
        const std::string path = insideWorkFolder(options.workFolder, name);
        if (!isLibrary(options.library, path)) continue;
        std::cerr << "orvonest: the part library is " << path
                  << ", which this run would write; copy it to another name or use another -C "
                     "folder\n";
        return false;
    }
    return true;
}

}  // namespace

bool settleOutputPaths(Options& options)
{
    options.saveFile = insideWorkFolder(options.workFolder, options.saveFile);
    options.svgFile = insideWorkFolder(options.workFolder, options.svgFile);
    options.writeLibrary = insideWorkFolder(options.workFolder, options.writeLibrary);
    return outputsSpareTheLibrary(options);
}

bool importLayout(NestSystem& ns, const Options& options)
{
    return options.importFile.empty() || importPackingInfo(ns, options.importFile);
}

int writeOutputs(NestSystem& ns, const Options& options)
{
    int status = kDone;
    auto note = [&status](bool written) {
        if (!written) status = kWriteFailed;
    };
    if (options.exportAll) note(exportAllPlates(ns));
    if (options.exportPlates) note(exportEveryPlate(ns));
    if (options.exportParts) note(exportPartFiles(ns));
    if (!options.saveFile.empty()) note(exportPackingInfo(ns, options.saveFile));
    if (!options.svgFile.empty()) note(exportLayoutSvg(ns, options.svgFile));
    if (options.reportPlate) {
        const int reported = writeReport(ns, *options.reportPlate);
        if (reported != kDone) status = reported;
    }
    return status;
}

}  // namespace orvo::cli
