#include "output/packing_info.h"

namespace orvo {

std::string packingInfoText(const NestSystem&) { return {}; }
bool exportPackingInfo(NestSystem&, const std::string&) { return false; }
bool importPackingInfo(NestSystem&, const std::string&) { return false; }

}  // namespace orvo
