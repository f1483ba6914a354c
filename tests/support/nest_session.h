#pragma once

#include <string>

#include "app/open_library.h"
#include "nesting/nest_system.h"
#include "support/library_text.h"
#include "support/recording_platform.h"
#include "support/temp_folder.h"

namespace orvo::test {

// A NestSystem of its own with a fresh work folder, talking to a recording platform.
// The members are destroyed in reverse: the system closes its files before the folder goes.
struct NestSession {
    RecordingPlatform platform;
    TempFolder folder;
    NestSystem ns{platform, folder.path()};

    // Opens a library file as the program does.
    bool openLibrary(const std::string& path) { return openPartLibrary(ns, path); }

    // Opens a benchmark library with the rotation number its header asks for.
    bool openBenchmarkLibrary(const std::string& path)
    {
        if (!openLibrary(path)) return false;
        const int rn = headerRotationNumber(path);
        if (rn > 0) ns.setRotationNumber(rn);
        return true;
    }

    // Writes the library text into the work folder as "library.preSrc" and opens it.
    bool openLibraryText(const std::string& text)
    {
        writeFile(libraryFile(), text);
        return openLibrary(libraryFile());
    }
    std::string libraryFile() const { return folder.file("library.preSrc"); }
};

}  // namespace orvo::test
