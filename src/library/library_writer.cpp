#include "library/library_writer.h"

#include "base/number_text.h"
#include "base/text_file.h"

namespace orvo {

namespace {

// A key padded to the 16 characters the reader looks for.
std::string keyLine(std::string key, const std::string& value)
{
    key.resize(16, ' ');
    return key + "=" + value;
}

// A line holding "_end_" ends the record, and a line break would start another line.
bool fitsOnItsLine(const std::string& text)
{
    return text.find_first_of("\r\n") == std::string::npos && text.find("_end_") == std::string::npos;
}

// A point's text field also ends at the next comma, so a text that cannot pass is left
// out (nothing reads it).
std::string pointText(const std::string& text)
{
    if (!fitsOnItsLine(text) || text.find(',') != std::string::npos) return {};
    return text.substr(0, PointRecord::kMaxText);
}

void writeRecord(LineSink& out, const PartRecord& record)
{
    out.line("PARTINFO");
    out.line("NameID=" + record.nameId);
    if (!record.partName.empty() && fitsOnItsLine(record.partName)) {
        out.line("partName=" + record.partName);
    }
    out.line("partinf=" + std::to_string(record.infoInt) + "," + (record.infoFlag ? "1" : "0") + "," +
             formatShortest(record.infoReal));
    out.line("pointNum=" + std::to_string(record.points.size()));
    for (size_t i = 0; i < record.points.size(); ++i) {
        const PointRecord& p = record.points[i];
        out.line(std::to_string(i) + "," + std::to_string(p.code) + "," + pointText(p.text) + "," +
                 formatShortest(p.aux1) + "," + formatShortest(p.aux2) + "," +
                 formatShortest(p.value) + "," + formatShortest(p.x) + "," + formatShortest(p.y));
    }
    out.line("_end_");
}

}  // namespace

std::string partLibraryText(const PartLibrary& library)
{
    const NestConfig& c = library.config;
    LineSink out;
    out.line("CONFIGINFO");
    out.line(keyLine("partToPartGap", formatShortest(c.partToPartGap)));
    out.line(keyLine("partToMplateGap", formatShortest(c.partToMplateGap)));
    out.line(keyLine("bPartTurnover", c.bPartTurnover ? "1" : "0"));
    out.line(keyLine("staPlate_0", formatShortest(c.staPlate_0)));
    out.line(keyLine("staPlate_1", formatShortest(c.staPlate_1)));
    out.line("_end_");
    for (const PartRecord& record : library.records) {
        out.line("");
        writeRecord(out, record);
    }
    return out.text();
}

bool writePartLibrary(const PartLibrary& library, const std::string& path, std::string* error)
{
    return writeWholeFile(path, partLibraryText(library), error);
}

}  // namespace orvo
