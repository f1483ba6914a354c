#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "support/nest_session.h"

namespace orvo::test {

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
