// Reads any bytes as a DXF drawing of parts and builds every part it finds as the
// opening of a library would: pre-check, build, chord check, polygon part.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "library/assembly.h"
#include "library/dxf_parts.h"
#include "library/error_report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    orvo::ErrorReport report;  // writes nothing
    orvo::DxfPartOptions options;
    // A short input can still insert a block many times over: the edge budget bounds
    // the work and the memory of one run.
    options.maxEdges = 200000;
    const orvo::DxfParts parts = orvo::readDxfPartsFromBytes(bytes, "fuzz.dxf", options, report);
    if (!parts.readable && !parts.parts.empty()) std::abort();

    orvo::PartOutlineList outlines;
    for (const orvo::PartRecord& record : parts.parts) {
        orvo::PartOutline outline;
        const bool plain = orvo::precheckRecord(record, report);
        if (orvo::assembleOutline(record, outline, !plain, report)) outlines.push_back(outline);
    }
    orvo::dropBadOutlines(outlines, report);
    for (const orvo::PartOutline& outline : outlines) {
        if (outline.toPart().outer.count() == 0) std::abort();  // built outlines always have a shape
    }
    return 0;
}
