#include "cli/summary.h"

#include <map>
#include <set>
#include <sstream>

#include "base/number_text.h"
#include "geometry/point.h"
#include "base/text_encoding.h"
#include "output/dxf_export.h"
#include "output/packing_info.h"

namespace orvo::cli {

namespace {

using json = nlohmann::ordered_json;

json boxJson(const BoundingBox& box)
{
    return {{"min_X", box.min_X}, {"max_X", box.max_X}, {"min_Y", box.min_Y}, {"max_Y", box.max_Y}};
}

std::string recordName(const NestSystem& ns, int32_t partId)
{
    if (partId < 0 || partId >= static_cast<int32_t>(ns.recordNames.size())) return {};
    return gbkToUtf8(ns.recordNames[static_cast<size_t>(partId)]);
}

// Records of the library that gave no nesting part (assembly failed, or an arc too small).
json droppedJson(const NestSystem& ns)
{
    std::set<int32_t> kept;
    for (const Part& part : ns.nestParts) kept.insert(part.partId);
    json dropped = json::array();
    for (int32_t id = 0; id < static_cast<int32_t>(ns.recordNames.size()); ++id) {
        if (!kept.count(id)) dropped.push_back({{"partId", id}, {"name", recordName(ns, id)}});
    }
    return dropped;
}

json configJson(const NestSystem& ns)
{
    return {{"partToPartGap", ns.partGap},
            {"partToMplateGap", ns.plateGap},
            {"plateLength", ns.plateLength},
            {"plateWidth", ns.plateWidth},
            {"rotationNumber", ns.rotationNumber},
            {"packingPointDistance", ns.packingPointDistance},
            {"turnOver", ns.turnOver}};
}

json platesJson(const NestSystem& ns)
{
    // Utilisation counts the true (not grown) area of the parts on a plate.
    std::map<int32_t, double> trueArea;
    for (const Part& part : ns.trueShapes) trueArea[part.partId] = part.netArea;
    json plates = json::array();
    for (const Plate& plate : ns.plates) {
        int32_t count = 0;
        double used = 0.0;
        for (const Part& part : ns.nestParts) {
            if (part.plateId != plate.id) continue;
            ++count;
            used += trueArea[part.partId];
        }
        const double area = boxArea(plate.outerBox);
        plates.push_back({{"id", plate.id},
                          {"outerBox", boxJson(plate.outerBox)},
                          {"partCount", count},
                          {"packedLength", ns.packedEdge(plate) - plate.outerBox.min_X},
                          {"utilisation", area > 0.0 ? used / area : 0.0},
                          {"active", &plate == ns.activePlate}});
    }
    return plates;
}

json partsJson(const NestSystem& ns)
{
    json parts = json::array();
    for (const Part& part : ns.nestParts) {
        parts.push_back({{"partId", part.partId},
                         {"name", recordName(ns, part.partId)},
                         {"plateId", part.plateId},
                         {"basePt", {part.pose.basePt.x, part.pose.basePt.y}},
                         {"rotationAngle", part.pose.rotationAngle},
                         {"mirrored", part.pose.mirrored}});
    }
    return parts;
}

// The file of every part's drawing, as --export-parts writes it. A name that is neither
// UTF-8 nor GBK is shown as the part names are, with replacement characters.
json partFilesJson(const NestSystem& ns)
{
    const std::vector<std::string> files = partFileNames(ns);
    json list = json::array();
    auto file = files.begin();
    for (const Part& part : ns.trueShapes) {
        list.push_back({{"partId", part.partId},
                        {"name", recordName(ns, part.partId)},
                        {"file", gbkToUtf8(*file++)}});
    }
    return list;
}

// Pairs of partIds that overlap, and partId with plateId of the parts off their plate.
json conflictsJson(const NestSystem& ns)
{
    const LayoutConflicts conflicts = findLayoutConflicts(ns);
    json overlapping = json::array();
    for (const auto& [a, b] : conflicts.overlapping) overlapping.push_back({a, b});
    json offPlate = json::array();
    for (const auto& [part, plate] : conflicts.offPlate) {
        offPlate.push_back({{"partId", part}, {"plateId", plate}});
    }
    return {{"overlapping", overlapping}, {"offPlate", offPlate}};
}

// What the search ranks layouts by. Its utilisation counts the grown shapes and is left
// out, so that no two utilisations of one summary differ; the plates list has the true one.
json scoreJson(const LayoutScore& score)
{
    return {{"placed", score.placed}, {"plates", score.plates}, {"lastPlateLength", score.lastPlateLength}};
}

json optimiseJson(const OptimiseRun& run)
{
    const OptimiseOutcome& outcome = run.outcome;
    json start = {{"method", layoutMethodName(outcome.start)}};
    start.update(scoreJson(outcome.startScore));
    json result = {{"seed", run.settings.seed},
                   {"threads", outcome.threads},
                   {"iterations", outcome.iterations},
                   {"seconds", outcome.seconds},
                   {"stopped", run.stopped},
                   {"timeLimit", run.settings.seconds},
                   {"iterationLimit", run.settings.iterations},
                   {"start", start}};
    result.update(scoreJson(run.held));
    return result;
}

std::string scoreText(const LayoutScore& score)
{
    return std::to_string(score.plates) + " plates, last plate " +
           formatFixed(score.lastPlateLength, 1) + " mm";
}

}  // namespace

void addLayoutMethod(json& summary, LayoutChoice choice, bool imported, const OptimiseRun* optimised)
{
    const char* method = imported                               ? "import"
                         : choice == LayoutChoice::Hape         ? "hape"
                         : choice == LayoutChoice::MultiStep    ? "multistep"
                         : choice == LayoutChoice::Optimise     ? "optimise"
                                                                : "none";
    summary["method"] = method;
    if (optimised != nullptr) summary["optimise"] = optimiseJson(*optimised);
}

json layoutSummary(const NestSystem& ns, const TerminalPlatform& platform, double layoutSeconds,
                   bool imported)
{
    json unplaced = json::array();
    for (const Part& part : ns.nestParts) {
        if (part.plateId == -1) unplaced.push_back(part.partId);
    }
    json messages = json::array();
    for (const auto& message : platform.messages()) {
        messages.push_back({{"caption", message.caption}, {"text", message.text}});
    }
    json summary = {{"library", gbkToUtf8(ns.libraryPath)},
                    {"partsRead", ns.recordsRead},
                    {"partsDropped", droppedJson(ns)},
                    {"config", configJson(ns)},
                    {"plates", platesJson(ns)},
                    {"parts", partsJson(ns)},
                    {"unplaced", unplaced},
                    {"partFiles", partFilesJson(ns)},
                    {"layoutSeconds", layoutSeconds},
                    {"messages", messages}};
    if (imported) summary["conflicts"] = conflictsJson(ns);
    return summary;
}

std::string shortSummary(const NestSystem& ns, double layoutSeconds)
{
    const int32_t dropped = ns.recordsRead - static_cast<int32_t>(ns.nestParts.size());
    std::ostringstream out;
    out << ns.recordsRead << " parts read, " << dropped << " dropped, " << ns.plates.size()
        << " plates used, " << ns.unplacedCount() << " unplaced, layout "
        << static_cast<int64_t>(layoutSeconds * 1000.0 + 0.5) << " ms";
    return out.str();
}

}  // namespace orvo::cli

namespace orvo::cli {

std::string optimiseSummary(const OptimiseRun& run)
{
    const OptimiseOutcome& outcome = run.outcome;
    std::string text = std::string("optimise from ") + layoutMethodName(outcome.start) + " (" +
                       scoreText(outcome.startScore) + ") to " + scoreText(run.held) + ", " +
                       std::to_string(outcome.iterations) + " iterations on " +
                       std::to_string(outcome.threads) + (outcome.threads == 1 ? " thread" : " threads");
    if (run.stopped) text += ", ended by Ctrl+C";
    return text;
}

}  // namespace orvo::cli
