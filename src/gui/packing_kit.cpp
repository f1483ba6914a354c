#include "packing_kit.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/number_text.h"
#include "key_help.h"
#include "main_window.h"
#include "nesting/gravity.h"
#include "nesting/matching.h"
#include "nesting/multistep.h"
#include "nesting/push.h"
#include "nesting/stacking.h"

namespace orvo {

namespace {

double readNumber(const QLineEdit& edit) { return leadingDouble(edit.text().toStdString()); }

}  // namespace

PackingKit::PackingKit(MainWindow& window) : QWidget(&window), window_(&window)
{
    setWindowTitle(tr("Packing Kit 排样工具箱"));
    buildButtons();
}

QPushButton* PackingKit::addButton(const QString& caption, const std::function<void()>& slot)
{
    auto* b = new QPushButton(caption, this);
    b->setAutoDefault(false);
    b->setMinimumHeight(caption.contains('\n') ? 44 : 28);
    b->setToolTip(kitButtonTip(caption));
    // The drawing gets the keyboard back after every button, so that the arrow keys push
    // parts at once. The window outlives the kit, which OK and Cancel remove.
    MainWindow* window = window_;
    connect(b, &QPushButton::clicked, this, [slot, window] {
        slot();
        window->focusBack();
    });
    buttons_.append(b);
    return b;
}

void PackingKit::buildButtons()
{
    auto* grid = new QGridLayout(this);
    int row = 0;
    const auto place = [&](std::initializer_list<QPushButton*> items) {
        int column = 0;
        for (QPushButton* b : items) grid->addWidget(b, row, column++);
        ++row;
    };
    place({addButton(tr("Layout All\nMultiple Steps"), [this] { layoutAllMultiStep(); }),
           addButton(tr("Layout All\nHAPE"), [this] { layoutAllHape(); }),
           addButton(tr("Layout All\nOptimise"),
                     [this] { window_->layoutAllOptimise(readNumber(*seconds_)); })});
    seconds_ = new QLineEdit(QString::fromStdString(formatG(window_->optimiseSeconds())), this);
    seconds_->setToolTip(tr("优化排样的时间(秒)"));
    auto* budget = new QHBoxLayout;
    budget->addWidget(new QLabel(tr("秒:"), this));
    budget->addWidget(seconds_);
    grid->addLayout(budget, row - 1, 3);
    undo_ = addButton(tr("撤销"), [this] { window_->undo(); });
    redo_ = addButton(tr("重做"), [this] { window_->redo(); });
    place({addButton(tr("HAPE"), [this] { hape(); }),
           addButton(tr("MultiSteps"), [this] { multiSteps(); }),
           addButton(tr("BoxStacking"), [this] { boxStacking(); }),
           addButton(tr("ShapeMatch"), [this] { shapeMatch(); })});
    place({addButton(tr("Select Part(s)"), [this] { selectParts(); }),
           addButton(tr("Select Plt(s)"), [this] { selectPlates(); }),
           addButton(tr("Select All"), [this] { selectAll(); }),
           addButton(tr("Select None"), [this] { selectNone(); })});
    place({addButton(tr("Move Part(s)"), [this] { moveParts(); }),
           addButton(tr("Rotate Part(s)"), [this] { rotateParts(); }),
           addButton(tr("Move Plate(s)"), [this] { movePlates(); })});
    place({addButton(tr("Pan"), [this] { pan(); }),
           addButton(tr("Zoom"), [this] { zoom(); }),
           addButton(tr("All"), [this] { all(); })});

    length_ = new QLineEdit(this);
    width_ = new QLineEdit(this);
    grid->addWidget(new QLabel(tr("PltL:"), this), row, 0, Qt::AlignRight);
    grid->addWidget(length_, row, 1);
    grid->addWidget(new QLabel(tr("PltW:"), this), row, 2, Qt::AlignRight);
    grid->addWidget(width_, row, 3);
    ++row;
    place({addButton(tr("Activate Plt"), [this] { activatePlate(); }),
           addButton(tr("Change"), [this] { change(); }),
           addButton(tr("Add"), [this] { add(); })});
    place({addButton(tr("Left Contact"), [this] { leftContact(); }),
           addButton(tr("Right Contact"), [this] { rightContact(); }),
           addButton(tr("Up Contact"), [this] { upContact(); }),
           addButton(tr("Down Contact"), [this] { downContact(); })});
    place({addButton(tr("Packing Report"), [this] { packingReport(); }),
           addButton(tr("Export\nPicked Plate(s)"), [this] { exportPicked(); }),
           addButton(tr("Export\nAll Plates"), [this] { exportAll(); })});
    place({addButton(tr("Export PckInfo"), [this] { exportPackingInfo(); }),
           addButton(tr("Import PckInfo"), [this] { importPackingInfo(); }), undo_,
           redo_});
    QPushButton* ok = addButton(tr("OK"), [this] { window_->closePackingKit(); });
    QPushButton* cancel = addButton(tr("Cancel"), [this] { window_->closePackingKit(); });
    grid->addWidget(ok, row, 2);
    grid->addWidget(cancel, row, 3);
    // Docked beside a tall drawing, the buttons keep together at the top.
    grid->setRowStretch(row + 1, 1);
}

QPushButton* PackingKit::button(const QString& caption) const
{
    for (QPushButton* b : buttons_) {
        if (b->text() == caption) return b;
    }
    return nullptr;
}

void PackingKit::showPlateSize(double length, double width)
{
    length_->setText(QString::fromStdString(formatG(length)));
    width_->setText(QString::fromStdString(formatG(width)));
}

void PackingKit::showUndoRedo(bool canUndo, bool canRedo)
{
    undo_->setEnabled(canUndo);
    redo_->setEnabled(canRedo);
}

double PackingKit::plateLength() const { return readNumber(*length_); }
double PackingKit::plateWidth() const { return readNumber(*width_); }

void PackingKit::layoutAllMultiStep() { window_->layoutAll(true); }
void PackingKit::layoutAllHape() { window_->layoutAll(false); }
void PackingKit::hape() { window_->runOnActivePlate(hapeSelected); }
void PackingKit::multiSteps()
{
    window_->runOnActivePlate([](NestSystem& ns, const Plate& p) { multiStepSelected(ns, p); });
}
void PackingKit::boxStacking()
{
    window_->runOnActivePlate([](NestSystem& ns, const Plate& p) { boxStackSelected(ns, p); });
}
void PackingKit::shapeMatch()
{
    window_->runOnActivePlate([](NestSystem& ns, const Plate& p) { shapeMatchSelected(ns, p); });
}
void PackingKit::selectParts() { window_->chooseMode(Mode::SelectParts, false); }
void PackingKit::selectPlates()
{
    window_->chooseMode(Mode::SelectPlates, true);
    window_->repaintView();
}
void PackingKit::moveParts() { window_->chooseMode(Mode::MoveParts, true); }
void PackingKit::rotateParts() { window_->chooseMode(Mode::RotateParts, true); }
void PackingKit::movePlates() { window_->chooseMode(Mode::MovePlates, true); }
void PackingKit::pan() { window_->chooseMode(Mode::Pan, true); }
void PackingKit::zoom() { window_->chooseMode(Mode::ZoomWindow, false); }
void PackingKit::all() { window_->fitAll(); }
void PackingKit::selectAll() { window_->selectAll(true); }
void PackingKit::selectNone() { window_->selectAll(false); }
void PackingKit::activatePlate() { window_->activatePlate(); }
void PackingKit::change() { window_->changePlates(plateLength(), plateWidth()); }
void PackingKit::add() { window_->addPlate(plateLength(), plateWidth()); }
void PackingKit::leftContact() { window_->push(Direction::Left); }
void PackingKit::rightContact() { window_->push(Direction::Right); }
void PackingKit::upContact() { window_->push(Direction::Up); }
void PackingKit::downContact() { window_->push(Direction::Down); }
void PackingKit::packingReport() { window_->packingReport(); }
void PackingKit::exportPicked() { window_->exportPickedPlates(); }
void PackingKit::exportAll() { window_->exportAllPlates(); }
void PackingKit::exportPackingInfo() { window_->exportPackingInfo(); }
void PackingKit::importPackingInfo() { window_->importPackingInfo(); }

}  // namespace orvo
