#pragma once

#include <string>

#include "nesting/nest_system.h"

namespace orvo {

enum class LibraryStatus {
    Opened,
    Unreadable,      // the file could not be opened: "零件数据文件读取失败!"
    SettingRefused,  // a plate size or gap beyond its bounds, named in a message
};

// Reads the library into a freshly constructed NestSystem: configuration, outlines,
// nesting parts, part statistics. Unless it is Opened the NestSystem is unchanged (the
// caller keeps its previous one): a plate size outside (0, kMaxPlateSize] or a gap above
// kMaxPlateSize is refused before anything is taken (a file without a part record is
// opened, empty, whatever its configuration).
LibraryStatus openLibraryFile(NestSystem& ns, const std::string& path);
// openLibraryFile == Opened.
bool openPartLibrary(NestSystem& ns, const std::string& path);

}  // namespace orvo
