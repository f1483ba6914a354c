#pragma once

namespace orvo {

class NestSystem;

// Writes the packing report of the active plate to "Report.txt" in the work folder and
// opens it in the user's text viewer.
void showPackingReport(NestSystem& ns);

}  // namespace orvo
