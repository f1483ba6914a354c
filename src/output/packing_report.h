#pragma once

#include <string>

#include "nesting/nest_system.h"

namespace orvo {

inline constexpr const char* kReportFileName = "Report.txt";

// Selects every part of the plate that lies outside its inner box or collides with
// another part of the plate; true when there is none.
bool markActivePlateConflicts(NestSystem& ns, const Plate& plate);
// Selects every part on no plate that overlaps the plate's outer box; true when none.
bool markWaitingPartsOnPlate(NestSystem& ns, const Plate& plate);

// The report text of the plate, measured on the true shapes of its parts. A plate with
// no packed length (no part on it) or no width has no density; it is written as 0%.
std::string packingReportText(const NestSystem& ns, const Plate& plate);

// The conflict check and the report of the active plate, written to path. Without an
// active plate it tells the user and writes nothing; a file that cannot be written is
// reported as well. True when the report was written.
bool writePackingReport(NestSystem& ns, const std::string& path);
// The report in the work folder ("Report.txt"), then opened in the user's text viewer.
bool showPackingReport(NestSystem& ns);

}  // namespace orvo
