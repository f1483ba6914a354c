#pragma once

#include <string>

#include "app/open_library.h"
#include "library/job.h"

namespace orvo {

// Opens a job into a freshly constructed NestSystem as a part library of one record per
// copy (buildJobLibrary), with the job's plate size, gaps and turn-over, then its RN and
// PPD. Every setting is checked before a part file is read: a value beyond its bounds, or
// an entry whose own rotations or turn-over differ from the job's (the layout methods
// take them for all parts), is refused with a message naming it (SettingRefused); a part
// file that cannot be read (Unreadable) as well. Unless Opened, nothing is laid out and
// the caller keeps its previous NestSystem. `source` names the job (the summary's
// library); with `built`, it receives the library the job made.
LibraryStatus openJob(NestSystem& ns, const Job& job, const std::string& source,
                      PartLibrary* built = nullptr);
// Reads the job file first; a bad job file is refused with a message naming the entry.
LibraryStatus openJobFile(NestSystem& ns, const std::string& path, PartLibrary* built = nullptr);
// A job file (".json") opens as a job, any other file as a part library.
LibraryStatus openPartsFile(NestSystem& ns, const std::string& path);

// A JobResult as a status, after showing its message (caption "Warning!").
LibraryStatus reportJobFault(NestSystem& ns, const JobResult& result);

}  // namespace orvo
