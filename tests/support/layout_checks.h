#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "geometry/overlap.h"
#include "nesting/nest_system.h"

namespace orvo::test {

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
    for (const Part& a : ns.nestParts)
        result.push_back({a.plateId, a.pose.basePt.x, a.pose.basePt.y, a.pose.rotationAngle, a.pose.mirrored});
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

}  // namespace orvo::test
