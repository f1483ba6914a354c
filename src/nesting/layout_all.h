#pragma once

#include <atomic>

#include "nesting/nest_system.h"

namespace orvo {

// Both Layout All buttons: clears the plates and lays out every part on new plates.
// A computing-time file that cannot be created is reported as a warning; the layout
// runs all the same. A stop flag that becomes true ends the run before the next plate
// and leaves the timing file as it was (the caller discards the half layout); without
// one, or while it stays false, every layout is the same.
void layoutAll(NestSystem& ns, LayoutMethod method, const std::atomic<bool>* stop = nullptr);
// The computing-time file that Layout All writes into the work folder for the method.
const char* timingFileName(LayoutMethod method);

}  // namespace orvo
