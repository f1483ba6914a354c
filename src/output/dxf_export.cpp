#include "output/dxf_export.h"

namespace orvo {

PlateSummary summarisePlate(const NestSystem&, const Plate&) { return {}; }
PartOutline placeOutline(const PartOutline& outline, const Part&) { return outline; }
void writeOutline(const PartOutline&, LineSink&, int, int, int) {}
void writePlateLayout(const NestSystem&, const Plate&, LineSink&) {}
bool exportPlateFile(NestSystem&, const Plate&) { return false; }
bool exportPickedPlates(NestSystem&) { return false; }
bool exportAllPlates(NestSystem&) { return false; }
bool exportPartFiles(NestSystem&) { return false; }
std::string partFileName(std::string_view, int32_t) { return {}; }
std::string plateFileName(int32_t) { return {}; }

}  // namespace orvo
