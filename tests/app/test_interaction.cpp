#include <gtest/gtest.h>

#include <filesystem>

#include "app/hand_edit.h"
#include "app/interaction.h"
#include "support/nest_fixture.h"
#include "support/shapes.h"

namespace orvo {
namespace {

using test::squareOnPlate;

Plate plate(int32_t id, BoundingBox box)
{
    Plate p;
    p.id = id;
    p.outerBox = box;
    p.innerBox = box;
    return p;
}

// World 0..100 in a 1000 x 1000 client: 9.5 px per mm, world (50, 50) at pixel (500, 500).
class InteractionTest : public test::NestFixture {
protected:
    void SetUp() override
    {
        view.setClientSize(1000, 1000, {0, 100, 0, 100});
        ns.plates.push_back(plate(0, {0, 40, 0, 40}));
        ns.plates.push_back(plate(1, {50, 90, 0, 40}));
        ns.nestParts.push_back(squareOnPlate(1, 5, 5, 10, 0));     // A, on plate 0
        ns.nestParts.push_back(squareOnPlate(2, 20, 5, 10, 0));    // B, on plate 0
        ns.nestParts.push_back(squareOnPlate(3, 60, 5, 10, 1));    // C, on plate 1
        ns.nestParts.push_back(squareOnPlate(4, 20, 60, 10, -1));  // D, on no plate
    }
    PixelPoint px(double x, double y) const { return view.worldToScreen(Point(x, y)); }
    Part& part(int i) { return *std::next(ns.nestParts.begin(), i); }
    Plate& plateAt(int i) { return *std::next(ns.plates.begin(), i); }
    std::vector<bool> selection()
    {
        std::vector<bool> s;
        for (const Part& p : ns.nestParts) s.push_back(p.selected);
        return s;
    }
    bool press(char c, bool shift = false)
    {
        return machine.key(&ns, {KeyPress::Kind::Character, c, shift});
    }

