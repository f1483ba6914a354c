#include "renew_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/number_text.h"
#include "main_window.h"
#include "nesting/nest_system.h"

namespace orvo {

RenewDialog::RenewDialog(MainWindow& window) : QDialog(&window), window_(&window)
{
    setWindowTitle(tr("Renew RN&PPD"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    rn_ = new QLineEdit(this);
    ppd_ = new QLineEdit(this);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("零件旋转角个数Rotation Number(RN)"), this), 0, 0, 1, 3);
    grid->addWidget(new QLabel(tr("RN="), this), 1, 0);
    grid->addWidget(rn_, 1, 1);
    auto* renewRn = new QPushButton(tr("刷新RN"), this);
    grid->addWidget(renewRn, 1, 2);
    grid->addWidget(new QLabel(tr("排样点距离Packing Point Distance(PPD)"), this), 2, 0, 1, 3);
    grid->addWidget(new QLabel(tr("PPD="), this), 3, 0);
    grid->addWidget(ppd_, 3, 1);
    auto* renewPpd = new QPushButton(tr("刷新PPD"), this);
    grid->addWidget(renewPpd, 3, 2);
    auto* ok = new QPushButton(tr("确定"), this);
    auto* cancel = new QPushButton(tr("取消"), this);
    grid->addWidget(ok, 4, 1);
    grid->addWidget(cancel, 4, 2);
    for (QPushButton* b : {renewRn, renewPpd, cancel}) b->setAutoDefault(false);
    ok->setDefault(true);

    connect(renewRn, &QPushButton::clicked, this, &RenewDialog::renewRotationNumber);
    connect(renewPpd, &QPushButton::clicked, this, &RenewDialog::renewPackingPointDistance);
    connect(ok, &QPushButton::clicked, this, &RenewDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &RenewDialog::reject);

    if (const NestSystem* ns = window.nestSystem()) {
        rn_->setText(QString::number(ns->rotationNumber));
        ppd_->setText(QString::fromStdString(formatFixed(ns->packingPointDistance, 6)));
    }
}

QPushButton* RenewDialog::button(const QString& caption) const
{
    for (QPushButton* b : findChildren<QPushButton*>()) {
        if (b->text() == caption) return b;
    }
    return nullptr;
}

void RenewDialog::renewRotationNumber()
{
    window_->setRotationNumber(leadingInt(rn_->text().toStdString()));
}

void RenewDialog::renewPackingPointDistance()
{
    window_->setPackingPointDistance(leadingDouble(ppd_->text().toStdString()), true);
}

void RenewDialog::accept()
{
    window_->setRotationNumber(leadingInt(rn_->text().toStdString()));
    window_->setPackingPointDistance(leadingDouble(ppd_->text().toStdString()), false);
    QDialog::accept();
}

}  // namespace orvo
