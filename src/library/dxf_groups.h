#pragma once

#include <string>
#include <string_view>

namespace orvo {

// The group pairs of an ASCII DXF file, checked and made safe for the DXF library to read.
struct DxfGroupText {
    bool ok = false;
    // Why the bytes are not a readable DXF file (Chinese), when ok is false.
    std::string fault;
    // The pairs up to and including "0 / EOF", one line each, as the library reads them.
    std::string text;
    int pairCount = 0;
};

// Checks the pair structure (every code line an integer group code, a first SECTION, a
// final EOF) and bounds what the library would otherwise trust: the vertex, knot and
// control point counts of LWPOLYLINE, SPLINE and LEADER become at most the number of
// pairs that follow them in their entity, a bulge is passed only after the vertex it
// belongs to, comments are dropped and every value is cut to a line the library holds.
DxfGroupText checkDxfGroups(std::string_view bytes);

}  // namespace orvo
