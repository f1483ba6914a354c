#include "cli/output_options.h"

#include <iostream>
#include <vector>

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

}  // namespace

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
