#include "nesting/nest_system.h"

namespace orvo {

bool openPartLibrary(NestSystem&, const std::string&) { return false; }

}  // namespace orvo
