#pragma once

#include <string>

#include "library/part_library.h"

namespace orvo {

// The text of a part library that readPartLibrary reads back to the same configuration
// values the system uses (plate size, gaps, turn-over) and the same records: one PARTINFO
// per record, its points with every number in the fewest digits that read back exactly.
// Lines end with CR LF; names are written as they are held.
std::string partLibraryText(const PartLibrary& library);

// Writes the text whole or not at all; false with the reason in *error.
bool writePartLibrary(const PartLibrary& library, const std::string& path, std::string* error);

}  // namespace orvo