    ViewTransform view;
    Interaction machine{view};
};

TEST_F(InteractionTest, ClickOnAPartTogglesItAndEndsTheGesture)
{
    machine.setMode(Mode::SelectParts, true);
    EXPECT_TRUE(machine.leftClick(&ns, px(10, 10)));
    EXPECT_EQ(selection(), (std::vector<bool>{true, false, false, false}));
    EXPECT_EQ(machine.clickCount(), 0);
    EXPECT_TRUE(machine.partHit());
    EXPECT_FALSE(machine.showsRubberBand());

    // The next click starts a new gesture: on the part again it toggles it off.
    machine.leftClick(&ns, px(10, 10));
    EXPECT_EQ(selection(), (std::vector<bool>{false, false, false, false}));

    // A first click on empty space waits for the second corner.
    EXPECT_FALSE(machine.leftClick(&ns, px(45, 45)));
    EXPECT_EQ(machine.clickCount(), 1);
    EXPECT_TRUE(machine.showsRubberBand());
    EXPECT_TRUE(machine.mouseMove(&ns, px(47, 47)));
    EXPECT_EQ(machine.rubberEnd(), px(47, 47));
}

// From (25, 20) to (8, 2) leftwards touches A and B; rightwards from (3, 20) to (25, 2)
// holds A wholly and only crosses B.
TEST_F(InteractionTest, RectangleSelectionCrossingLeftwardsWindowRightwards)
{
    struct Case {
        Point first, second;
        std::vector<bool> expected;
    };
    const Case cases[] = {
        {{25, 20}, {8, 2}, {true, true, false, false}},
        {{3, 20}, {25, 2}, {true, false, false, false}},
        {{3, 2}, {95, 98}, {true, true, true, true}},
        {{41, 50}, {45, 55}, {false, false, false, false}},
    };
    for (const Case& c : cases) {
        ns.clearSelection();
        machine.setMode(Mode::SelectParts, true);
        machine.leftClick(&ns, px(c.first.x, c.first.y));
        EXPECT_TRUE(machine.leftClick(&ns, px(c.second.x, c.second.y)));
        EXPECT_EQ(selection(), c.expected) << c.first.x << "," << c.first.y;
        EXPECT_EQ(machine.clickCount(), 0);
    }
}

TEST_F(InteractionTest, RectangleSelectionOnlyAdds)
{
    part(2).selected = true;
    machine.setMode(Mode::SelectParts, true);
    machine.leftClick(&ns, px(3, 20));
    machine.leftClick(&ns, px(16, 2));
    EXPECT_EQ(selection(), (std::vector<bool>{true, false, true, false}));
}

TEST_F(InteractionTest, PlatesArePickedAndSelectedByRectangle)
{
    machine.setMode(Mode::SelectPlates, true);
    machine.leftClick(&ns, px(40, 20));  // on the right edge of plate 0
    EXPECT_TRUE(plateAt(0).selected);
    EXPECT_EQ(machine.clickCount(), 0);
    ns.clearSelection();

    machine.leftClick(&ns, px(45, 45));
    machine.leftClick(&ns, px(30, 30));  // leftwards: meets plate 0 only
    EXPECT_TRUE(plateAt(0).selected);
    EXPECT_FALSE(plateAt(1).selected);
    ns.clearSelection();

    machine.leftClick(&ns, px(45, 45));
    machine.leftClick(&ns, px(95, -2));  // rightwards: plate 1 lies inside
    EXPECT_FALSE(plateAt(0).selected);
    EXPECT_TRUE(plateAt(1).selected);
}

TEST_F(InteractionTest, MovedPartsTakeThePlateTheyAreDroppedOn)
{
    part(3).selected = true;  // D, on no plate, lower-left corner at (20, 60)
    machine.setMode(Mode::MoveParts, true);
    machine.leftClick(&ns, px(20, 60));
    EXPECT_TRUE(machine.mouseMove(&ns, px(30, 60)));
    EXPECT_EQ(part(3).plateId, -1);  // a drag alone does not relocate
    machine.leftClick(&ns, px(62, 25));  // onto plate 1
    EXPECT_EQ(part(3).plateId, 1);
    EXPECT_NEAR(part(3).box.min_X, 62, 0.2);
    EXPECT_EQ(machine.clickCount(), 0);

    machine.leftClick(&ns, px(62, 25));
    machine.leftClick(&ns, px(62, 55));  // off every plate
    EXPECT_EQ(part(3).plateId, -1);
    EXPECT_EQ(part(2).plateId, 1);  // unselected parts stay where they are
}

TEST_F(InteractionTest, MovingAPlateCarriesExactlyItsParts)
{
    plateAt(0).selected = true;
    part(2).selected = true;  // C lies on plate 1 and must not move with plate 0
    const BoundingBox c = part(2).box;
    machine.setMode(Mode::MovePlates, true);
    machine.leftClick(&ns, px(10, 10));
    machine.mouseMove(&ns, px(10, 20));
    machine.leftClick(&ns, px(10, 30));
    const double dy = plateAt(0).outerBox.min_Y;
    EXPECT_NEAR(dy, 20, 0.2);
    EXPECT_DOUBLE_EQ(plateAt(0).innerBox.min_Y, dy);
    EXPECT_NEAR(part(0).box.min_Y, 5 + dy, 1e-9);
    EXPECT_NEAR(part(1).box.min_Y, 5 + dy, 1e-9);
    EXPECT_DOUBLE_EQ(part(2).box.min_Y, c.min_Y);
    EXPECT_DOUBLE_EQ(part(3).box.min_Y, 60);
    EXPECT_DOUBLE_EQ(plateAt(1).outerBox.min_Y, 0);
}

TEST_F(InteractionTest, TwentyFourRotateKeysFallJustShortOfAFullTurn)
{
    part(0).selected = true;
    machine.setMode(Mode::RotateParts, true);
    machine.leftClick(&ns, px(10, 10));
    EXPECT_NEAR(machine.rotationCentre().x, 10, 0.2);
    for (int i = 0; i < 24; ++i) EXPECT_TRUE(press(i % 2 ? 'A' : 'a'));
    const double angle = part(0).pose.rotationAngle;
    EXPECT_DOUBLE_EQ(angle, 24 * Interaction::kRotationStep);
    EXPECT_LT(angle, 2 * kPi);
    EXPECT_NEAR(angle, 2 * kPi, 1e-6);
    press('c');
    EXPECT_NEAR(part(0).pose.rotationAngle, 23 * Interaction::kRotationStep, 1e-12);
    EXPECT_EQ(part(1).pose.rotationAngle, 0.0);
    EXPECT_EQ(part(0).plateId, 0);  // keys do not relocate
}

TEST_F(InteractionTest, WheelZoomsRotatesOrDoesNothingByMode)
{
    const double s = view.scale();
    machine.setMode(Mode::SelectPlates, true);
    EXPECT_FALSE(machine.wheel(&ns, {300, 300}, 120));
    EXPECT_EQ(view.scale(), s);

    machine.setMode(Mode::SelectParts, true);
    EXPECT_TRUE(machine.wheel(&ns, {300, 300}, 120));
    EXPECT_DOUBLE_EQ(view.scale(), s * 1.1);
    machine.wheel(&ns, {300, 300}, -120);
    EXPECT_DOUBLE_EQ(view.scale(), s);

    // In mode 7 the wheel turns the selection and relocates it: B turned about a far
    // centre leaves plate 0.
    part(1).selected = true;
    machine.setMode(Mode::RotateParts, true);
    machine.leftClick(&ns, px(0, 40));
    for (int i = 0; i < 6; ++i) machine.wheel(&ns, {0, 0}, -120);
    EXPECT_NEAR(part(1).pose.rotationAngle, -6 * Interaction::kRotationStep, 1e-12);
    EXPECT_EQ(part(1).plateId, -1);
    EXPECT_DOUBLE_EQ(view.scale(), s);
}

TEST_F(InteractionTest, PanAndZoomWindowGestures)
{
    machine.setMode(Mode::Pan, true);
    machine.leftClick(&ns, {100, 100});
    machine.mouseMove(&ns, {110, 95});
    EXPECT_EQ(view.originX(), 510);
    EXPECT_EQ(view.originY(), 495);
    machine.leftClick(&ns, {120, 100});
    EXPECT_EQ(view.originX(), 520);
    EXPECT_EQ(view.originY(), 500);

    press('x');
    machine.setMode(Mode::ZoomWindow, false);
    machine.leftClick(&ns, px(0, 50));
    EXPECT_TRUE(machine.showsZoomWindow());
    machine.leftClick(&ns, px(50, 0));
    EXPECT_FALSE(machine.showsZoomWindow());
    EXPECT_NEAR(view.scale(), 20, 0.1);
    EXPECT_NEAR(view.centreX(), 25, 0.1);
}

TEST_F(InteractionTest, KeysChooseModesAndEditTheSelection)
{
    machine.setMode(Mode::SelectParts, true);
    machine.leftClick(&ns, px(45, 45));
    press('z');  // S and Z keep a gesture's count, the others end it
    EXPECT_EQ(machine.mode(), Mode::ZoomWindow);
    EXPECT_EQ(machine.clickCount(), 1);
    press('S');
    EXPECT_EQ(machine.clickCount(), 1);
    const std::pair<char, Mode> modes[] = {
        {'m', Mode::MoveParts}, {'O', Mode::MovePlates}, {'p', Mode::Pan}, {'R', Mode::RotateParts}};
    for (const auto& [c, mode] : modes) {
        machine.setMode(Mode::SelectParts, true);
        machine.leftClick(&ns, px(45, 45));
        press(c);
        EXPECT_EQ(machine.mode(), mode);
        EXPECT_EQ(machine.clickCount(), 0);
    }

    machine.setMode(Mode::SelectParts, true);
    press('a');  // A without Shift rotates in mode 7 only
    EXPECT_EQ(selection(), (std::vector<bool>{false, false, false, false}));
    press('A', true);
    EXPECT_EQ(selection(), (std::vector<bool>{true, true, true, true}));

    press('t');  // only the first selected part turns over
    EXPECT_TRUE(part(0).pose.mirrored);
    EXPECT_FALSE(part(1).pose.mirrored);
    EXPECT_NEAR(part(0).box.min_Y, -5, 1e-9);  // about the line through its basePt (5, 5)
    EXPECT_NEAR(part(0).box.max_Y, 5, 1e-9);

    plateAt(1).selected = true;
    machine.leftClick(&ns, px(45, 45));
    EXPECT_TRUE(machine.key(&ns, {KeyPress::Kind::Escape, 0, false}));
    EXPECT_EQ(selection(), (std::vector<bool>{false, false, false, false}));
    EXPECT_FALSE(plateAt(1).selected);
    EXPECT_EQ(machine.clickCount(), 0);
}

TEST_F(InteractionTest, ArrowKeysPushTheSelectionIntoContact)
{
    part(1).selected = true;  // B pushed left stops at A's right edge (x = 15)
    EXPECT_TRUE(machine.key(&ns, {KeyPress::Kind::Left, 0, false}));
    EXPECT_NEAR(part(1).box.min_X, 15, 0.02);
    machine.key(&ns, {KeyPress::Kind::Down, 0, false});
    EXPECT_NEAR(part(1).box.min_Y, 0, 0.02);
}

// Clicks in mode 0 used to be counted, so that a later S started its selection gesture
// with a stale count and no click selected anything any more.
TEST_F(InteractionTest, ClicksOutsideAGestureLeaveNoStaleCount)
{
    EXPECT_FALSE(machine.leftClick(nullptr, {10, 10}));
    EXPECT_EQ(machine.clickCount(), 0);
    for (int i = 0; i < 3; ++i) machine.leftClick(&ns, {10, 10});
    EXPECT_EQ(machine.clickCount(), 0);
    press('r');
    for (int i = 0; i < 3; ++i) machine.leftClick(&ns, {10, 10});
    press('s');
    machine.leftClick(&ns, px(10, 10));
    EXPECT_TRUE(part(0).selected);
}

TEST_F(InteractionTest, ReportKeyWritesAndOpensTheReport)
{
    ns.activePlate = &plateAt(0);
    EXPECT_TRUE(press('e'));
    ASSERT_EQ(platform.openedFiles.size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(folder.file("Report.txt")));
}

}  // namespace
}  // namespace orvo
