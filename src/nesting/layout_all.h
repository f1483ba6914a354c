#pragma once

#include "nesting/nest_system.h"

namespace orvo {

// Both Layout All buttons: clears the plates and lays out every part on new plates.
// A computing-time file that cannot be created is reported as a warning; the layout
// runs all the same.
void layoutAll(NestSystem& ns, LayoutMethod method);
// The computing-time file that Layout All writes into the work folder for the method.
const char* timingFileName(LayoutMethod method);

}  // namespace orvo
