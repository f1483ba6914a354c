#include <gtest/gtest.h>

#include <random>

#include "app/layout_figures.h"
#include "support/nest_session.h"
#include "support/shapes.h"

namespace orvo {
namespace {

using test::squareOnPlate;

Plate plateAt(int32_t id, const BoundingBox& outer, double margin)
{
    Plate p;
    p.id = id;
    p.outerBox = outer;
    p.innerBox = {outer.min_X + margin, outer.max_X - margin, outer.min_Y + margin,
                  outer.max_Y - margin};
    return p;
}

// A square nesting part of side 10 with its true shape, a square of side 8 inside it,
// as the offset by half a 2 mm gap leaves them.
void addSquare(NestSystem& ns, int32_t id, double x, double y, int32_t plateId)
{
    Part nest = squareOnPlate(id, x, y, 10, plateId);
    Part shape = squareOnPlate(id, x + 1, y + 1, 8, -1);
    nest.pose.basePt = shape.pose.basePt;
    ns.nestParts.push_back(nest);
    ns.trueShapes.push_back(shape);
}

Part& partAt(NestSystem& ns, size_t index) { return *std::next(ns.nestParts.begin(), index); }

TEST(PlateFigures, CountTheTrueShapesOnEachPlateAgainstItsWholeArea)
{
    test::NestSession session;
    NestSystem& ns = session.ns;
    ns.plates.push_back(plateAt(0, {0, 100, 0, 100}, 5));
    ns.plates.push_back(plateAt(3, {200, 300, 0, 50}, 5));
    ns.plates.push_back(plateAt(4, {400, 400, 0, 50}, 0));  // no area
    addSquare(ns, 1, 10, 10, 0);
    addSquare(ns, 2, 30, 10, 0);
    addSquare(ns, 3, 210, 10, 3);
    addSquare(ns, 4, 500, 500, -1);  // waiting: on no plate
    addSquare(ns, 5, 600, 500, 9);   // on a plate that does not exist
    ns.activePlate = &ns.plates.back();

    const std::vector<PlateFigures> f = plateFigures(ns);
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[0].plateId, 0);
    EXPECT_EQ(f[0].partCount, 2);
    EXPECT_DOUBLE_EQ(f[0].partArea, 128.0);  // the true shapes, not the offset parts
    EXPECT_DOUBLE_EQ(f[0].utilisation, 1.28);
    EXPECT_EQ(f[1].plateId, 3);
    EXPECT_EQ(f[1].partCount, 1);
    EXPECT_DOUBLE_EQ(f[1].utilisation, 64.0 / 5000.0 * 100.0);
    EXPECT_EQ(f[2].partCount, 0);
    EXPECT_EQ(f[2].utilisation, 0.0);

