#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <iterator>

#include "app/hand_edit.h"
#include "app/undo_history.h"
#include "nesting/push.h"
#include "support/nest_fixture.h"
#include "support/shapes.h"

namespace orvo {
namespace {

// Every bit of a part that a layout decides: pose, plate, box and each vertex of the outer
// contour and the holes, in their order.
bool identical(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void expectSameParts(const PartList& a, const PartList& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (auto p = a.begin(), q = b.begin(); p != a.end(); ++p, ++q) {
        EXPECT_EQ(p->partId, q->partId);
        EXPECT_EQ(p->plateId, q->plateId);
        EXPECT_EQ(p->pose.mirrored, q->pose.mirrored);
        EXPECT_TRUE(identical(p->pose.basePt.x, q->pose.basePt.x));
        EXPECT_TRUE(identical(p->pose.basePt.y, q->pose.basePt.y));
        EXPECT_TRUE(identical(p->pose.rotationAngle, q->pose.rotationAngle));
        EXPECT_TRUE(identical(p->box.min_X, q->box.min_X) && identical(p->box.max_Y, q->box.max_Y));
        ASSERT_EQ(p->outer.count(), q->outer.count());
        for (int32_t i = 0; i < p->outer.count(); ++i) {
            EXPECT_TRUE(identical(p->outer.vertex(i).x, q->outer.vertex(i).x));
            EXPECT_TRUE(identical(p->outer.vertex(i).y, q->outer.vertex(i).y));
        }
        ASSERT_EQ(p->holes.count(), q->holes.count());
        for (auto h = p->holes.begin(), k = q->holes.begin(); h != p->holes.end(); ++h, ++k) {
            ASSERT_EQ(h->count(), k->count());
            for (int32_t i = 0; i < h->count(); ++i) {
                EXPECT_TRUE(identical(h->vertex(i).x, k->vertex(i).x));
            }
        }
    }
}

// A part copy reverses the holes: two copies give the parts in their own order.
PartList copiedTwice(const PartList& parts)
{
    const PartList once = parts;
    return PartList(once);
}

class UndoHistoryTest : public test::NestFixture {
protected:
    void SetUp() override
    {
        ns.addPlate(100, 100);
        ns.addPlate(100, 100);
        // Two holes of different sizes, so that a copy reversing them would show.
        add(test::polygonPart({{0, 0}, {40, 0}, {40, 30}, {0, 30}},
                              {{{5, 5}, {10, 5}, {10, 10}, {5, 10}},
                               {{20, 5}, {30, 5}, {30, 20}, {20, 20}}}),
            0);
        add(test::squareOnPlate(1, 60, 60, 10, 0), 0);
        add(test::squareOnPlate(2, 300, 300, 10, -1));
    }
    Part& part(int i) { return *std::next(ns.nestParts.begin(), i); }
    void select(int i)
    {
        ns.clearSelection();
        part(i).selected = true;
    }
    // One change as the window brackets it.
    bool change(ChangeKind kind, const std::function<void()>& edit)
    {
        history.begin(ns);
        edit();
        return history.commit(ns, kind);
    }

    UndoHistory history;
};

TEST_F(UndoHistoryTest, SnapshotRestoresEveryPartPlateAndTheActivePlateBitForBit)
{
    ns.activePlate = &ns.plates.front();
    const LayoutSnapshot before = takeSnapshot(ns);
    const PartList asTaken = copiedTwice(ns.nestParts);

    select(0);
    rotateSelectedParts(ns, Point(13, 7), 0.3);
    turnOverFirstSelected(ns);
    pushSelected(ns, Direction::Left);
    ns.addPlate(50, 50);
    translatePlate(ns.plates.front(), 3, 4);
    EXPECT_FALSE(samePlacements(before, ns));

    restoreSnapshot(ns, before);
    EXPECT_TRUE(samePlacements(before, ns));
    expectSameParts(ns.nestParts, asTaken);
    ASSERT_EQ(ns.plates.size(), size_t(2));
    EXPECT_EQ(ns.activePlate, &ns.plates.front());  // points into the restored list
    EXPECT_EQ(ns.plates.front().outerBox.min_X, before.plates.front().outerBox.min_X);
}

TEST_F(UndoHistoryTest, UndoAndRedoWalkTheChangesBothWaysBitForBit)
{
    const PartList start = copiedTwice(ns.nestParts);
    EXPECT_TRUE(change(ChangeKind::Edit, [&] {
        select(0);
        rotateSelectedParts(ns, Point(1, 2), 0.7);
    }));
    EXPECT_TRUE(change(ChangeKind::Edit, [&] { select(0); turnOverFirstSelected(ns); }));
    EXPECT_TRUE(change(ChangeKind::Replace, [&] { ns.clearPlates(); ns.resetLayout(); }));
    const PartList end = copiedTwice(ns.nestParts);
    EXPECT_EQ(history.undoSteps(), size_t(3));

    while (history.undo(ns)) {
    }
    expectSameParts(ns.nestParts, start);
    EXPECT_EQ(ns.plates.size(), size_t(2));
    EXPECT_FALSE(history.canUndo());
    while (history.redo(ns)) {
    }
    expectSameParts(ns.nestParts, end);
    EXPECT_TRUE(ns.plates.empty());
    EXPECT_EQ(ns.activePlate, nullptr);

    // A new change after an undo ends the redo steps.
    ASSERT_TRUE(history.undo(ns));
    EXPECT_TRUE(history.canRedo());
    EXPECT_TRUE(change(ChangeKind::Edit, [&] { part(2).translatePart(1, 0); }));
    EXPECT_FALSE(history.canRedo());
}

TEST_F(UndoHistoryTest, ChangesThatMoveNothingLeaveNoStep)
{
    EXPECT_FALSE(change(ChangeKind::Edit, [] {}));
    EXPECT_FALSE(change(ChangeKind::Edit, [&] { ns.selectAllParts(); }));  // selection only
    EXPECT_FALSE(history.commit(ns, ChangeKind::Edit));                    // nothing begun
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.modified());

    // A gesture begun twice keeps its first start: one step for the whole drag.
    history.begin(ns);
    part(1).translatePart(1, 0);
    history.begin(ns);
    part(1).translatePart(1, 0);
    EXPECT_TRUE(history.commit(ns, ChangeKind::Edit));
    ASSERT_TRUE(history.undo(ns));
    EXPECT_EQ(part(1).pose.basePt.x, 60.0);
    // Undo and redo wait while a change is under way.
    history.begin(ns);
    EXPECT_FALSE(history.redo(ns));
}

TEST_F(UndoHistoryTest, AbandonPutsTheLayoutBackAndLeavesNoStep)
{
    const LayoutSnapshot before = takeSnapshot(ns);
    history.begin(ns);
    ns.clearPlates();
    part(0).translatePart(5, 5);
    history.abandon(ns);
    EXPECT_TRUE(samePlacements(before, ns));
    EXPECT_FALSE(history.changeBegun());
    EXPECT_FALSE(history.canUndo());
}

TEST_F(UndoHistoryTest, SavedAndHandEditedStateFollowUndoAndRedo)
{
    history.clear();
    EXPECT_FALSE(history.modified());
    change(ChangeKind::Replace, [&] { ns.clearPlates(); });
    EXPECT_TRUE(history.modified());
    EXPECT_FALSE(history.editedByHand());  // a Layout All over it loses no hand work
    change(ChangeKind::Edit, [&] { part(2).translatePart(1, 0); });
    EXPECT_TRUE(history.editedByHand());
    history.markSaved();
    EXPECT_FALSE(history.modified());
    EXPECT_FALSE(history.editedByHand());

    history.undo(ns);  // back before the saved layout: unsaved again, and hand work gone
    EXPECT_TRUE(history.modified());
    EXPECT_FALSE(history.editedByHand());
    history.redo(ns);  // the saved layout itself
    EXPECT_FALSE(history.modified());
    change(ChangeKind::Edit, [&] { part(2).translatePart(1, 0); });
    history.undo(ns);
    EXPECT_FALSE(history.modified());
}

TEST_F(UndoHistoryTest, AFullHistoryForgetsItsOldestSteps)
{
    UndoHistory small(2);
    for (int i = 0; i < 4; ++i) {
        small.begin(ns);
        part(2).translatePart(1, 0);
        small.commit(ns, ChangeKind::Edit);
    }
    int undone = 0;
    while (small.undo(ns)) ++undone;
    EXPECT_EQ(undone, 2);
    EXPECT_EQ(part(2).pose.basePt.x, 302.0);
}

TEST_F(UndoHistoryTest, TheGridComesBackUnlessItWasTooLargeToKeep)
{
    ns.activePlate = &ns.plates.front();
    ns.generatePackingPoints(ns.plates.front());
    const LayoutSnapshot small = takeSnapshot(ns);
    ASSERT_FALSE(small.packingPoints.points.empty());
    ns.releasePackingPoints();
    restoreSnapshot(ns, small);
    EXPECT_EQ(ns.packingPoints.points.size(), small.packingPoints.points.size());
    EXPECT_EQ(ns.packingPoints.rows, small.packingPoints.rows);

    ns.packingPoints.points.resize(kMaxSnapshotGridPoints + 1);
    const LayoutSnapshot large = takeSnapshot(ns);
    EXPECT_TRUE(large.gridDropped);
    EXPECT_TRUE(large.packingPoints.points.empty());
    restoreSnapshot(ns, large);
    EXPECT_TRUE(ns.packingPoints.points.empty());
    EXPECT_EQ(ns.packingPoints.columns, 0);
}

}  // namespace
}  // namespace orvo
