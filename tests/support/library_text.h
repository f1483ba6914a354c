#pragma once

// Part library texts for tests: the configuration section and part records of closed
// loops, and what a benchmark library says in its header.

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace orvo::test {

struct LoopVertex {
    double x;
    double y;
    double radius;  // of the edge that leaves the vertex
};

// The CONFIGINFO section with the keys padded to 16 characters.
inline std::string configSection(double partGap, double plateGap, double length, double width,
                                 bool turnOver)
{
    auto key = [](std::string name, double value) {
        name.resize(16, ' ');
        std::string text = std::to_string(value);
        return name + "=" + text + "\n";
    };
    return "CONFIGINFO\n" + key("partToPartGap", partGap) + key("partToMplateGap", plateGap) +
           key("staPlate_0", length) + key("staPlate_1", width) +
           key("bPartTurnover", turnOver ? 1 : 0) + "_end_\n";
}

// One PARTINFO record of closed loops (the first value of a loop is its vertex count + 1).
inline std::string partRecord(const std::string& name, const std::vector<std::vector<LoopVertex>>& loops)
{
    std::vector<std::string> rows = {"0,0,0"};
    for (size_t n = 0; n < loops.size(); ++n) {
        const auto& loop = loops[n];
        if (n > 0) rows.push_back("0,0,0");
        for (size_t k = 0; k < loop.size(); ++k) {
            const double value = k == 0 ? double(loop.size() + 1) : loop[k - 1].radius;
            rows.push_back(std::to_string(value) + "," + std::to_string(loop[k].x) + "," +
                           std::to_string(loop[k].y));
        }
        rows.push_back(std::to_string(loop.back().radius) + "," + std::to_string(loop[0].x) + "," +
                       std::to_string(loop[0].y));
    }
    std::string text = "PARTINFO\nNameID=" + name + "\npointNum=" + std::to_string(rows.size()) + "\n";
    for (size_t i = 0; i < rows.size(); ++i) text += std::to_string(i) + ",0,L,0,0," + rows[i] + "\n";
    return text + "_end_\n";
}

inline std::vector<LoopVertex> rectLoop(double x, double y, double w, double h)
{
    return {{x, y, 0}, {x + w, y, 0}, {x + w, y + h, 0}, {x, y + h, 0}};
}

// The rotation number a benchmark library asks for in its header ("# RN: n"); 0 when
// it names none.
inline int headerRotationNumber(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line) && line.rfind("#", 0) == 0) {
        if (line.rfind("# RN:", 0) == 0) return std::atoi(line.c_str() + 5);
    }
    return 0;
}

}  // namespace orvo::test
