#include "output/part_statistics.h"

#include "nesting/nest_system.h"

namespace orvo {

bool writePartStatistics(NestSystem&, const std::string&) { return false; }

}  // namespace orvo
