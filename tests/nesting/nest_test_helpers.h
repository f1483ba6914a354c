#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/contour.h"

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

}  // namespace orvo::test
