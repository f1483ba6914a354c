#include "library/assembly.h"

namespace orvo {

std::optional<OutlineLoopList> scanLoops(const PartRecord&) { return std::nullopt; }
bool precheckRecord(const PartRecord&, const ErrorReport&) { return true; }
bool assembleOutline(const PartRecord&, PartOutline&, bool, const ErrorReport&) { return false; }
void dropBadOutlines(PartOutlineList&, ErrorReport&) {}

}  // namespace orvo
