#include "import_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "nesting/nest_system.h"

namespace orvo {

ImportDialog::ImportDialog(const QStringList& files, const JobSettings& settings, QWidget* parent)
    : QDialog(parent), files_(files), settings_(settings)
{
    setWindowTitle(QStringLiteral("Import DXF Parts"));
    auto* layout = new QVBoxLayout(this);
    table_ = new QTableWidget(static_cast<int>(files.size()), 2, this);
    table_->setHorizontalHeaderLabels({QStringLiteral("零件文件"), QStringLiteral("数量")});
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table_->verticalHeader()->setVisible(false);
    for (int row = 0; row < files.size(); ++row) {
        auto* name = new QTableWidgetItem(QFileInfo(files[row]).fileName());
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        name->setToolTip(files[row]);
        table_->setItem(row, 0, name);
        auto* quantity = new QSpinBox(table_);
        quantity->setRange(1, kMaxQuantity);
        table_->setCellWidget(row, 1, quantity);
    }
    layout->addWidget(table_);

    form_ = new QFormLayout;
    length_ = addLength(QStringLiteral("PltL"), settings.plateLength, NestSystem::kMinPlateSize);
    width_ = addLength(QStringLiteral("PltW"), settings.plateWidth, NestSystem::kMinPlateSize);
    gap_ = addLength(QStringLiteral("零件间距 Gap"), settings.partGap, 0.0);
    margin_ = addLength(QStringLiteral("板边距 Margin"), settings.plateMargin, 0.0);
    turnOver_ = new QCheckBox(this);
    turnOver_->setChecked(settings.turnOver);
    form_->addRow(QStringLiteral("翻转 TurnOver"), turnOver_);
    layout->addLayout(form_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(460, 360);
}

QDoubleSpinBox* ImportDialog::addLength(const QString& caption, double value, double minimum)
{
    auto* box = new QDoubleSpinBox(this);
    box->setDecimals(3);
    box->setRange(minimum, NestSystem::kMaxPlateSize);
    box->setSuffix(QStringLiteral(" mm"));
    box->setValue(value);
    form_->addRow(caption, box);
    return box;
}

QSpinBox* ImportDialog::quantityBox(int row) const
{
    return qobject_cast<QSpinBox*>(table_->cellWidget(row, 1));
}

Job ImportDialog::job() const
{
    Job job;
    job.settings = settings_;
    job.settings.plateLength = length_->value();
    job.settings.plateWidth = width_->value();
    job.settings.partGap = gap_->value();
    job.settings.plateMargin = margin_->value();
    job.settings.turnOver = turnOver_->isChecked();
    for (int row = 0; row < files_.size(); ++row) {
        JobEntry entry;
        entry.path = files_[row].toStdString();
        entry.label = QFileInfo(files_[row]).fileName().toStdString();
        entry.quantity = quantityBox(row)->value();
        job.entries.push_back(entry);
    }
    return job;
}

QStringList ImportDialog::chooseFiles(QWidget* parent)
{
    // Both spellings, so that a native dialog on a case-sensitive file system lists both.
    return QFileDialog::getOpenFileNames(parent, QStringLiteral("Import DXF Parts"), QString(),
                                         QStringLiteral("DXF Files (*.dxf *.DXF);;Text Files (*.preSrc)"));
}

}  // namespace orvo
