#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/contour.h"
#include "geometry/part.h"
#include "geometry/overlap.h"
#include "app/open_library.h"
#include "nesting/nest_system.h"
#include "support/recording_platform.h"

namespace orvo::test {

// A fresh folder under the system's temporary folder, removed with its files at the end.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvo_nest_XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

inline Contour polygon(const std::vector<Point>& points)
{
    Contour k;
    k.setPoints(points);
    return k;
}

inline Contour rectangle(double x0, double y0, double w, double h)
{
    return polygon({{x0, y0}, {x0 + w, y0}, {x0 + w, y0 + h}, {x0, y0 + h}});
}

inline Part makePart(const Contour& outer, const std::vector<Contour>& holes = {}, int32_t id = 0)
{
    ContourList list;
    for (const Contour& h : holes) list.insert(h);
    Part part;
    part.initShape(outer, list);
    part.partId = id;
    return part;
}

inline Part rectPart(double x0, double y0, double w, double h, int32_t id = 0)
{
    return makePart(rectangle(x0, y0, w, h), {}, id);
}

inline Part polygonPart(const std::vector<Point>& points, int32_t id = 0)
{
    return makePart(polygon(points), {}, id);
}

// A NestSystem of its own in a fresh folder, talking to a recording platform.
struct NestFixture : ::testing::Test {
    RecordingPlatform platform;
    TempFolder folder;
    NestSystem ns{platform, folder.path()};

    // Appends a copy to nestParts, unplaced or on the plate with that id.
    Part& add(Part part, int32_t plateId = -1)
    {
        part.plateId = plateId;
        ns.nestParts.push_back(part);
        return ns.nestParts.back();
    }
};

// The placement of every part in list order; equal lists mean the same layout bit for bit.
struct Placement {
    int32_t plateId;
    double x, y, angle;
    bool mirrored;
    bool operator==(const Placement&) const = default;
};

inline std::vector<Placement> placements(const NestSystem& ns)
{
    std::vector<Placement> result;
    for (const Part& a : ns.nestParts) {
        const Pose& at = a.pose;
        result.push_back({a.plateId, at.basePt.x, at.basePt.y, at.rotationAngle, at.mirrored});
    }
    return result;
}

// Every part on a plate lies inside the plate's inner box and is disjoint from every
// other part on that plate; returns how many parts are placed.
inline int expectLegalLayout(const NestSystem& ns, const std::string& label = "")
{
    int placed = 0;
    for (auto a = ns.nestParts.begin(); a != ns.nestParts.end(); ++a) {
        if (a->plateId == -1) continue;
        ++placed;
        const Plate* p = ns.findPlate(a->plateId);
        EXPECT_NE(p, nullptr) << label << " part " << a->partId;
        if (p == nullptr) continue;
        EXPECT_TRUE(boxInsideRect(*a, p->innerBox)) << label << " part " << a->partId;
        for (auto b = std::next(a); b != ns.nestParts.end(); ++b) {
            if (b->plateId != a->plateId) continue;
            EXPECT_TRUE(partsDisjoint(*a, *b))
                << label << " parts " << a->partId << " and " << b->partId;
        }
    }
    return placed;
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
