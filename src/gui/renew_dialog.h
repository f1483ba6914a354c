#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace orvo {

class MainWindow;

// The modeless dialog "Renew RN&PPD": the rotation number and the packing point
// distance of the open library.
class RenewDialog : public QDialog {
    Q_OBJECT

public:
    explicit RenewDialog(MainWindow& window);

    QLineEdit* rotationNumberEdit() const { return rn_; }
    QLineEdit* packingPointDistanceEdit() const { return ppd_; }
    // The button with this caption ("刷新RN", "刷新PPD", "确定", "取消"), or null.
    QPushButton* button(const QString& caption) const;

private:
    void renewRotationNumber();
    void renewPackingPointDistance();
    void accept() override;

    MainWindow* window_;
    QLineEdit* rn_ = nullptr;
    QLineEdit* ppd_ = nullptr;
};

}  // namespace orvo
