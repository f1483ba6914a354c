#pragma once

#include <QDialog>
#include <QStringList>

#include "library/job.h"

class QCheckBox;
class QDoubleSpinBox;
class QFormLayout;
class QSpinBox;
class QTableWidget;

namespace orvo {

// "Import DXF Parts": the chosen part files in a table with a quantity each, and the
// plate size, gaps and turn-over of the job they make. The boxes take only values in
// bounds (quantities 1 to kMaxQuantity, plates of at least 0.001 mm); the job is checked
// again when it opens.
class ImportDialog : public QDialog {
    Q_OBJECT

public:
    ImportDialog(const QStringList& files, const JobSettings& settings, QWidget* parent);

    QTableWidget* table() const { return table_; }
    QSpinBox* quantityBox(int row) const;
    QDoubleSpinBox* plateLengthBox() const { return length_; }
    QDoubleSpinBox* plateWidthBox() const { return width_; }
    QDoubleSpinBox* gapBox() const { return gap_; }
    QDoubleSpinBox* marginBox() const { return margin_; }
    QCheckBox* turnOverBox() const { return turnOver_; }

    // The job as the dialog shows it; RN and PPD as the settings it was given.
    Job job() const;

    // Lets the user choose part files (several at once); empty when cancelled.
    static QStringList chooseFiles(QWidget* parent);

private:
    QDoubleSpinBox* addLength(const QString& caption, double value, double minimum);

    QStringList files_;
    JobSettings settings_;
    QTableWidget* table_ = nullptr;
    QDoubleSpinBox* length_ = nullptr;
    QDoubleSpinBox* width_ = nullptr;
    QDoubleSpinBox* gap_ = nullptr;
    QDoubleSpinBox* margin_ = nullptr;
    QCheckBox* turnOver_ = nullptr;
    QFormLayout* form_ = nullptr;
};

}  // namespace orvo
