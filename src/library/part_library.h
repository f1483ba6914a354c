#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace orvo {

class LineReader;
class Platform;

// The nesting configuration of a part library; all zero before a file is read.
struct NestConfig {
    int32_t nestType = 0;
    int32_t mplateType = 0;
    double feetLength_0 = 0.0;
    double feetLength_1 = 0.0;
    double staPlate_0 = 0.0;
    double staPlate_1 = 0.0;
    double minPlate_0 = 0.0;
    double minPlate_1 = 0.0;
    double maxPlate_0 = 0.0;
    double maxPlate_1 = 0.0;
    bool bAutoResize = false;
    bool bMirror = false;
    double partToPartGap = 0.0;
    double partToMplateGap = 0.0;
    bool bPartTurnover = false;
    bool bHolePart = false;
    int32_t maxNestPartNum = 0;
    double minPartGap = 0.0;
    double maxPartGap = 0.0;
    double minMplateGap = 0.0;
    double maxMplateGap = 0.0;
    double precision_length = 0.0;
    double precision_ang = 0.0;
};

// One numbered point line: index,code,text,aux1,aux2,value,x,y.
struct PointRecord {
    static constexpr size_t kMaxText = 63;

    double value = 0.0;
    double x = 0.0;
    double y = 0.0;
    int32_t code = 0;
    std::string text;
    double aux1 = 0.0;
    double aux2 = 0.0;
};

// One part as read.
struct PartRecord {
    std::string nameId;
    std::string partName;
    int32_t infoInt = 0;
    bool infoFlag = false;
    double infoReal = 0.0;
    std::vector<PointRecord> points;
};

struct PartLibrary {
    bool opened = false;  // false: the file could not be opened (the user has been told)
    NestConfig config;
    std::vector<PartRecord> records;  // the accepted records in file order
};

// Reads a library file. A file that cannot be opened shows "零件数据文件读取失败!"
// with caption "Warning!" and gives opened = false.
PartLibrary readPartLibrary(const std::string& path, Platform& platform);
// The same reader over any stream (tests, fuzzing).
PartLibrary readPartLibrary(std::istream& in);

// Reads a CONFIGINFO section after its first line, up to its end line or the end of
// the stream, starting from an all-zero configuration.
NestConfig readConfigSection(LineReader& lines);
// Reads a PARTINFO record after its first line into the (reset) record; true when the
// record is accepted.
bool readPartRecord(LineReader& lines, PartRecord& record);

}  // namespace orvo
