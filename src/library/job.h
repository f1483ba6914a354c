#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/error_report.h"
#include "library/part_library.h"

namespace orvo {

// One part file of a job and how many copies of its parts to lay out.
struct JobEntry {
    // How messages name the entry: "parts[2] (flange.dxf)" in a job file, the argument as
    // typed on a command line ("flange.dxf:12").
    std::string label;
    // The file as it will be opened (a job file's relative names taken in its folder).
    std::string path;
    // Copies of every part of the file.
    int32_t quantity = 1;
    // A library's records by NameID, with their own quantity (the others take quantity).
    std::map<std::string, int32_t> recordQuantities;
    // Per part settings; the layout methods take RN and turn-over for the whole job, so an
    // entry may only repeat the job's values (checked where the job opens).
    std::optional<int32_t> rotations;
    std::optional<bool> turnOver;
};

// The settings of a job; RN and PPD left out keep the program's own (RN 4, PPD W / 100).
struct JobSettings {
    double plateLength = 0.0;
    double plateWidth = 0.0;
    double partGap = 0.0;
    double plateMargin = 0.0;  // least distance from a part to the plate edge
    std::optional<int32_t> rotationNumber;
    std::optional<double> packingPointDistance;
    bool turnOver = true;
};

struct Job {
    JobSettings settings;
    std::vector<JobEntry> entries;
};

enum class JobFault {
    None,
    Refused,     // the job says something wrong: a bad key, value or quantity
    Unreadable,  // a file of the job cannot be read
};

struct JobResult {
    JobFault fault = JobFault::None;
    std::string message;  // names the entry or key at fault
};

// Quantities lie in [1, kMaxQuantity] per entry and per record; a job holds at most
// kMaxJobParts copies in all, so that a typing slip (1200000 for 12) is told at once
// instead of taking the machine's memory.
inline constexpr int32_t kMaxQuantity = 10000;
inline constexpr int32_t kMaxJobParts = 100000;

// Reads a job file (JSON): relative part files are taken in the job file's folder.
JobResult readJobFile(const std::string& path, Job& job);
// The same from the JSON text; relative part files are taken in `folder`.
JobResult parseJob(std::string_view text, const std::string& folder, Job& job);

// The entry of a command-line argument "FILE" or "FILE:N".
JobResult parsePartArgument(const std::string& argument, JobEntry& entry);
// "3000x1500" (also "X" or "*") as length and width.
bool parsePlateSize(std::string_view text, double& length, double& width);

// True for a file name ending in ".dxf" (any case).
bool isDxfFileName(std::string_view path);
// True for a file name ending in ".json" (any case).
bool isJobFileName(std::string_view path);

// The part library of a job: the job's settings as its configuration and one record per
// copy, named "<name>#<copy>" when a part has more than one copy. DXF files are read with
// readDxfParts (skipped outlines go to the error report), part libraries as libraries
// (their own configuration is not used: the job's settings hold).
JobResult buildJobLibrary(const Job& job, ErrorReport& report, PartLibrary& library);

// The configuration a job's settings give a part library.
NestConfig jobConfig(const JobSettings& settings);

}  // namespace orvo
