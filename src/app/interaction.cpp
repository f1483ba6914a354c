#include "app/interaction.h"

#include "app/hand_edit.h"
#include "nesting/nest_system.h"
#include "nesting/push.h"
#include "output/packing_report.h"

namespace orvo {

// Seven decimals of pi, as the rotate keys have always turned: 24 steps fall just
// short of a full turn.
const double Interaction::kRotationStep = 3.1415926 * 15.0 / 180.0;

void Interaction::setMode(Mode mode, bool resetClicks)
{
    mode_ = mode;
    if (resetClicks) clickCount_ = 0;
}

bool Interaction::showsRubberBand() const
{
    if (clickCount_ != 1) return false;
    return (mode_ == Mode::SelectParts && !partHit_) || (mode_ == Mode::SelectPlates && !plateHit_);
}

bool Interaction::showsZoomWindow() const
{
    return mode_ == Mode::ZoomWindow && clickCount_ == 1;
}

bool Interaction::leftClick(NestSystem* ns, PixelPoint click)
{
    // Clicks only count where a gesture can follow, so that a later mode never starts
    // with a stale count.
    if (ns == nullptr || mode_ == Mode::None) return false;
    const int n = ++clickCount_;
    switch (mode_) {
    case Mode::SelectParts:
        return selectClick(*ns, click, n, false);
    case Mode::SelectPlates:
        return selectClick(*ns, click, n, true);
    case Mode::Pan:
    case Mode::MoveParts:
    case Mode::MovePlates:
        return dragClick(*ns, click, n);
    case Mode::ZoomWindow:
        if (n == 1) {
            rubberStart_ = click;
            rubberEnd_ = click;
            return false;
        }
        rubberEnd_ = click;
        clickCount_ = 0;
        view_->zoomWindow(rubberStart_.x, rubberStart_.y, click.x, click.y);
        return true;
    case Mode::RotateParts:
        // Each click is a whole gesture: it sets the centre of the following rotations.
        rotationCentre_ = view_->screenToWorld(click);
        clickCount_ = 0;
        return true;
    case Mode::None:
        break;
    }
    return false;
}

bool Interaction::selectClick(NestSystem& ns, PixelPoint click, int n, bool plates)
{
    if (n == 1) {
        rubberStart_ = click;
        rubberEnd_ = click;
        const bool hit = plates ? pickPlate(ns, *view_, click) : pickPart(ns, *view_, click);
        (plates ? plateHit_ : partHit_) = hit;
        if (hit) clickCount_ = 0;
        return hit;
    }
    rubberEnd_ = click;
    clickCount_ = 0;
    if (plates) {
        selectPlatesInRect(ns, *view_, rubberStart_, click);
    } else {
        selectPartsInRect(ns, *view_, rubberStart_, click);
    }
    return true;
}

bool Interaction::dragClick(NestSystem& ns, PixelPoint click, int n)
{
    if (n == 1) {
        anchor_ = click;
        return false;
    }
    clickCount_ = 0;
    if (mode_ == Mode::Pan) {
        view_->pan(click.x - anchor_.x, click.y - anchor_.y);
    } else if (mode_ == Mode::MoveParts) {
        moveSelectedParts(ns, *view_, anchor_, click);
        ns.relocateSelectedParts();
    } else {
        moveSelectedPlates(ns, *view_, anchor_, click);
    }
    return true;
}

bool Interaction::mouseMove(NestSystem* ns, PixelPoint mouse)
{
    if (clickCount_ != 1) return false;
    switch (mode_) {
    case Mode::SelectParts:
    case Mode::SelectPlates:
        if (mode_ == Mode::SelectParts ? partHit_ : plateHit_) return false;
        rubberEnd_ = mouse;
        return true;
    case Mode::ZoomWindow:
        rubberEnd_ = mouse;
        return true;
    case Mode::Pan:
        view_->pan(mouse.x - anchor_.x, mouse.y - anchor_.y);
        break;
    case Mode::MoveParts:
        if (ns != nullptr) moveSelectedParts(*ns, *view_, anchor_, mouse);
        break;
    case Mode::MovePlates:
        if (ns != nullptr) moveSelectedPlates(*ns, *view_, anchor_, mouse);
        break;
    default:
        return false;
    }
    anchor_ = mouse;
    return true;
}

bool Interaction::wheel(NestSystem* ns, PixelPoint cursor, int delta)
{
    if (delta == 0 || mode_ == Mode::SelectPlates) return false;
    if (mode_ == Mode::RotateParts) {
        if (ns == nullptr) return false;
        return rotate(*ns, delta > 0 ? kRotationStep : -kRotationStep, true);
    }
    const double s = view_->scale();
    view_->zoomAt(cursor.x, cursor.y, delta > 0 ? s * 1.1 : s / 1.1);
    return true;
}

bool Interaction::rotate(NestSystem& ns, double angle, bool relocate)
{
    rotateSelectedParts(ns, rotationCentre_, angle);
    if (relocate) ns.relocateSelectedParts();
    return true;
}

bool Interaction::key(NestSystem* ns, const KeyPress& press)
{
    using Kind = KeyPress::Kind;
    switch (press.kind) {
    case Kind::Left:
    case Kind::Right:
    case Kind::Up:
    case Kind::Down: {
        if (ns == nullptr) return false;
        const Direction d = press.kind == Kind::Left    ? Direction::Left
                            : press.kind == Kind::Right ? Direction::Right
                            : press.kind == Kind::Up    ? Direction::Up
                                                        : Direction::Down;
        pushSelected(*ns, d);
        return true;
    }
    case Kind::Escape:
        if (ns != nullptr) ns->clearSelection();
        clickCount_ = 0;
        return true;
    case Kind::Character:
        return characterKey(ns, press);
    }
    return false;
}

bool Interaction::characterKey(NestSystem* ns, const KeyPress& press)
{
    char c = press.character;
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    switch (c) {
    case 'A':
        if (ns == nullptr) return false;
        if (press.shift) {
            ns->selectAllParts();
            return true;
        }
        return mode_ == Mode::RotateParts && rotate(*ns, kRotationStep, false);
    case 'C':
        return ns != nullptr && mode_ == Mode::RotateParts && rotate(*ns, -kRotationStep, false);
    case 'E':
        if (ns == nullptr) return false;
        showPackingReport(*ns);
        return true;
    case 'T':
        if (ns == nullptr) return false;
        turnOverFirstSelected(*ns);
        return true;
    case 'X':
        view_->fit();
        return true;
    case 'M': setMode(Mode::MoveParts, true); return true;
    case 'O': setMode(Mode::MovePlates, true); return true;
    case 'P': setMode(Mode::Pan, true); return true;
    case 'R': setMode(Mode::RotateParts, true); return true;
    case 'S': setMode(Mode::SelectParts, false); return true;
    case 'Z': setMode(Mode::ZoomWindow, false); return true;
    default:
        return false;
    }
}

}  // namespace orvo
