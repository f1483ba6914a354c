#pragma once

#include <QWidget>
#include <functional>

class QLineEdit;
class QPushButton;

namespace orvo {

class MainWindow;

// The tool panel "Packing Kit": layout methods, modes, selection, plates, contact pushes
// and the output commands, each button calling the main window. It lives in a dock
// beside the drawing (which can float as a window of its own); every button names its
// key in its tooltip, and after a click the keyboard goes back to the drawing.
class PackingKit : public QWidget {
    Q_OBJECT

public:
    explicit PackingKit(MainWindow& window);

    // Writes the plate size into the "PltL:" and "PltW:" boxes with "%g".
    void showPlateSize(double length, double width);
    double plateLength() const;
    double plateWidth() const;
    // The button with this caption ("Layout All\nHAPE", ...), or null.
    QPushButton* button(const QString& caption) const;
    QLineEdit* lengthEdit() const { return length_; }
    QLineEdit* widthEdit() const { return width_; }
    // The time budget of "Layout All\nOptimise" in seconds.
    QLineEdit* optimiseSecondsEdit() const { return seconds_; }
    void showUndoRedo(bool canUndo, bool canRedo);

private:
    QPushButton* addButton(const QString& caption, const std::function<void()>& slot);
    void buildButtons();

    void layoutAllMultiStep();
    void layoutAllHape();
    void hape();
    void multiSteps();
    void boxStacking();
    void shapeMatch();
    void selectParts();
    void selectPlates();
    void moveParts();
    void rotateParts();
    void movePlates();
    void pan();
    void zoom();
    void all();
    void selectAll();
    void selectNone();
    void activatePlate();
    void change();
    void add();
    void leftContact();
    void rightContact();
    void upContact();
    void downContact();
    void packingReport();
    void exportPicked();
    void exportAll();
    void exportPackingInfo();
    void importPackingInfo();

    MainWindow* window_;
    QLineEdit* length_ = nullptr;
    QLineEdit* width_ = nullptr;
    QLineEdit* seconds_ = nullptr;
    QPushButton* undo_ = nullptr;
    QPushButton* redo_ = nullptr;
    QList<QPushButton*> buttons_;
};

}  // namespace orvo
