#include <gtest/gtest.h>

#include <random>
#include <string>

#include "nesting/layout_all.h"
#include "nesting/gravity.h"
#include "nesting/plate_parts.h"
#include "support/nest_fixture.h"

namespace orvo {
namespace {

// A laid-out library with holes and gaps; its last plate has parts to collide with and
// room beside them.
struct LaidOutPlate : test::NestFixture {
    const Plate* plate = nullptr;

    void SetUp() override
    {
        const std::string path = std::string(ORVO_BENCHMARK_DIR) + "/synthetic/sheet50.preSrc";
        ASSERT_TRUE(openLibrary(path));
        layoutAll(ns, LayoutMethod::Gravity);
        ASSERT_FALSE(ns.plates.empty());
        plate = &ns.plates.back();
    }
};

// The gathered parts must answer every fit test exactly as the walk over nestParts does:
// near misses, collisions, parts in holes, parts over the plate's edge, one part tested
// against its own plate, and the same gathering and prepared parts reused throughout.
TEST_F(LaidOutPlate, GatheredPartsAnswerAsFitsOnPlate)
{
    std::mt19937 random(17);
    const BoundingBox& inner = plate->innerBox;
    std::uniform_real_distribution<double> x(inner.min_X - 50.0, inner.max_X + 50.0);
    std::uniform_real_distribution<double> y(inner.min_Y - 50.0, inner.max_Y + 50.0);
    std::uniform_real_distribution<double> nudge(-3.0, 3.0);
    PlateParts gathered(ns, *plate);
    int fits = 0, tests = 0;
    for (const Part& part : ns.nestParts) {
        PreparedPart prepared;
        prepared.prepare(part);
        for (int trial = 0; trial < 30; ++trial) {
            // Half the trials go anywhere, half next to where some part of the plate lies.
            const double dx = trial % 2 == 0 ? x(random) - part.box.min_X : nudge(random);
            const double dy = trial % 2 == 0 ? y(random) - part.box.min_Y : nudge(random);
            Part moved = part;
            moved.translatePart(dx, dy);
            const bool expected = ns.fitsOnPlate(*plate, moved);
            ASSERT_EQ(gathered.fits(moved), expected) << part.partId << " trial " << trial;
            prepared.shiftX = dx;
            prepared.shiftY = dy;
            ASSERT_EQ(gathered.fits(prepared), expected) << part.partId << " trial " << trial;
            fits += expected ? 1 : 0;
            ++tests;
        }
    }
    EXPECT_GT(fits, tests / 20);
    EXPECT_LT(fits, tests - tests / 20);
}

TEST_F(LaidOutPlate, APartOnThePlateIsTestedWithoutItself)
{
    for (Part& part : ns.nestParts) {
        if (part.plateId != plate->id) continue;
        PlateParts others(ns, *plate, &part);
        PreparedPart moving;
        moving.prepare(part);
        const double steps[3][2] = {{0.0, 0.0}, {-0.5, 0.0}, {0.0, -2.0}};
        for (const auto& step : steps) {
            part.translatePart(step[0], step[1]);
            moving.refresh();
            ASSERT_EQ(others.fits(moving), ns.fitsOnPlateExcept(*plate, part)) << part.partId;
            EXPECT_FALSE(PlateParts(ns, *plate).fits(moving)) << "without the exception it meets itself";
        }
    }
}

}  // namespace
}  // namespace orvo
