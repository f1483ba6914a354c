#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "support/nest_session.h"

namespace orvo::test {

// The small layout setting of the layout tests: plates of 1000 x 500 in columns of 5,
// 50 apart, a grid of 10, four turns and turning over.
inline void useSmallPlates(NestSystem& ns, double packingPointDistance = 10.0)
{
    ns.plateLength = 1000.0;
    ns.plateWidth = 500.0;
    ns.plateSpacing = 50.0;
    ns.platesPerColumn = 5;
    ns.packingPointDistance = packingPointDistance;
    ns.rotationNumber = 4;
    ns.turnOver = true;
}

// A test with a NestSystem of its own (ns), its recording platform and its work folder.
struct NestFixture : ::testing::Test, NestSession {
    // Appends a copy to nestParts, unplaced or on the plate with that id.
    Part& add(Part part, int32_t plateId = -1)
    {
        part.plateId = plateId;
        ns.nestParts.push_back(part);
        return ns.nestParts.back();
    }
};

}  // namespace orvo::test
