#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "nesting/layout_all.h"
#include "nesting/nest_system.h"
#include "nesting/optimise_search.h"
#include "support/layout_checks.h"
#include "support/nest_fixture.h"
#include "support/shapes.h"

namespace orvo {
namespace {

using test::polygonPart;
using test::rectPart;

struct EmptyPlateFixture : test::NestFixture {
    void SetUp() override
    {
        test::useSmallPlates(ns);
    }

    void addRandomLibrary(uint32_t seed)
    {
        std::mt19937 random(seed);
        auto size = [&](int low, int high) { return static_cast<double>(low + static_cast<int>(random() % (high - low + 1))); };
        for (int i = 0; i < 30; ++i) {
            const double w = size(30, 300);
            const double h = size(30, 200);
            Part part = i % 2 == 0 ? rectPart(0, 0, w, h, i) : polygonPart({{0, 0}, {w, 0}, {0, h}}, i);
            part.partId = i;
            part.translatePart(-part.box.min_X, -part.box.max_Y);
            add(part);
        }
    }

    // A first plate of 8 columns by 4 rows of 100 squares (a strip 184 wide left at the
    // right, 94 high at the top) and a second one with `bigParts` squares of 190 side.
    void squaresAndBigOnes(int bigParts)
    {
        const Plate& first = ns.addPlate(1000.0, 500.0);
        const double x0 = first.innerBox.min_X;
        const double y0 = first.innerBox.min_Y;
        int32_t id = 0;
        for (int column = 0; column < 8; ++column) {
            for (int row = 0; row < 4; ++row) {
                Part& square = add(rectPart(x0 + column * 102.0, y0 + row * 102.0, 100.0, 100.0, id), first.id);
                square.partId = id++;
            }
        }
        const Plate& second = ns.addPlate(1000.0, 500.0);
        for (int k = 0; k < bigParts; ++k) {
            Part& big = add(rectPart(second.innerBox.min_X + k * 200.0, second.innerBox.min_Y, 190.0, 190.0, id), second.id);
            big.partId = id++;
        }
    }

    // Every part's plate and vertices, to tell whether a layout changed at all.
    std::vector<Part> snapshot(const NestSystem& system) const
    {
        return {system.nestParts.begin(), system.nestParts.end()};
    }
    void expectSame(const std::vector<Part>& before, const NestSystem& system, const std::string& label) const
    {
        size_t i = 0;
        for (const Part& part : system.nestParts) EXPECT_TRUE(samePlacement(part, before[i++])) << label << " part " << i;
    }
};

// The second plate holds one part too large for the free room of the first: the move
// takes a few squares off the first plate for it and puts them into the room left, so the
// layout needs one plate; nothing is lost and the layout stays legal.
TEST_F(EmptyPlateFixture, MakesRoomForAPartAndEmptiesThePlate)
{
    squaresAndBigOnes(1);
    ASSERT_EQ(test::expectLegalLayout(ns, "start"), 33);

    LayoutSearch search(ns, 1, 0);
    bool emptied = false;
    for (int attempt = 0; attempt < 40 && !emptied; ++attempt) {
        const std::vector<Part> before = snapshot(search.working());
        emptied = search.emptyPlate();
        if (!emptied) expectSame(before, search.working(), "attempt " + std::to_string(attempt));
    }
    ASSERT_TRUE(emptied);
    EXPECT_EQ(search.score().plates, 1);
    EXPECT_EQ(search.score().placed, 33);
    search.writeLayout(ns);
    EXPECT_EQ(ns.plates.size(), 1u);
    EXPECT_EQ(ns.unplacedCount(), 0);
    EXPECT_EQ(test::expectLegalLayout(ns, "emptied"), 33);
}

// On random libraries and on the squares with three large parts to move (room for the
// first ones is made, then the squares taken off run short of room): an attempt either
// leaves the working layout exactly as it was, or has a plate less with every part
// placed; the layout is legal after every attempt.
TEST_F(EmptyPlateFixture, AnAttemptLosesNothingAndUndoesWhollyOnFailure)
{
    for (uint32_t seed = 0; seed <= 3; ++seed) {
        ns.nestParts.clear();
        ns.plates.clear();
        if (seed == 0) {
            squaresAndBigOnes(3);
        } else {
            addRandomLibrary(seed);
            layoutAll(ns, LayoutMethod::Gravity);
        }
        const int placed = static_cast<int>(ns.nestParts.size()) - ns.unplacedCount();
        LayoutSearch search(ns, seed, 0);
        for (int attempt = 0; attempt < 8; ++attempt) {
            const std::string label = "library " + std::to_string(seed) + " attempt " + std::to_string(attempt);
            const std::vector<Part> before = snapshot(search.working());
            const size_t plates = search.working().plates.size();
            if (search.emptyPlate()) {
                EXPECT_EQ(search.working().plates.size(), plates - 1) << label;
            } else {
                expectSame(before, search.working(), label);
                EXPECT_EQ(search.working().plates.size(), plates) << label;
            }
            EXPECT_EQ(static_cast<int>(search.working().nestParts.size()) - search.working().unplacedCount(), placed) << label;
            test::expectLegalLayout(search.working(), label);
        }
    }
}

// Steps (some of whose parts take others off for their room, some of which empty a plate)
// on random libraries: after every step each part is still placed, the layout is legal,
// and the best layout never gets worse.
TEST_F(EmptyPlateFixture, StepsLoseNoPartAndStayLegal)
{
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        ns.nestParts.clear();
        ns.plates.clear();
        addRandomLibrary(seed + 10);
        layoutAll(ns, LayoutMethod::Gravity);
        const int placed = static_cast<int>(ns.nestParts.size()) - ns.unplacedCount();
        LayoutSearch search(ns, seed, 1);
        LayoutScore best = search.score();
        for (int attempt = 0; attempt < 120; ++attempt) {
            const std::string label = "library " + std::to_string(seed) + " step " + std::to_string(attempt);
            search.step();
            EXPECT_EQ(static_cast<int>(search.working().nestParts.size()) - search.working().unplacedCount(), placed) << label;
            ASSERT_EQ(test::expectLegalLayout(search.working(), label), placed) << label;
            EXPECT_FALSE(betterScore(best, search.score())) << label;
            best = search.score();
        }
    }
}

}  // namespace
}  // namespace orvo
