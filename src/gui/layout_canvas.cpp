#include "layout_canvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "main_window.h"
#include "scene_painter.h"

namespace orvo {

namespace {

PixelPoint pixelOf(const QPointF& p)
{
    return PixelPoint{static_cast<int>(p.x()), static_cast<int>(p.y())};
}

// The keys of the state machine; anything else is not ours.
bool translateKey(const QKeyEvent& event, KeyPress& press)
{
    using Kind = KeyPress::Kind;
    press.shift = event.modifiers().testFlag(Qt::ShiftModifier);
    switch (event.key()) {
    case Qt::Key_Left: press.kind = Kind::Left; return true;
    case Qt::Key_Right: press.kind = Kind::Right; return true;
    case Qt::Key_Up: press.kind = Kind::Up; return true;
    case Qt::Key_Down: press.kind = Kind::Down; return true;
    case Qt::Key_Escape: press.kind = Kind::Escape; return true;
    default: break;
    }
    // Letters typed with Ctrl or Alt are shortcuts of the platform, not characters.
    const bool shortcut = event.modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (!shortcut && event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z) {
        press.kind = Kind::Character;
        press.character = static_cast<char>('A' + (event.key() - Qt::Key_A));
        return true;
    }
    return false;
}

}  // namespace

LayoutCanvas::LayoutCanvas(MainWindow& window) : QWidget(&window), window_(&window)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    // The whole area is painted from the off-screen image; nothing to clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 150);
}

void LayoutCanvas::paintEvent(QPaintEvent*)
{
    const QImage picture = window_->sceneImage();
    QPainter painter(this);
    // During a run the picture of the last progress step is shown; a window resized since
    // gets the background around it until the next step.
    if (picture.size() != size()) {
        painter.fillRect(rect(), window_->sceneOptions().background == 0 ? scene::kBlack : scene::kGrey);
    }
    painter.drawImage(0, 0, picture);
    // Every change of the document ends in a paint: the status bar follows it here. During
    // a run the document belongs to the worker; the status follows once it has ended.
    if (!window_->layoutRunning()) window_->refreshStatus();
}

void LayoutCanvas::resizeEvent(QResizeEvent*) { window_->canvasResized(width(), height()); }

void LayoutCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || window_->layoutRunning()) return;
    window_->beginChange();
    react(window_->interaction().leftClick(window_->nestSystem(), pixelOf(event->position())));
    window_->endGestureIfDone();
}

void LayoutCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (window_->layoutRunning()) return;
    // A drag that outlived its undo bracket (a run or an undo in between) starts a new one.
    if (window_->interaction().clickCount() > 0) window_->beginChange();
    react(window_->interaction().mouseMove(window_->nestSystem(), pixelOf(event->position())));
}

void LayoutCanvas::wheelEvent(QWheelEvent* event)
{
    event->accept();
    if (window_->layoutRunning()) return;
    const int delta = event->angleDelta().y();
    // Only the rotate mode turns parts with the wheel; zooming is no change to undo.
    const bool rotates = window_->interaction().mode() == Mode::RotateParts;
    if (rotates) window_->beginChange();
    react(window_->interaction().wheel(window_->nestSystem(), pixelOf(event->position()), delta));
    if (rotates) window_->endGestureIfDone();
}

void LayoutCanvas::keyPressEvent(QKeyEvent* event)
{
    KeyPress press;
    if (!translateKey(*event, press)) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (window_->layoutRunning()) return;
    window_->beginChange();
    react(window_->interaction().key(window_->nestSystem(), press));
    window_->endGestureIfDone();
}

void LayoutCanvas::react(bool repaintNeeded)
{
    if (repaintNeeded) update();
}

}  // namespace orvo
