#pragma once

#include <QWidget>

namespace orvo {

class MainWindow;

// The drawing area: paints the scene off screen and copies it in one transfer, and
// hands mouse, wheel and key events to the interaction state machine.
class LayoutCanvas : public QWidget {
    Q_OBJECT

public:
    explicit LayoutCanvas(MainWindow& window);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void react(bool repaintNeeded);

    MainWindow* window_;
};

}  // namespace orvo
