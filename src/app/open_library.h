#pragma once

#include <string>

#include "library/part_library.h"
#include "nesting/nest_system.h"

namespace orvo {

enum class LibraryStatus {
    Opened,
    Unreadable,      // the file could not be opened: "零件数据文件读取失败!"
    SettingRefused,  // a plate size or gap beyond its bounds, named in a message
    NoParts,         // an empty, binary or damaged file, or parts that were all faulty
};

// Reads the library into a freshly constructed NestSystem: configuration, outlines,
// nesting parts, part statistics. Unless it is Opened, after a message, the NestSystem is
// unchanged (the caller keeps its previous one): a plate size outside [kMinPlateSize,
// kMaxPlateSize] or a gap above kMaxPlateSize is refused before anything is taken, and a
// file that holds no part that can be laid out is refused as well.
// With `read`, it receives what was read from the file (also when it was refused).
LibraryStatus openLibraryFile(NestSystem& ns, const std::string& path, PartLibrary* read = nullptr);
// The same for a library already read (or built from a job); `path` names its source.
LibraryStatus openLibraryRecords(NestSystem& ns, const PartLibrary& library, const std::string& path);
// Why a configuration cannot be used: its plate size or a gap beyond the bounds (the
// first fault, as a message), or empty.
std::string configurationFault(const NestConfig& config);
// openLibraryFile == Opened.
bool openPartLibrary(NestSystem& ns, const std::string& path);

}  // namespace orvo
