#pragma once

#include "app/view_transform.h"
#include "geometry/point.h"

namespace orvo {

class NestSystem;

// What the user is doing with the mouse.
enum class Mode {
    None = 0,
    SelectParts = 1,
    SelectPlates = 2,
    Pan = 3,
    MoveParts = 4,
    MovePlates = 5,
    ZoomWindow = 6,
    RotateParts = 7,
};

// One key press as the window hands it over: an arrow, Esc, or a character (letters in
// either case; other characters are ignored).
struct KeyPress {
    enum class Kind { Character, Left, Right, Up, Down, Escape };
    Kind kind = Kind::Character;
    char character = 0;
    bool shift = false;
};

// The interaction state machine of the main window. It is fed pixel events, calls the
// document's operations and the view's, and tells whether the window must repaint.
// Without a document (nullptr) mouse clicks are ignored and keys only change modes.
class Interaction {
public:
    // 3.1415926 × 15 / 180: the step of the rotate keys and the wheel.
    static const double kRotationStep;

    explicit Interaction(ViewTransform& view) : view_(&view) {}

    // Each returns true when the window must repaint.
    bool leftClick(NestSystem* ns, PixelPoint click);
    bool mouseMove(NestSystem* ns, PixelPoint mouse);
    // Positive delta: wheel turned away from the user.
    bool wheel(NestSystem* ns, PixelPoint cursor, int delta);
    bool key(NestSystem* ns, const KeyPress& press);

    // Chooses a mode as the tool buttons do; resetClicks ends a gesture in progress.
    void setMode(Mode mode, bool resetClicks);

    Mode mode() const { return mode_; }
    int clickCount() const { return clickCount_; }
    void resetClickCount() { clickCount_ = 0; }
    PixelPoint rubberStart() const { return rubberStart_; }
    PixelPoint rubberEnd() const { return rubberEnd_; }
    bool partHit() const { return partHit_; }
    bool plateHit() const { return plateHit_; }
    const Point& rotationCentre() const { return rotationCentre_; }

    // The transient marks the painter draws over the layout.
    bool showsRubberBand() const;
    bool showsZoomWindow() const;
    bool showsRotationCross() const { return mode_ == Mode::RotateParts; }

private:
    bool selectClick(NestSystem& ns, PixelPoint click, int n, bool plates);
    bool dragClick(NestSystem& ns, PixelPoint click, int n);
    bool rotate(NestSystem& ns, double angle, bool relocate);
    bool characterKey(NestSystem* ns, const KeyPress& press);

    ViewTransform* view_;
    Mode mode_ = Mode::None;
    int clickCount_ = 0;
    PixelPoint anchor_;
    PixelPoint rubberStart_;
    PixelPoint rubberEnd_;
    bool partHit_ = false;
    bool plateHit_ = false;
    Point rotationCentre_;
};

}  // namespace orvo
