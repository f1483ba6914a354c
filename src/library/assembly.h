#pragma once

#include <optional>

#include "library/error_report.h"
#include "library/outline.h"
#include "library/part_library.h"

namespace orvo {

// Cuts the record's points into loops (front insertion: reverse file order). Gives no
// value when a loop is bad (fewer than 1 vertex, or running past the record).
std::optional<OutlineLoopList> scanLoops(const PartRecord& record);
// The loop of largest discretised area (chord tolerance h); of equal areas the first in
// list order, which is the later one in the file.
OutlineLoopList::iterator largestLoop(OutlineLoopList& loops, double h);
// True when the record can be built without repair; writes its findings otherwise.
// The report streams are opened in the report's folder for the length of one part.
bool precheckRecord(const PartRecord& record, const ErrorReport& where);
bool assembleOutline(const PartRecord& record, PartOutline& outline, bool repair,
                     const ErrorReport& where);
// Erases every outline whose arcs fail the chord check, writing to the report.
void dropBadOutlines(PartOutlineList& outlines, ErrorReport& report);

}  // namespace orvo
