// Reads any bytes as a packing-information file into a NestSystem that holds a small
// laid-out library. A failed import must leave the layout exactly as it was; a
// successful one must match the library and export a file that imports again.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/open_library.h"
#include "nesting/nest_system.h"
#include "output/packing_info.h"
#include "support/nest_session.h"

namespace {

using namespace orvo;

// Three part types: a bracket with an arc edge and a hole, a triangle, a rectangle.
constexpr const char* kLibrary =
    "CONFIGINFO\n"
    "partToPartGap   =5\n"
    "partToMplateGap =10\n"
    "staPlate_0      =3000\n"
    "staPlate_1      =1500\n"
    "bPartTurnover   =1\n"
    "_end_\n"
    "PARTINFO\nNameID=P-001\npartName=bracket\npartinf=1,0,0\npointNum=12\n"
    "0,0,L,0,0,0,0,0\n1,0,L,0,0,5,0,0\n2,0,L,0,0,0,200,0\n3,0,L,0,0,60,200,100\n"
    "4,0,L,0,0,0,0,100\n5,0,L,0,0,0,0,0\n6,0,L,0,0,0,0,0\n7,0,L,0,0,5,50,25\n"
    "8,0,L,0,0,0,50,75\n9,0,L,0,0,0,80,75\n10,0,L,0,0,0,80,25\n11,0,L,0,0,0,50,25\n"
    "_end_\n"
    "PARTINFO\nNameID=T-002\npartName=triangle\npartinf=1,0,0\npointNum=5\n"
    "0,0,L,0,0,0,0,0\n1,0,L,0,0,4,0,0\n2,0,L,0,0,0,300,0\n3,0,L,0,0,0,0,120\n"
    "4,0,L,0,0,0,0,0\n"
    "_end_\n"
    "PARTINFO\nNameID=R-003\npartName=strip\npartinf=1,0,0\npointNum=6\n"
    "0,0,L,0,0,0,0,0\n1,0,L,0,0,5,0,0\n2,0,L,0,0,0,400,0\n3,0,L,0,0,0,400,40\n"
    "4,0,L,0,0,0,0,40\n5,0,L,0,0,0,0,0\n"
    "_end_\n";

void check(bool condition)
{
    if (!condition) std::abort();
}

bool writeFile(const std::string& path, const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// The library opened once, laid out by hand: one part rotated on the first plate, one
// turned over and rotated on the second, one on no plate; the second plate is active.
struct Fixture {
    Fixture()
    {
        check(!session.folder.path().empty());
        check(session.openLibraryText(kLibrary) && ns->nestParts.size() == 3);

        ns->addPlate(ns->plateLength, ns->plateWidth);
        ns->addPlate(ns->plateLength, ns->plateWidth);
        auto part = ns->nestParts.begin();
        place(*part++, ns->plates.front(), 0.7, false);
        place(*part++, ns->plates.back(), 2.1, true);
        ns->activePlate = &ns->plates.back();

        plates = ns->plates;
        parts = ns->nestParts;
        text = packingInfoText(*ns);
        input = session.folder.file("input.pck");
        again = session.folder.file("again.pck");
    }

    static void place(Part& part, const Plate& plate, double angle, bool turned)
    {
        if (turned) {
            const Point pivot = part.pose.basePt;
            part.mirrorPart(pivot);
        }
        const Point at((plate.innerBox.min_X + plate.innerBox.max_X) / 2.0,
                       (plate.innerBox.min_Y + plate.innerBox.max_Y) / 2.0);
        part.translatePart(at.x - part.pose.basePt.x, at.y - part.pose.basePt.y);
        part.rotatePart(at, angle);
        part.plateId = plate.id;
    }

    bool unchanged() const
    {
        if (packingInfoText(*ns) != text || ns->activePlate != &ns->plates.back()) return false;
        if (ns->plates.size() != plates.size() || ns->nestParts.size() != parts.size()) return false;
        auto was = parts.begin();
        for (const Part& part : ns->nestParts) {
            if (!sameBox(part.box, was->box) || part.outer.count() != was->outer.count()) {
                return false;
            }
            ++was;
        }
        return true;
    }

    // A taken layout holds every part of the library once, on no plate or on one plate of
    // its own id, within the coordinate and angle bounds.
    bool matchesLibrary() const
    {
        std::set<int32_t> plateIds;
        for (const Plate& plate : ns->plates) {
            if (!plateIds.insert(plate.id).second || plate.outerBox.min_X > plate.outerBox.max_X ||
                plate.outerBox.min_Y > plate.outerBox.max_Y) {
                return false;
            }
        }
        std::multiset<int32_t> ids;
        std::multiset<int32_t> libraryIds;
        for (const Part& part : ns->trueShapes) libraryIds.insert(part.partId);
        for (const Part& part : ns->nestParts) {
            ids.insert(part.partId);
            if (part.plateId != -1 && plateIds.count(part.plateId) == 0) return false;
            // The import takes values within a rounding (relative 1e-12) of the bounds.
            const double coordinates = NestSystem::kMaxCoordinate * (1.0 + 1e-12);
            if (!(std::fabs(part.pose.basePt.x) <= coordinates && std::fabs(part.pose.basePt.y) <= coordinates &&
                  std::fabs(part.pose.rotationAngle) <= NestSystem::kMaxRotationAngle * (1.0 + 1e-12))) {
                return false;
            }
        }
        return ids == libraryIds;
    }

    void restore()
    {
        ns->plates = plates;
        ns->nestParts = parts;
        ns->activePlate = &ns->plates.back();
    }

    test::NestSession session;
    NestSystem* const ns = &session.ns;
    PlateList plates;
    PartList parts;
    std::string text;
    std::string input;
    std::string again;
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fixture& f = fixture();
    check(writeFile(f.input, data, size));
    f.session.platform.clear();

    if (!importPackingInfo(*f.ns, f.input)) {
        // One message (naming what was refused), and nothing else changed.
        check(f.session.platform.messages.size() == 1);
        check(f.unchanged());
        return 0;
    }
    // Besides the inner-box warning, only the warning that lists overlapping or off-plate
    // parts, given exactly when there are some.
    bool conflictsWarned = false;
    for (const auto& shown : f.session.platform.messages) {
        const std::string& message = shown.text;
        const bool conflicts = message.rfind("排样文件已读入", 0) == 0;
        check(message == "包围盒数据错误!" || conflicts);
        conflictsWarned = conflictsWarned || conflicts;
    }
    check(conflictsWarned == !findLayoutConflicts(*f.ns).empty());
    check(f.ns->activePlate == (f.ns->plates.empty() ? nullptr : &f.ns->plates.front()));
    check(f.matchesLibrary());

    check(exportPackingInfo(*f.ns, f.again));
    check(importPackingInfo(*f.ns, f.again));
    f.restore();
    return 0;
}