    const PlateFigures active = activePlateFigures(ns);
    EXPECT_EQ(active.plateId, 4);
    EXPECT_EQ(active.partCount, 0);
    ns.activePlate = &ns.plates.front();
    EXPECT_DOUBLE_EQ(activePlateFigures(ns).utilisation, 1.28);
    ns.activePlate = nullptr;
    EXPECT_EQ(activePlateFigures(ns).partCount, -1);
}

TEST(SelectionFigures, NamesTheSelectedPartsAndMeasuresASingleOneInItsPose)
{
    test::NestSession session;
    NestSystem& ns = session.ns;
    for (int32_t id = 1; id <= 4; ++id) addSquare(ns, id, 20.0 * id, 0, -1);
    const char* names[] = {"A1", "\xC1\xE3\xBC\xFE", "C3", "D4"};  // the second in GBK: 零件
    size_t k = 0;
    for (Part& p : ns.nestParts) p.label.text = names[k++];
    ns.plates.push_back(plateAt(0, {0, 100, 0, 100}, 5));

    EXPECT_EQ(selectionFigures(ns).partCount, 0);
    EXPECT_FALSE(selectionFigures(ns).singleBoxKnown);

    // One part, turned by 45 degrees: its true shape's box, not the offset part's.
    Part& second = partAt(ns, 1);
    second.selected = true;
    second.rotatePart(second.pose.basePt, 0.25 * 3.14159265358979323846);
    SelectionFigures s = selectionFigures(ns);
    EXPECT_EQ(s.partCount, 1);
    ASSERT_EQ(s.names.size(), 1u);
    EXPECT_EQ(s.names[0], "零件");
    ASSERT_TRUE(s.singleBoxKnown);
    EXPECT_NEAR(s.singleLength, 8 * std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(s.singleWidth, 8 * std::sqrt(2.0), 1e-9);

    for (Part& p : ns.nestParts) p.selected = true;
    ns.plates.front().selected = true;
    s = selectionFigures(ns, 3);
    EXPECT_EQ(s.partCount, 4);
    EXPECT_EQ(s.plateCount, 1);
    EXPECT_EQ(s.names, (std::vector<std::string>{"A1", "零件", "C3"}));
    EXPECT_FALSE(s.singleBoxKnown);
}

struct ConflictTrackerTest : ::testing::Test {
    test::NestSession session;
    NestSystem& ns = session.ns;
    ConflictTracker tracker;

    void SetUp() override
    {
        ns.plates.push_back(plateAt(0, {0, 100, 0, 100}, 5));
        ns.plates.push_back(plateAt(1, {200, 300, 0, 100}, 5));
        addSquare(ns, 1, 10, 10, 0);
        addSquare(ns, 2, 30, 10, 0);
        addSquare(ns, 3, 210, 10, 1);
        addSquare(ns, 4, 500, 500, -1);
    }

    // What the layout methods would say of each part, tested from scratch.
    std::vector<char> expected()
    {
        std::vector<char> flags;
        for (const Part& p : ns.nestParts) {
            const Plate* plate = ns.findPlate(p.plateId);
            flags.push_back(p.plateId >= 0 && (plate == nullptr || !ns.fitsOnPlateExcept(*plate, p)));
        }
        return flags;
    }
};

TEST_F(ConflictTrackerTest, MarksBothPartsOfAnOverlapUntilOneMovesAway)
{
    tracker.update(ns);
    EXPECT_EQ(tracker.conflictCount(), 0);
    EXPECT_FALSE(tracker.update(ns));  // nothing moved: nothing changes

    partAt(ns, 1).translatePart(-15, 3);  // onto part 1
    EXPECT_TRUE(tracker.update(ns));
    EXPECT_TRUE(tracker.conflicted(0));
    EXPECT_TRUE(tracker.conflicted(1));
    EXPECT_FALSE(tracker.conflicted(2));

    // Parts that only touch are legal, as the layout methods leave them.
    partAt(ns, 1).translatePart(5, -3);
    EXPECT_TRUE(tracker.update(ns));
    EXPECT_EQ(tracker.conflictCount(), 0);

    // The other part moves off: the mark of the one that stayed goes as well.
    partAt(ns, 1).translatePart(-5, 0);
    tracker.update(ns);
    EXPECT_EQ(tracker.conflictCount(), 2);
    partAt(ns, 0).translatePart(0, 40);
    tracker.update(ns);
    EXPECT_EQ(tracker.conflictCount(), 0);

    // A part brought from plate 1 over part 2 of plate 0 conflicts; taken off every
    // plate it is no longer tested.
    partAt(ns, 2).plateId = 0;
    partAt(ns, 2).translatePart(18 - 210, 0);  // onto part 2, which lies at x 15
    tracker.update(ns);
    EXPECT_EQ(tracker.conflictCount(), 2);
    partAt(ns, 2).plateId = -1;
    tracker.update(ns);
    EXPECT_EQ(tracker.conflictCount(), 0);
}

TEST_F(ConflictTrackerTest, MarksPartsOutsideTheInnerBoxAndFollowsPlateChanges)
{
    partAt(ns, 2).translatePart(-8, 0);  // past the 5 mm margin of plate 1
    tracker.update(ns);
    EXPECT_EQ(tracker.flags(), (std::vector<char>{0, 0, 1, 0}));

    // The plate grows under the part: the mark goes without the part moving.
    ns.plates.back().innerBox.min_X = 200;
    EXPECT_TRUE(tracker.update(ns));
    EXPECT_EQ(tracker.conflictCount(), 0);

    // A plate moved alone leaves its parts behind, outside.
    translatePlate(ns.plates.front(), 300, 0);
    tracker.update(ns);
    EXPECT_EQ(tracker.flags(), (std::vector<char>{1, 1, 0, 0}));

    // A part naming a plate that is gone is outside every plate.
    ns.plates.pop_front();
    tracker.update(ns);
    EXPECT_EQ(tracker.flags(), expected());
    EXPECT_EQ(tracker.conflictCount(), 2);
}

// Random hand edits: the incremental marks must always equal a test of every part.
TEST_F(ConflictTrackerTest, KeepsTheMarksOfAFullTestThroughRandomEdits)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> step(-12.0, 12.0);
    for (int32_t id = 5; id < 40; ++id) {
        addSquare(ns, id, 5 + (id % 8) * 11, 5 + (id / 8) * 11, id % 3 == 0 ? 1 : 0);
    }
    for (Part& p : ns.nestParts) {
        if (p.plateId == 1) p.translatePart(200, 0);
    }
    tracker.update(ns);
    ASSERT_EQ(tracker.flags(), expected());
    for (int round = 0; round < 300; ++round) {
        const size_t moves = 1 + random() % 3;
        for (size_t m = 0; m < moves; ++m) {
            Part& p = partAt(ns, random() % ns.nestParts.size());
            switch (random() % 6) {
            case 0: p.rotatePart(p.centroid, 0.3); break;
            case 1: p.plateId = static_cast<int32_t>(random() % 3) - 1; break;
            case 2: translatePlate(ns.plates.back(), step(random), 0); break;
            default: p.translatePart(step(random), step(random)); break;
            }
        }
        tracker.update(ns);
        ASSERT_EQ(tracker.flags(), expected()) << "round " << round;
    }
    // A new list (another library) is taken as a whole.
    ns.nestParts.pop_back();
    tracker.update(ns);
    EXPECT_EQ(tracker.flags(), expected());
}

}  // namespace
}  // namespace orvo
