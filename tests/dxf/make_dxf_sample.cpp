// Lays out three parts of a library by hand on two plates, writes the drawings into a
// folder and a small JSON file of what they must show, for the independent DXF reader.
// Usage: make_dxf_sample LIBRARY FOLDER

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <vector>

#include "app/open_library.h"
#include "nesting/nest_system.h"
#include "output/dxf_export.h"
#include "support/recording_platform.h"

namespace {

using namespace orvo;

bool hasArc(const NestSystem& ns, const Part& part)
{
    for (const PartOutline& o : ns.outlines) {
        if (o.partId != part.partId) continue;
        return std::any_of(o.outer.radii.begin(), o.outer.radii.end(),
                           [](double r) { return r != 0.0; });
    }
    return false;
}

// Moves the part so that its box starts at (x, y) on the plate.
void putOnPlate(Part& part, const Plate& plate, double x, double y)
{
    part.translatePart(plate.innerBox.min_X + x - part.box.min_X,
                       plate.innerBox.min_Y + y - part.box.min_Y);
    part.plateId = plate.id;
}

std::vector<Part*> pickParts(NestSystem& ns)
{
    std::vector<Part*> picked;
    for (Part& part : ns.nestParts) {
        if (picked.size() < 2 && hasArc(ns, part)) picked.push_back(&part);
    }
    for (Part& part : ns.nestParts) {
        if (picked.size() < 3 && std::find(picked.begin(), picked.end(), &part) == picked.end()) {
            picked.push_back(&part);
        }
    }
    return picked;
}

void writeBox(std::ostream& out, const BoundingBox& b)
{
    out << "[" << b.min_X << ", " << b.max_X << ", " << b.min_Y << ", " << b.max_Y << "]";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: make_dxf_sample LIBRARY FOLDER\n";
        return 2;
    }
    orvo::test::RecordingPlatform platform;
    NestSystem ns(platform, argv[2]);
    if (!openPartLibrary(ns, argv[1]) || ns.nestParts.size() < 3) {
        std::cerr << "make_dxf_sample: the library gives fewer than three parts\n";
        return 1;
    }
    const Plate& first = ns.addPlate(ns.plateLength, ns.plateWidth);
    const Plate& second = ns.addPlate(ns.plateLength, ns.plateWidth);
    std::vector<Part*> parts = pickParts(ns);
    putOnPlate(*parts[0], first, 0, 0);
    parts[1]->mirrorPart(parts[1]->pose.basePt);
    parts[1]->rotatePart(parts[1]->pose.basePt, 0.5);
    putOnPlate(*parts[1], first, ns.plateLength / 2, 0);
    putOnPlate(*parts[2], second, 0, 0);

    if (!exportAllPlates(ns) || !exportPlateFile(ns, first) || !exportPartFiles(ns)) return 1;

    std::ofstream expect(std::string(argv[2]) + "/expect.json");
    expect.precision(17);
    expect << "{\n  \"plates\": [";
    writeBox(expect, first.outerBox);
    expect << ", ";
    writeBox(expect, second.outerBox);
    expect << "],\n  \"plate_file\": \"" << plateFileName(first.id) << "\",\n";
    expect << "  \"plate_labels\": [\"" << parts[0]->label.text << "\", \""
           << parts[1]->label.text << "\"],\n";
    expect << "  \"other_label\": \"" << parts[2]->label.text << "\",\n";
    expect << "  \"arcs\": " << (hasArc(ns, *parts[0]) ? "true" : "false") << ",\n";
    const Part& shape = ns.trueShapes.front();
    expect << "  \"part_file\": \"" << partFileNames(ns).front() << "\",\n";
    expect << "  \"part_edges\": " << shape.outer.count() + [&] {
        int n = 0;
        for (const Contour& hole : shape.holes) n += hole.count();
        return n;
    }() << "\n}\n";
    return expect ? 0 : 1;
}
