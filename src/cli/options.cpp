#include "cli/options.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>
#include <iostream>
#include <map>

#include "library/job.h"

namespace orvo::cli {

namespace {

const std::map<std::string, LayoutChoice> kLayoutNames = {
    {"hape", LayoutChoice::Hape},
    {"multistep", LayoutChoice::MultiStep},
    {"optimise", LayoutChoice::Optimise},
    {"none", LayoutChoice::None},
};

// The search options as typed: read and bounded after the parse, with messages that
// name the value as it was given.
struct SearchTexts {
    std::string time = "60";
    std::string seed = "1";
    std::string threads;  // empty: every core
    std::string iterations = "0";
};

void addOptions(CLI::App& app, Options& o, std::string& layoutName, SearchTexts& search)
{
    app.add_option("FILES", o.inputs,
                   "A part library (.preSrc), a job file (.json), or part files (.dxf, .preSrc) "
                   "with a quantity each (FILE:N) for a job given by --plate and the other "
                   "job settings")
        ->required();
    app.add_option("--plate", o.plate, "Job: plate length x width in mm (3000x1500)")
        ->type_name("LxW");
    app.add_option("--gap", o.gap, "Job: gap between parts in mm (default 0)")->type_name("D");
    app.add_option("--margin", o.margin,
                   "Job: least distance from a part to the plate edge in mm (default 0)")
        ->type_name("D");
    app.add_option("--turn-over", o.turnOver, "Job: parts may be turned over (on or off, default on)")
        ->type_name("on|off")
        ->transform(CLI::CheckedTransformer(std::map<std::string, std::string>{{"on", "1"}, {"off", "0"}}));
    app.add_option("--write-library", o.writeLibrary,
                   "Write the parts of the job, one record per copy, as a part library "
                   "(a relative FILE goes into -C)")
        ->type_name("FILE");
    app.add_option("-C", o.workFolder,
                   "Folder for every output file (PackError.txt, PartInfo.txt, timings, "
                   "drawings, Report.txt); created when missing")
        ->type_name("DIR")
        ->capture_default_str();
    app.add_option("--layout", layoutName,
                   "Layout All method: hape, multistep, optimise (searches for fewer plates and a "
                   "shorter last plate, starting from the better of hape and multistep; Ctrl+C "
                   "ends the search with the best layout) or none")
        ->type_name("METHOD")
        ->check(CLI::IsMember({"hape", "multistep", "optimise", "none"}))
        ->capture_default_str();
    app.add_option("--time", search.time,
                   "optimise: seconds of search (>= 0; 0: no time limit, then --iterations is needed)")
        ->type_name("SECONDS")
        ->capture_default_str();
    app.add_option("--seed", search.seed, "optimise: seed of the search's random choices")
        ->type_name("N")
        ->capture_default_str();
    app.add_option("--threads", search.threads,
                   "optimise: search threads, 1 to " + std::to_string(kMaxThreads) +
                       " (default: every core)")
        ->type_name("N");
    app.add_option("--iterations", search.iterations,
                   "optimise: improvement attempts over all threads (>= 0; 0: no limit). With --time 0, "
                   "the same seed and threads give the same layout")
        ->type_name("N");
    app.add_option("--rn", o.rotationNumber, "Rotation number RN (at most 360)")->type_name("N");
    app.add_option("--ppd", o.packingPointDistance, "Packing point distance PPD in mm (> 0)")
        ->type_name("D");
    app.add_option("--import", o.importFile, "Restore a packing-information file instead of laying out")
        ->type_name("FILE");
    app.add_option("--save", o.saveFile,
                   "Write a packing-information file after the layout (a relative FILE goes into -C)")
        ->type_name("FILE");
    app.add_option("--svg", o.svgFile, "Write a picture of the layout (a relative FILE goes into -C)")
        ->type_name("FILE");
    app.add_flag("--export-all", o.exportAll, "Write AllPlts.dxf");
    app.add_flag("--export-plates", o.exportPlates, "Write PltID=<id>.dxf for every plate");
    app.add_flag("--export-parts", o.exportParts, "Write one DXF per part");
    app.add_option("--report", o.reportPlate, "Write Report.txt for plate ID (default: the active plate)")
        ->expected(0, 1)
        ->type_name("[ID]");
    app.add_flag("--json", o.json, "Print a JSON summary on standard output");
    app.add_flag("-q,--quiet", o.quiet, "No progress output");
}

constexpr const char* kSearchOptions[] = {"--time", "--seed", "--threads", "--iterations"};

// The whole text as a number of type T; false for anything else or out of T's range.
template <typename T>
bool readWhole(const std::string& text, T& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && !text.empty();
}

// Reads the search options into s; returns what is wrong, or nothing: an option without
// --layout optimise, a value out of bounds, a search that only Ctrl+C would end.
std::string searchOptionsFault(const CLI::App& app, const SearchTexts& texts, LayoutChoice layout,
                               OptimiseSettings& s)
{
    if (layout != LayoutChoice::Optimise) {
        for (const char* name : kSearchOptions) {
            if (app.count(name) > 0) return std::string(name) + " needs --layout optimise";
        }
        return {};
    }
    if (!readWhole(texts.time, s.seconds) || !std::isfinite(s.seconds) || s.seconds < 0.0) {
        return "--time " + texts.time + ": the seconds must be a finite number >= 0";
    }
    if (!readWhole(texts.seed, s.seed)) {
        return "--seed " + texts.seed + ": the seed must be a whole number from 0 to " +
               std::to_string(UINT64_MAX);
    }
    s.threads = 0;
    if (app.count("--threads") > 0 &&
        (!readWhole(texts.threads, s.threads) || s.threads < 1 || s.threads > kMaxThreads)) {
        return "--threads " + texts.threads + ": the thread count must be a whole number from 1 to " +
               std::to_string(kMaxThreads);
    }
    if (!readWhole(texts.iterations, s.iterations) || s.iterations < 0) {
        return "--iterations " + texts.iterations + ": the count must be a whole number >= 0";
    }
    if (s.seconds == 0.0 && s.iterations == 0) {
        return "--time 0 sets no time limit: give --iterations N (N >= 1) as well";
    }
    return {};
}

}  // namespace

bool commandLineJob(const Options& options)
{
    if (options.plate || options.gap || options.margin || options.turnOver) return true;
    if (options.inputs.size() != 1) return true;
    const std::string& file = options.inputs.front();
    JobEntry entry;
    parsePartArgument(file, entry);  // a quantity (even a refused one) makes a job
    return isDxfFileName(entry.path) || entry.path != file;
}

ParseResult parseOptions(int argc, char** argv)
{
    Options options;
    std::string layoutName = "hape";
    SearchTexts search;
    CLI::App app{"Lays out the parts of a part library on plates (batch, no window)", "orvonest"};
    app.set_version_flag("--version", std::string("orvonest ") + ORVO_VERSION);
    addOptions(app, options, layoutName, search);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help();
        return {std::nullopt, 0};
    } catch (const CLI::CallForVersion& e) {
        std::cout << e.what() << '\n';
        return {std::nullopt, 0};
    } catch (const CLI::ParseError& e) {
        std::cerr << "orvonest: " << e.what() << "\nRun with --help for the options.\n";
        return {std::nullopt, 2};
    }
    options.layout = kLayoutNames.at(layoutName);
    options.library = options.inputs.front();
    if (const std::string fault = searchOptionsFault(app, search, options.layout, options.optimise); !fault.empty()) {
        std::cerr << "orvonest: " << fault << "\nRun with --help for the options.\n";
        return {std::nullopt, 2};
    }
    // "--report" without a value: the active plate.
    if (app.count("--report") > 0 && !options.reportPlate) options.reportPlate = -1;
    return {options, 0};
}

}  // namespace orvo::cli
