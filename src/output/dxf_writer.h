#pragma once

#include <string>
#include <string_view>

#include "geometry/point.h"
#include "library/arc.h"
#include "base/text_file.h"

namespace orvo {

// A minimal DXF drawing: one ENTITIES section and nothing else (layers are named by
// their number and never declared). Every entity writer expects the "  0" line that
// announces it to be written already and ends with the "  0" of the next one.
// Numbers are written by formatDxfNumber.
void beginDxfEntities(LineSink& out);
void endDxfEntities(LineSink& out);
void writeDxfLine(LineSink& out, const Point& start, const Point& end, int layer);
void writeDxfColouredLine(LineSink& out, const Point& start, const Point& end, int layer,
                          int colour);
// The arc's angles are degrees and written unchanged (an end angle above 360 included).
void writeDxfArc(LineSink& out, const Arc& arc, int layer, int colour);
// The text is written byte for byte (part names may be GBK), except that CR and LF
// become spaces: the value must stay on its one line.
void writeDxfText(LineSink& out, std::string_view text, int layer, double x, double y,
                  double height, double angle);
void writeDxfPoint(LineSink& out, const Point& point, int layer);

// A number of a drawing as "%.12g" writes it ("." in every locale, no trailing zeros), with
// one digit more for every power of ten from 1e6 on, so that a coordinate reads back within
// 1e-6 mm wherever a plate lies (beyond 1e11 as the double itself, with 17 digits). The arc
// angles are written with 15 digits.
std::string formatDxfNumber(double value, int digits = 12);

}  // namespace orvo
