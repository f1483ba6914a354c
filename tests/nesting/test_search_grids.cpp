#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "nesting/layout_all.h"
#include "nesting/nest_system.h"
#include "nesting/search_grids.h"
#include "support/nest_fixture.h"
#include "support/shapes.h"

namespace orvo {
namespace {

using test::polygonPart;
using test::rectPart;

struct SearchGridsFixture : test::NestFixture {
    void SetUp() override
    {
        test::useSmallPlates(ns, 7.0);
        std::mt19937 random(5);
        auto size = [&](int low, int high) { return static_cast<double>(low + static_cast<int>(random() % (high - low + 1))); };
        for (int i = 0; i < 40; ++i) {
            const double w = size(40, 260);
            const double h = size(40, 200);
            // Every third a frame: its hole holds free points inside the part's box.
            Part part = i % 3 == 0 ? rectPart(0, 0, w, h, i)
                        : i % 3 == 1 ? polygonPart({{0, 0}, {w, 0}, {0, h}}, i)
                                     : polygonPart({{0, 0}, {w, 0}, {w, h}, {0, h}},
                                                   {{{w / 4, h / 4}, {w / 4, 3 * h / 4}, {3 * w / 4, 3 * h / 4}, {3 * w / 4, h / 4}}});
            part.partId = i;
            part.translatePart(-part.box.min_X, -part.box.max_Y);
            add(part);
        }
        layoutAll(ns, LayoutMethod::Gravity);
    }

    // The grid generatePackingPoints makes for p's box now, point by point against the
    // lent one.
    void expectFresh(SearchGrids& grids, const Plate& p, const BoundingBox& box, const std::string& label)
    {
        Plate cut = p;
        cut.outerBox = box;
        ns.generatePackingPoints(cut);
        const PackingPointGrid fresh = ns.packingPoints;
        ns.releasePackingPoints();
        ASSERT_TRUE(grids.lend(ns, p, box)) << label;
        const PackingPointGrid& lent = ns.packingPoints;
        ASSERT_EQ(lent.columns, fresh.columns) << label;
        ASSERT_EQ(lent.rows, fresh.rows) << label;
        int64_t wrong = 0;
        for (int32_t i = 0; i < fresh.columns; ++i) {
            for (int32_t j = 0; j < fresh.rows; ++j) {
                const PackingPoint& a = lent.at(i, j);
                const PackingPoint& b = fresh.at(i, j);
                if (a.pos.x != b.pos.x || a.pos.y != b.pos.y || a.occupied != b.occupied) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0) << label;
        grids.giveBack(ns);
        EXPECT_EQ(ns.packingPoints.columns, 0) << label;
    }
};

// Parts leaving, moving between plates and coming back: after each change the kept grid,
// whole or cut, holds exactly the points a fresh grid holds.
TEST_F(SearchGridsFixture, KeptGridsEqualFreshOnesAfterEveryChange)
{
    ASSERT_GE(ns.plates.size(), 2u);
    SearchGrids grids;
    for (const Plate& p : ns.plates) expectFresh(grids, p, p.outerBox, "start plate " + std::to_string(p.id));

    std::mt19937 random(11);
    for (int round = 0; round < 12; ++round) {
        const std::string label = "round " + std::to_string(round);
        std::vector<Part> before;
        std::vector<Part*> moved;
        for (Part& part : ns.nestParts) {
            if (part.plateId == -1 || random() % 4 != 0) continue;
            before.push_back(part);
            moved.push_back(&part);
            grids.markLeft(part.plateId, part.outer.box);
            part.plateId = -1;
        }
        for (const Plate& p : ns.plates) {
            expectFresh(grids, p, p.outerBox, label + " taken off, plate " + std::to_string(p.id));
            // A cut box: the first columns of the kept grid.
            BoundingBox cut = p.outerBox;
            cut.max_X = cut.min_X + boxWidth(cut) * (0.3 + 0.05 * round);
            expectFresh(grids, p, cut, label + " cut, plate " + std::to_string(p.id));
        }
        // Half of them come back where they were, the others onto the other plate, not
        // marking their points (as an undone step or a copied layout puts them back).
        for (size_t k = 0; k < moved.size(); ++k) {
            *moved[k] = before[k];
            if (k % 2 == 1) {
                const Plate& from = ns.plates.front().id == before[k].plateId ? ns.plates.front() : ns.plates.back();
                const Plate& to = &from == &ns.plates.front() ? ns.plates.back() : ns.plates.front();
                moved[k]->translatePart(to.outerBox.min_X - from.outerBox.min_X, to.outerBox.min_Y - from.outerBox.min_Y);
                moved[k]->plateId = to.id;
            }
            grids.markJoined(moved[k]->plateId, moved[k]->outer.box);
        }
        for (const Plate& p : ns.plates) expectFresh(grids, p, p.outerBox, label + " back, plate " + std::to_string(p.id));
    }
}

// Plates that go are forgotten; a plate that comes back gets a fresh grid, whatever was
// marked meanwhile.
TEST_F(SearchGridsFixture, ForgottenPlatesAreMadeAfresh)
{
    SearchGrids grids;
    for (const Plate& p : ns.plates) expectFresh(grids, p, p.outerBox, "start");
    const Plate last = ns.plates.back();
    ns.plates.pop_back();
    grids.keepPlatesOf(ns);
    EXPECT_EQ(grids.grid(last.id), nullptr);
    EXPECT_NE(grids.grid(ns.plates.front().id), nullptr);
    for (Part& part : ns.nestParts) {
        if (part.plateId == last.id) {
            grids.markLeft(last.id, part.outer.box);
            part.plateId = -1;
        }
    }
    ns.plates.push_back(last);
    expectFresh(grids, last, last.outerBox, "back");
}

}  // namespace
}  // namespace orvo
