#include "output/dxf_writer.h"

#include <cmath>
#include <string>

#include "base/number_text.h"

namespace orvo {

namespace {

constexpr int kAngleDigits = 15;

void writeCoordinate(LineSink& out, const char* code, double value)
{
    out.line(code);
    out.line(formatDxfNumber(value));
}

void writeLayer(LineSink& out, int layer)
{
    out.line("  8");
    out.line(std::to_string(layer));
}

void writeColour(LineSink& out, int colour)
{
    out.line(" 62");
    out.line(std::to_string(colour));
}

// A line break inside a value would end the value's line early and shift every group
// code after it; part names read from a library may hold a lone CR.
std::string singleLine(std::string_view text)
{
    std::string line(text);
    for (char& c : line) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return line;
}

void writeLineBody(LineSink& out, const Point& start, const Point& end)
{
    writeCoordinate(out, " 10", start.x);
    writeCoordinate(out, " 20", start.y);
    out.line(" 30");
    out.line("0.0");
    writeCoordinate(out, " 11", end.x);
    writeCoordinate(out, " 21", end.y);
    out.line(" 31");
    out.line("0.0");
    out.line("  0");
}

}  // namespace

std::string formatDxfNumber(double value, int digits)
{
    // Six decimals up to 10^(digits - 6); further out (plates far to the left) one digit
    // more for every power of ten, up to 17, where every double reads back as itself.
    double bound = 1.0;
    for (int k = 6; k < digits; ++k) bound *= 10.0;
    for (; digits < 17 && std::fabs(value) >= bound; bound *= 10.0) ++digits;
    return formatG(value, digits);
}

void beginDxfEntities(LineSink& out)
{
    out.line("  0");
    out.line("SECTION");
    out.line("  2");
    out.line("ENTITIES");
    out.line("  0");
}

void endDxfEntities(LineSink& out)
{
    out.line("ENDSEC");
    out.line("  0");
    out.line("EOF");
}

void writeDxfLine(LineSink& out, const Point& start, const Point& end, int layer)
{
    out.line("LINE");
    writeLayer(out, layer);
    writeLineBody(out, start, end);
}

void writeDxfColouredLine(LineSink& out, const Point& start, const Point& end, int layer,
                          int colour)
{
    out.line("LINE");
    writeLayer(out, layer);
    writeColour(out, colour);
    writeLineBody(out, start, end);
}

void writeDxfArc(LineSink& out, const Arc& arc, int layer, int colour)
{
    out.line("ARC");
    writeLayer(out, layer);
    writeColour(out, colour);
    writeCoordinate(out, " 10", arc.centre.x);
    writeCoordinate(out, " 20", arc.centre.y);
    out.line(" 30");
    out.line("0.0");
    writeCoordinate(out, " 40", arc.radius);
    // A radius R turns an error e of an angle into R * e at the arc's ends.
    out.line(" 50");
    out.line(formatDxfNumber(arc.startAngle, kAngleDigits));
    out.line(" 51");
    out.line(formatDxfNumber(arc.endAngle, kAngleDigits));
    out.line("  0");
}

void writeDxfText(LineSink& out, std::string_view text, int layer, double x, double y,
                  double height, double angle)
{
    out.line("TEXT");
    writeLayer(out, layer);
    writeCoordinate(out, " 10", x);
    writeCoordinate(out, " 20", y);
    out.line(" 30");
    out.line("0");  // the Z of a TEXT is an integer, unlike that of the other entities
    writeCoordinate(out, " 40", height);
    out.line("  1");
    out.line(singleLine(text));
    writeCoordinate(out, " 50", angle);
    out.line("  0");
}

void writeDxfPoint(LineSink& out, const Point& point, int layer)
{
    out.line("POINT");
    writeLayer(out, layer);
    writeCoordinate(out, " 10", point.x);
    writeCoordinate(out, " 20", point.y);
    out.line(" 30");
    out.line("0.0");
    out.line("  0");
}

}  // namespace orvo
