#include "output/packing_report.h"

namespace orvo {

bool markActivePlateConflicts(NestSystem&, const Plate&) { return true; }
bool markWaitingPartsOnPlate(NestSystem&, const Plate&) { return true; }
std::string packingReportText(const NestSystem&, const Plate&) { return {}; }
bool writePackingReport(NestSystem&, const std::string&) { return false; }
bool showPackingReport(NestSystem&) { return false; }

}  // namespace orvo
